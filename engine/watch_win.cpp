#include "engine/watch_win.h"

#include <cstring>

#include "base/listing_win.h"
#include "engine/copy_rules.h"
#include "engine/engine.h"
#include "engine/exclusions.h"
#include "engine/folder_key.h"

namespace {

// One wait takes the stop event and at most this many trees.
constexpr std::size_t kMostTrees = MAXIMUM_WAIT_OBJECTS - 1;

constexpr DWORD kNoticeFilter =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE;

std::wstring wide_of(const std::string& text)
{
    wchar_t wide[kFieldSize + 8];
    if (MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, kFieldSize + 8) <= 0)
        return L"";
    return wide;
}

// The text without its separator at the end ("C:\" is "C:"), read by characters.
std::string without_end_separator(const char* text)
{
    std::size_t len = std::strlen(text);
    while (len > 0 && ends_in_separator(text, len))
        --len;
    return std::string(text, len);
}

std::string resolved_key(const char* path)
{
    char full[kFieldSize];
    DWORD n = path[0] == 0 ? 0 : GetFullPathNameA(path, kFieldSize, full, nullptr);
    return n == 0 || n >= kFieldSize ? "" : folder_key(full);
}

// Whether the walk's rules leave the file out: a name or path of a folder
// on its way, its own name or path, or Windows' lists.
bool left_out_by_rules(const WalkRules& rules, const std::string& folder, const std::string& relative,
                       const std::string& name)
{
    std::string path = relative + "\\" + name;
    for (std::size_t from = 1; from <= path.size();) {
        std::size_t end = next_separator(path.data(), path.size(), from);
        if (rules.patterns.leaves_out(path.data() + from, end - from, path.data(), end))
            return true;
        from = end + 1;
    }
    return !rules.system.empty() &&
           FolderExclusions(rules.system, folder.data(), folder.size()).leaves_out(name.data(), name.size());
}

}  // namespace

struct SourceWatch::Tree {
    int index = 0;  // in trees_
    int row = 0;
    std::string source;      // as the list holds it
    std::string entry_name;  // "*.*" for a tree, else the one file
    std::string prefix;      // the source without a separator at its end
    bool subtree = true;
    std::wstring root;       // the watched folder with a separator at its end
    std::string backup_key, workdir_key;
    WalkRules rules;
    ScopedHandle folder;
    ScopedHandle event;
    OVERLAPPED overlapped{};
    std::unique_ptr<DWORD[]> buffer;  // DWORD-aligned, as the notices must be
    bool armed = false;
    bool overrun_told = false;
    bool unavailable_told = false;
};

SourceWatch::SourceWatch() = default;

SourceWatch::~SourceWatch()
{
    for (auto& tree : trees_)
        end_tree(*tree);
}

void SourceWatch::start(Engine& engine)
{
    int rows = list_row_count(engine.list);
    for (int row = 0; row < rows; ++row)
        watch_row(engine, row);
}

void SourceWatch::note(Tree& tree, ReportReason reason, unsigned long code)
{
    bool& told = reason == ReportReason::watch_overrun ? tree.overrun_told : tree.unavailable_told;
    if (told)
        return;
    told = true;
    notes_.push_back({tree.row, tree.source, reason, code});
}

// The read of the next notices. A folder that went away fails it, which
// ends the watch: the pass finds what is there.
static bool arm(HANDLE folder, HANDLE event, OVERLAPPED& overlapped, DWORD* buffer, bool subtree)
{
    ResetEvent(event);
    overlapped = OVERLAPPED{};
    overlapped.hEvent = event;
    return ReadDirectoryChangesW(folder, buffer, SourceWatch::kBufferBytes, subtree ? TRUE : FALSE, kNoticeFilter,
                                 nullptr, &overlapped, nullptr) != FALSE;
}

void SourceWatch::watch_row(Engine& engine, int row)
{
    char name[kFieldSize], source[kFieldSize], destination[kFieldSize];
    list_get_cell(engine.list, row, col_file_name, name);
    list_get_cell(engine.list, row, col_source, source);
    list_get_cell(engine.list, row, col_destination, destination);
    if (source[0] == 0 || name[0] == 0)
        return;
    auto tree = std::make_unique<Tree>();
    tree->index = static_cast<int>(trees_.size());
    tree->row = row;
    tree->source = source;
    tree->entry_name = name;
    tree->subtree = name[0] == '*';
    tree->prefix = without_end_separator(source);
    tree->root = wide_of(tree->prefix + "\\");
    tree->backup_key = resolved_key(destination);
    tree->workdir_key = resolved_key(engine.workdir.path);
    tree->rules = make_walk_rules(engine.settings);
    Tree& t = *tree;
    trees_.push_back(std::move(tree));
    if (trees_.size() > kMostTrees) {
        note(t, ReportReason::watch_unavailable, ERROR_TOO_MANY_OPEN_FILES);
        return;
    }
    t.buffer.reset(new DWORD[kBufferBytes / sizeof(DWORD)]);
    t.event.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    revive_tree(t);
}

