#include "engine/restore_win.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include "base/listing_win.h"
#include "engine/backup_place.h"
#include "engine/copy_rules.h"
#include "engine/copy_shared_win.h"
#include "engine/engine.h"
#include "engine/run_report.h"
#include "engine/seams.h"
#include "engine/versions.h"

namespace {

FILETIME file_time_of(std::uint64_t n)
{
    FILETIME t;
    t.dwLowDateTime = static_cast<DWORD>(n);
    t.dwHighDateTime = static_cast<DWORD>(n >> 32);
    return t;
}

FileFacts facts_of(const char* path)
{
    FileFacts facts;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path[0] == 0 || !GetFileAttributesExA(path, GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return facts;
    facts.exists = true;
    facts.written = file_time_number(data.ftLastWriteTime);
    facts.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return facts;
}

bool is_folder(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// folder + relative ("" or "\a\b") + "\" + name, within 259 bytes; "" when
// it would not fit.
std::string path_below(const std::string& folder, const std::string& relative, const std::string& name)
{
    char within[kFieldSize];
    char whole[kFieldSize];
    if (!append_path(within, folder.c_str(), relative.c_str()))
        return {};
    if (name.empty())
        return within;
    if (!join_path(whole, within, name.c_str()))
        return {};
    return whole;
}

bool is_dot(const char* name)
{
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// Whether a listed item of a backup folder is one the restore shows: not the
// dots, not the program's own files, not the folder of old versions at the
// root, and no folder link (a backup holds none; one a user put there could
// lead round in a loop).
bool shown_item(const ListedItem& item, const std::string& relative)
{
    if (is_dot(item.name) || is_program_file_name(item.name) || item.reach == NameReach::none)
        return false;
    bool folder = (item.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (folder && (item.attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return false;
    return !(folder && relative.empty() && std::strcmp(item.name, kVersionsFolder) == 0);
}

FileFacts listed_facts(const ListedItem& item)
{
    FileFacts facts;
    facts.exists = true;
    facts.written = file_time_number(item.last_write);
    facts.size = item.size;
    return facts;
}

// The old versions in one folder of old versions, by the name of the backup
// they were.
struct KeptVersion {
    std::string path;
    FileFacts facts;
    ReportTime replaced;
};
std::multimap<std::string, KeptVersion> versions_in(const RestoreRoot& root, const std::string& relative)
{
    std::multimap<std::string, KeptVersion> found;
    std::string folder = versions_folder(root.backup_folder.c_str(), relative.c_str());
    char pattern[kFieldSize];
    if (folder.empty() || !join_path(pattern, folder.c_str(), "*"))
        return found;
    for_each_listed_item(pattern, [&](const ListedItem& item) {
        std::string original;
        ReportTime replaced{};
        if ((item.attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && version_original(original, item.name) &&
            version_time(item.name, replaced)) {
            char path[kFieldSize];
            if (join_path(path, folder.c_str(), item.name))
                found.emplace(original, KeptVersion{path, listed_facts(item), replaced});
        }
        return true;
    });
    return found;
}

bool name_before(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) < 0;
}

}  // namespace

bool list_backup_folder(const RestoreRoot& root, const std::string& relative, std::vector<BackupItem>& out,
                        DWORD& error)
{
    out.clear();
    std::string folder = path_below(root.backup_folder, relative, "");
    char pattern[kFieldSize];
    if (folder.empty() || !join_path(pattern, folder.c_str(), "*")) {
        error = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    auto kept = versions_in(root, relative);
    ListingEnd end = for_each_listed_item(pattern, [&](const ListedItem& item) {
        if (!shown_item(item, relative))
            return true;
        BackupItem shown;
        shown.folder = (item.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        shown.name = item.name;
        if (!root.only_name.empty() && (shown.folder || lstrcmpiA(item.name, root.only_name.c_str()) != 0))
            return true;
        if (!shown.folder) {
            shown.backup = listed_facts(item);
            if (!root.source_folder.empty())
                shown.source = facts_of(path_below(root.source_folder, relative, item.name).c_str());
            shown.standing = standing_of(shown.backup, shown.source);
            shown.versions = static_cast<int>(kept.count(item.name));
        }
        out.push_back(std::move(shown));
        return true;
    });
    if (!end.searched) {
        error = end.error;
        return false;
    }
    std::sort(out.begin(), out.end(), [](const BackupItem& a, const BackupItem& b) {
        return a.folder != b.folder ? a.folder : name_before(a.name, b.name);
    });
    error = end.error;
    return true;
}

std::vector<FileVersion> list_versions(const RestoreRoot& root, const std::string& relative, const char* name)
{
    std::vector<FileVersion> versions;
    std::string backup = path_below(root.backup_folder, relative, name);
    FileFacts facts = facts_of(backup.c_str());
    if (facts.exists)
        versions.push_back(FileVersion{true, backup, facts, {}});
    auto kept = versions_in(root, relative);
    auto range = kept.equal_range(name);
    std::vector<FileVersion> old;
    for (auto it = range.first; it != range.second; ++it)
        old.push_back(FileVersion{false, it->second.path, it->second.facts, it->second.replaced});
    // Newest first; within one second the later serial " (2)" was kept later.
    std::sort(old.begin(), old.end(), [](const FileVersion& a, const FileVersion& b) {
        long long ta = seconds_of(a.replaced), tb = seconds_of(b.replaced);
        return ta != tb ? ta > tb : a.path.size() != b.path.size() ? a.path.size() > b.path.size() : a.path > b.path;
    });
    versions.insert(versions.end(), old.begin(), old.end());
    return versions;
}

std::string refusal_text(RestoreRefusal refusal, const std::string& backup_folder, const std::string& target_folder)
{
    switch (refusal) {
    case RestoreRefusal::backup_missing:
        return "バックアップフォルダ " + backup_folder +
               " が見つかりません。\r\nバックアップのドライブがつながっているか確かめてください。何も変えていません。";
    case RestoreRefusal::target_drive_missing:
        return "復元先 " + target_folder +
               " のドライブがこのPCにありません。\r\n別の場所を選んで復元しますか？";
    case RestoreRefusal::target_not_folder:
        return "復元先 " + target_folder + " をフォルダとして使えません。何も変えていません。";
    case RestoreRefusal::nothing_to_restore: return "復元するファイルがありません。";
    case RestoreRefusal::none: break;
    }
    return {};
}

namespace {

bool drive_missing(const std::string& folder)
{
    PathRoot root = path_root(folder.c_str());
    if (root.kind != RootKind::drive)
        return false;
    char drive[4] = {folder[0], ':', '\\', 0};
    return GetDriveTypeA(drive) == DRIVE_NO_ROOT_DIR;
}

struct Planner {
    const RestoreRoot& root;
    const std::string& target;
    std::vector<RestoreFile>& files;

    void add_file(const std::string& relative, const std::string& name, const std::string& from,
                  const FileFacts& backup, bool picked_one)
    {
        RestoreFile file;
        file.from = from;
        file.relative = relative;
        file.name = name;
        file.to = path_below(target, relative, name);
        file.backup = backup;
        file.target = facts_of(file.to.c_str());
        file.picked_one = picked_one;
        file.action = restore_action(file.backup, file.target, picked_one);
        files.push_back(std::move(file));
    }

    // Every file below a folder of the backup, the folder itself included.
    void add_folder(const std::string& relative)
    {
        std::string folder = path_below(root.backup_folder, relative, "");
        char pattern[kFieldSize];
        if (folder.empty() || !join_path(pattern, folder.c_str(), "*"))
            return;
        std::vector<std::string> below;
        for_each_listed_item(pattern, [&](const ListedItem& item) {
            if (!shown_item(item, relative))
                return true;
            if (item.attributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (root.only_name.empty())
                    below.push_back(relative + "\\" + item.name);
            } else if (root.only_name.empty() || lstrcmpiA(item.name, root.only_name.c_str()) == 0) {
                add_file(relative, item.name, path_below(root.backup_folder, relative, item.name),
                         listed_facts(item), false);
            }
            return true;
        });
        for (const std::string& next : below)
            add_folder(next);
    }

    void add(const RestorePick& pick)
    {
        if (pick.name.empty())
            return add_folder(pick.relative);
        if (!pick.version_path.empty())
            return add_file(pick.relative, pick.name, pick.version_path, facts_of(pick.version_path.c_str()), true);
        std::string from = path_below(root.backup_folder, pick.relative, pick.name);
        if (is_folder(from.c_str()))
            return add_folder(pick.relative + "\\" + pick.name);
        add_file(pick.relative, pick.name, from, facts_of(from.c_str()), true);
    }
};

}  // namespace

RestoreRefusal plan_restore(const RestoreRoot& root, const std::vector<RestorePick>& picks,
                            const std::string& target_folder, RestorePlan& plan)
{
    plan = RestorePlan{};
    plan.root = root;
    plan.target_folder = target_folder;
    if (!is_folder(root.backup_folder.c_str()))
        return RestoreRefusal::backup_missing;
    if (drive_missing(target_folder))
        return RestoreRefusal::target_drive_missing;
    DWORD attributes = GetFileAttributesA(target_folder.c_str());
    if (target_folder.empty() || (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)))
        return RestoreRefusal::target_not_folder;
    Planner planner{root, target_folder, plan.files};
    for (const RestorePick& pick : picks)
        planner.add(pick);
    plan.counts = count_restore(plan.files);
    return plan.files.empty() ? RestoreRefusal::nothing_to_restore : RestoreRefusal::none;
}

namespace {

constexpr DWORD kChunk = 1024 * 1024;

struct Written {
    bool ok = false;
    bool cancelled = false;
    DWORD error = 0;
};

// The restore's temporary file in the folder of path. Its own name, not the
// backup copies' one, which a stopped standby copy may hold in a backup
// folder.
bool restore_temp_beside(char (&out)[kFieldSize], const char* path)
{
    char folder[kFieldSize];
    return copy_text(folder, sizeof folder, path, folder_part_length(path)) &&
           join_path(out, folder, kRestoreTempName);
}

// The backup's bytes into the temporary file, chunk by chunk so a cancel
// takes effect within one chunk, with the backup's time and attributes.
// The temporary file goes on any failure.
Written copy_into(const RestoreFile& file, const char* temp, std::atomic<bool>& cancel,
                  std::atomic<std::uint64_t>& bytes_done)
{
    Written result;
    ScopedHandle from(CreateFileA(file.from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!from.valid()) {
        result.error = GetLastError();
        return result;
    }
    SetFileAttributesA(temp, FILE_ATTRIBUTE_NORMAL);
    ScopedHandle to(CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!to.valid()) {
        result.error = GetLastError();
        return result;
    }
    std::unique_ptr<char[]> buffer(new char[kChunk]);
    for (;;) {
        DWORD read = 0, written = 0;
        if (!ReadFile(from.get(), buffer.get(), kChunk, &read, nullptr)) {
            result.error = GetLastError();
            break;
        }
        if (read == 0) {
            result.ok = true;
            break;
        }
        if (!WriteFile(to.get(), buffer.get(), read, &written, nullptr) || written != read) {
            result.error = GetLastError() != 0 ? GetLastError() : ERROR_DISK_FULL;
            break;
        }
        bytes_done += read;
        if (DWORD delay = engine_seams().restore_chunk_delay_ms)
            Sleep(delay);
        if (cancel.load()) {
            result.cancelled = true;
            break;
        }
    }
    if (result.ok) {
        FILETIME written = file_time_of(file.backup.written);
        SetFileTime(to.get(), nullptr, nullptr, &written);
    }
    to.reset();
    if (!result.ok) {
        remove_temp(temp);
        return result;
    }
    DWORD attributes = GetFileAttributesA(file.from.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesA(temp, attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                               FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
    return result;
}

// The file at the target becomes an old version in the backup's folder of
// old versions, stamped now, before anything replaces it. A copy, not a
// move: the target is on another disk, and it stays in place until the
// restored file is moved over it.
DWORD keep_target(const RestorePlan& plan, const RestoreFile& file)
{
    char keep_as[kFieldSize];
    if (!version_path(keep_as, plan.root.backup_folder.c_str(), file.relative.c_str(), file.name.c_str(),
                      report_now()))
        return ERROR_FILENAME_EXCED_RANGE;
    char restore_temp[kFieldSize];
    if (!restore_temp_beside(restore_temp, keep_as))
        return ERROR_FILENAME_EXCED_RANGE;
    make_folders_of(keep_as);
    if (!CopyFileA(file.to.c_str(), restore_temp, FALSE))
        return GetLastError();
    if (!keep_old_backup(restore_temp, keep_as)) {
        DWORD error = GetLastError();
        remove_temp(restore_temp);
        return error;
    }
    return 0;
}

Failure system_failure(DWORD code)
{
    Failure failure;
    failure.reason = ReportReason::system_error;
    failure.code = code;
    return failure;
}

}  // namespace

RestoreJob::~RestoreJob()
{
    cancel();
    wait();
}

bool RestoreJob::start(Engine& engine, RestorePlan plan, bool replace_newer)
{
    if (running())
        return false;
    wait();
    engine_ = &engine;
    plan_ = std::move(plan);
    replace_newer_ = replace_newer;
    files_total_ = plan_.counts.files - (replace_newer ? 0 : plan_.counts.newer);
    bytes_total_ = 0;
    for (const RestoreFile& f : plan_.files)
        if (!f.to.empty() && f.action != RestoreAction::leave_same &&
            (replace_newer || f.action != RestoreAction::replace_newer))
            bytes_total_ += f.backup.size;
    files_done_ = 0;
    bytes_done_ = 0;
    cancel_ = false;
    tally_ = RestoreTally{};
    running_ = true;
    DWORD id = 0;
    thread_.reset(CreateThread(nullptr, 0, &RestoreJob::thread_main, this, 0, &id));
    if (!thread_.valid()) {
        running_ = false;
        return false;
    }
    return true;
}

void RestoreJob::cancel()
{
    cancel_ = true;
}

bool RestoreJob::running() const
{
    return running_.load();
}

void RestoreJob::wait()
{
    if (thread_.valid())
        WaitForSingleObject(thread_.get(), INFINITE);
    thread_.reset();
}

DWORD WINAPI RestoreJob::thread_main(void* self)
{
    static_cast<RestoreJob*>(self)->run();
    return 0;
}

void RestoreJob::run()
{
    Engine& engine = *engine_;
    write_report_line(engine, format_restore_begin(report_now(), plan_.root.backup_folder.c_str(),
                                                   plan_.target_folder.c_str()));
    auto left_out = [&](const RestoreFile& file, const Failure& failure) {
        if (tally_.left_out++ == 0)
            tally_.first_failure = failure;
        write_report_line(engine, format_not_restored(report_now(), file, failure));
    };
    for (const RestoreFile& file : plan_.files) {
        if (cancel_.load()) {
            tally_.cancelled = true;
            break;
        }
        if (file.to.empty()) {
            left_out(file, system_failure(ERROR_FILENAME_EXCED_RANGE));
            continue;
        }
        if (file.action == RestoreAction::leave_same) {
            ++tally_.same;
            continue;
        }
        if (file.action == RestoreAction::replace_newer && !replace_newer_) {
            ++tally_.left_newer;
            Failure failure;
            failure.reason = ReportReason::target_newer;
            write_report_line(engine, format_not_restored(report_now(), file, failure));
            continue;
        }
        char temp[kFieldSize];
        if (!restore_temp_beside(temp, file.to.c_str())) {
            left_out(file, system_failure(ERROR_FILENAME_EXCED_RANGE));
            continue;
        }
        make_folders_of(file.to.c_str());
        std::uint64_t bytes_before = bytes_done_.load();
        Written written = copy_into(file, temp, cancel_, bytes_done_);
        if (written.cancelled) {
            tally_.cancelled = true;
            bytes_done_ = bytes_before;
            break;
        }
        if (!written.ok) {
            left_out(file, system_failure(written.error));
            continue;
        }
        // The target is read again now: what the user sees may have changed
        // since the plan, and a file that is there must be kept first.
        bool kept = false;
        if (facts_of(file.to.c_str()).exists) {
            if (DWORD error = keep_target(plan_, file)) {
                remove_temp(temp);
                Failure failure;
                failure.reason = ReportReason::target_not_kept;
                failure.code = error;
                left_out(file, failure);
                continue;
            }
            kept = true;
            // A read-only file is replaced all the same: it is kept.
            SetFileAttributesA(file.to.c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        if (!move_temp_over(temp, file.to.c_str(), kProgramFileReplace)) {
            DWORD error = GetLastError();
            remove_temp(temp);
            left_out(file, system_failure(error));
            continue;
        }
        ++tally_.restored;
        tally_.kept_versions += kept ? 1 : 0;
        bool short_name = looks_like_short_name(file.name.c_str());
        tally_.short_names += short_name ? 1 : 0;
        write_report_line(engine, format_restored(report_now(), file, kept, short_name));
        ++files_done_;
    }
    write_report_line(engine, format_restore_end(report_now(), tally_));
    running_ = false;
}