void SourceWatch::revive_tree(Tree& t)
{
    if (t.armed || !t.event.valid() || t.root.empty())
        return;
    // Every sharing mode: the user may still rename, move or delete the folder.
    t.folder.reset(CreateFileW(t.root.c_str(), FILE_LIST_DIRECTORY,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
    if (t.folder.valid() && arm(t.folder.get(), t.event.get(), t.overlapped, t.buffer.get(), t.subtree)) {
        t.armed = true;
        return;
    }
    DWORD error = GetLastError();
    t.folder.reset();
    // A folder that is not there now is no failure of the watch: the pass
    // tells what it finds of it.
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
        note(t, ReportReason::watch_unavailable, error);
}

void SourceWatch::revive(Engine&)
{
    for (auto& tree : trees_)
        revive_tree(*tree);
}

void SourceWatch::end_tree(Tree& t)
{
    if (t.armed) {
        // The read writes into the buffer until it is cancelled and done.
        DWORD bytes = 0;
        CancelIoEx(t.folder.get(), &t.overlapped);
        GetOverlappedResult(t.folder.get(), &t.overlapped, &bytes, TRUE);
        t.armed = false;
    }
    t.folder.reset();
}

void SourceWatch::gather(Tree& t)
{
    DWORD bytes = 0;
    bool read = GetOverlappedResult(t.folder.get(), &t.overlapped, &bytes, FALSE) != FALSE;
    DWORD error = read ? 0 : GetLastError();
    if (error == ERROR_IO_INCOMPLETE)
        return;
    t.armed = false;
    if (!read && error != ERROR_NOTIFY_ENUM_DIR) {
        end_tree(t);  // the folder went: the pass finds what is there
        return;
    }
    if (bytes == 0) {
        note(t, ReportReason::watch_overrun, 0);  // more than the buffer held
    } else {
        const BYTE* at = reinterpret_cast<const BYTE*>(t.buffer.get());
        const BYTE* end = at + (bytes < kBufferBytes ? bytes : kBufferBytes);
        while (at + sizeof(FILE_NOTIFY_INFORMATION) <= end) {
            const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(at);
            if (info->Action == FILE_ACTION_ADDED || info->Action == FILE_ACTION_MODIFIED ||
                info->Action == FILE_ACTION_RENAMED_NEW_NAME)
                take_notice(t, info->FileName, info->FileNameLength / sizeof(wchar_t));
            if (info->NextEntryOffset == 0)
                break;
            at += info->NextEntryOffset;
        }
    }
    if (arm(t.folder.get(), t.event.get(), t.overlapped, t.buffer.get(), t.subtree))
        t.armed = true;
    else
        end_tree(t);
}

void SourceWatch::take_notice(Tree& t, const wchar_t* name, std::size_t len)
{
    if (len == 0 || len > kFieldSize)
        return;
    std::string rest;  // "\\a\\b\\name", each name as the walk gives it
    if (!ansi_names_below(t.root.c_str(), name, len, rest))
        return;  // a name without a form this program can use: the pass tells it
    const std::string& prefix = t.prefix;
    std::size_t cut = last_separator(rest.data(), rest.size());
    std::string relative(rest, 0, cut);
    std::string file(rest, cut + 1);
    if (file.empty() || is_program_file_name(file.c_str()))
        return;
    if (!t.subtree && (!relative.empty() || folder_key(file.c_str()) != folder_key(t.entry_name.c_str())))
        return;
    std::string folder = relative.empty() ? t.source : prefix + relative;
    std::string key = folder_key(folder.c_str());
    // The program's own writes: its backups, and its files in its working folder.
    if ((!t.backup_key.empty() && key_within(key, t.backup_key)) ||
        key == t.workdir_key)
        return;
    if (t.subtree && left_out_by_rules(t.rules, folder, relative, file))
        return;
    std::string at = prefix + rest;
    auto found = pending_.find(at);
    if (found == pending_.end()) {
        if (pending_.size() >= kMostPending) {
            note(t, ReportReason::watch_overrun, 0);
            return;
        }
        found = pending_.emplace(at, Pending{t.index, folder, relative, file, 0}).first;
    }
    found->second.changed = GetTickCount();
}

bool SourceWatch::pause(HANDLE stop_event, DWORD ms)
{
    DWORD begun = GetTickCount();
    for (;;) {
        HANDLE handles[MAXIMUM_WAIT_OBJECTS];
        Tree* owners[MAXIMUM_WAIT_OBJECTS] = {};
        DWORD count = 0;
        handles[count++] = stop_event;
        for (auto& tree : trees_) {
            if (tree->armed && count < MAXIMUM_WAIT_OBJECTS) {
                owners[count] = tree.get();
                handles[count++] = tree->event.get();
            }
        }
        DWORD gone = GetTickCount() - begun;
        DWORD left = gone >= ms ? 0 : ms - gone;
        DWORD woke = WaitForMultipleObjects(count, handles, FALSE, left);
        if (woke == WAIT_OBJECT_0)
            return true;
        if (woke > WAIT_OBJECT_0 && woke < WAIT_OBJECT_0 + count) {
            gather(*owners[woke - WAIT_OBJECT_0]);
            continue;
        }
        return false;
    }
}

bool SourceWatch::take_due(WatchedChange& out)
{
    DWORD now = GetTickCount();
    for (;;) {
        auto due = pending_.end();
        for (auto it = pending_.begin(); it != pending_.end(); ++it) {
            if (now - it->second.changed >= kQuietMs && (due == pending_.end() || it->second.changed < due->second.changed))
                due = it;
        }
        if (due == pending_.end())
            return false;
        DWORD attributes = GetFileAttributesA(due->first.c_str());
        Pending change = std::move(due->second);
        pending_.erase(due);
        // Deleted since, a folder, or only in the cloud: nothing to copy.
        ListedKind kind = listed_kind(attributes, 0);
        if (attributes == INVALID_FILE_ATTRIBUTES || (kind != ListedKind::file && kind != ListedKind::file_link))
            continue;
        const Tree& t = *trees_[change.tree];
        out.row = t.row;
        out.entry_source = t.source;
        out.entry_name = t.entry_name;
        out.folder = std::move(change.folder);
        out.relative = std::move(change.relative);
        out.name = std::move(change.name);
        return true;
    }
}

std::vector<WatchNote> SourceWatch::take_notes()
{
    return std::move(notes_);
}
