// The walks that fill the FolderTable and the FileTable from the file system.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "base/listing_win.h"
#include "base/notify.h"
#include "engine/copy_rules.h"
#include "engine/engine.h"
#include "engine/exclusions.h"
#include "engine/folder_key.h"
#include "engine/report.h"
#include "engine/system_exclusions_win.h"
#include "engine/tables.h"

// Search pattern: the folder, a separator unless it already ends in one, and
// the wildcard. Room for a 259-byte folder, "\" and "*.*".
struct Pattern {
    char text[kFieldSize + 4];
};

static Pattern search_pattern(const char* folder, std::size_t len, const char* wildcard)
{
    Pattern p{};
    if (len > kMaxText)
        len = kMaxText;
    std::memcpy(p.text, folder, len);
    std::size_t at = len;
    if (!ends_in_separator(folder, len))
        p.text[at++] = '\\';
    std::strcpy(p.text + at, wildcard);
    return p;
}

// "." and ".." are the folder itself and its parent. Every other name that
// begins with a dot (.ssh, .git, .gitignore) is a user's file like any.
static bool is_dot_name(const ListedItem& item)
{
    return std::strcmp(item.name, ".") == 0 || std::strcmp(item.name, "..") == 0;
}

static bool is_folder(const ListedItem& item)
{
    return (item.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Folders left out because their path would not fit, told once per walk.
struct TooLong {
    int count = 0;
    char first[2 * kFieldSize] = {};  // a parent path, "\" and a name
};

static void note_too_long(TooLong& too_long, const char* parent, const char* name, const LeftOut& left_out)
{
    if (too_long.count++ == 0)
        std::snprintf(too_long.first, sizeof too_long.first, "%s\\%s", parent, name);
    if (left_out)
        left_out((std::string(parent) + "\\" + name).c_str(), Failure{ReportReason::source_too_long, 0});
}

// A folder as Windows resolves it: its full path (the current folder, "."
// and "..") in its long form (a short name given for one of its folders),
// or its full path alone when it is not there (yet); or its short form,
// "" for a folder without one. A drive
// alone ("R:") is its root, not the current folder on it, as the folder
// browser and the walk read it.
enum class PathForm { long_form, short_form };

static std::string resolved_path(const char* path, PathForm form)
{
    char text[kFieldSize];
    if (!copy_field(text, path))
        return "";
    PathRoot root = path_root(text);
    if (root.kind == RootKind::drive && text[root.length] == 0) {
        text[root.length] = '\\';
        text[root.length + 1] = 0;
    }
    char full[kFieldSize];
    DWORD n = GetFullPathNameA(text, kFieldSize, full, nullptr);
    if (n == 0 || n >= kFieldSize)
        return "";
    char formed[kFieldSize];
    n = form == PathForm::long_form ? GetLongPathNameA(full, formed, kFieldSize)
                                    : GetShortPathNameA(full, formed, kFieldSize);
    if (n == 0 || n >= kFieldSize)
        return form == PathForm::long_form ? full : "";
    return formed;
}

// The entry's backup folder, resolved once per walk, and the test that a
// walked folder is it. A walked folder's own name comes from the listing,
// so it is the backup folder only when it is the last name of the
// backup's long or short form; only such a folder is resolved itself, and a
// walk of many folders costs one comparison of names per folder.
class LeftOutFolder {
public:
    explicit LeftOutFolder(const char* path)
    {
        if (path == nullptr || path[0] == 0)
            return;
        long_ = Key(resolved_path(path, PathForm::long_form));
        short_ = Key(resolved_path(path, PathForm::short_form));
    }

    bool is(const std::string& folder, const char* name, std::size_t name_len) const
    {
        bool long_name = long_.named(name, name_len);
        if (!long_name && !short_.named(name, name_len))
            return false;
        if (long_name && !is_unreachable_name(long_.text.c_str()) &&
            long_.text == folder_key(resolved_path(folder.c_str(), PathForm::long_form).c_str()))
            return true;
        return !short_.text.empty() &&
               short_.text == folder_key(resolved_path(folder.c_str(), PathForm::short_form).c_str());
    }

private:
    struct Key {
        Key() = default;
        explicit Key(const std::string& path) : text(folder_key(path.c_str())), name(last_name_start(text)) {}
        // Whether the key ends in this name: never for the bare root of a
        // drive or share that a walk starts at.
        bool named(const char* listed, std::size_t len) const
        {
            return name > 0 && name_matches(listed, len, text.data() + name, text.size() - name);
        }
        std::string text;
        std::size_t name = 0;  // where its last name begins
    };

    Key long_, short_;
};

// A folder left out, told as a user writes it: "R:\Backup", not the
// record's "R:\\Backup".
static void tell(const LeftOut& left_out, const char* parent, const char* name, const Failure& why)
{
    char told[kFieldSize];
    if (left_out && join_path(told, parent, name))
        left_out(told, why);
}

static void tell_link(const LeftOut& left_out, const char* parent, const char* name)
{
    char told[kFieldSize];
    if (!left_out || !join_path(told, parent, name))
        return;
    Failure why{ReportReason::folder_link, 0};
    char target[kFieldSize];
    if (link_target(told, target))
        why.detail = target;
    left_out(told, why);
}

// Adds the subfolders of record `scan` to the table, in search order. A
// folder whose name code page 932 cannot hold is recorded by its short name;
// one without a short name is recorded by a name with "?", which is never
// searched, so the backup step reports it instead of taking it for empty.
// A listing cut short by an error is told through left_out, so that the
// folder's step is not taken as complete. Returns false when a folder was
// left out because the table is at its limit.
static bool gather_subfolders(FolderTable& table, int scan, std::size_t source_len, TooLong& too_long,
                              const LeftOut& left_out, const LeftOutFolder& leave_out, const WalkRules* rules)
{
    // A copy: adding records may move the table's records.
    char parent[kFieldSize];
    copy_field(parent, table.records[scan].full_path.c_str());
    if (is_unreachable_name(parent))
        return true;
    std::size_t parent_len = std::strlen(parent);
    Pattern pattern = search_pattern(parent, parent_len, "*");
    bool complete = true;
    ListingEnd end = for_each_listed_item(pattern.text, [&](const ListedItem& item) {
        if (!is_folder(item) || is_dot_name(item))
            return true;
        if (table.count() >= table.limit) {
            complete = false;
            return false;
        }
        // The separator goes in without looking at the byte before it, so a
        // source text ending in "\" gives "\\" below it, as relative paths
        // always begin with "\".
        std::size_t name_len = std::strlen(item.name);
        if (parent_len + 1 + name_len > kMaxText) {
            note_too_long(too_long, parent, item.name, left_out);
            return true;
        }
        FolderRecord rec;
        rec.full_path.reserve(parent_len + 1 + name_len);
        rec.full_path.append(parent, parent_len).append(1, '\\').append(item.name, name_len);
        if (leave_out.is(rec.full_path, item.name, name_len)) {
            tell(left_out, parent, item.name, Failure{ReportReason::backup_inside, 0});
            return true;
        }
        if (listed_kind(item.attributes, item.reparse_tag) == ListedKind::folder_link) {
            tell_link(left_out, parent, item.name);
            return true;
        }
        rec.relative_path.assign(rec.full_path, source_len, std::string::npos);
        if (rules != nullptr) {
            if (rules->patterns.leaves_out(item.name, name_len, rec.relative_path.data(), rec.relative_path.size()))
                return true;
            if (!rules->system.empty() &&
                FolderExclusions(rules->system, rec.full_path.data(), rec.full_path.size()).whole()) {
                tell(left_out, parent, item.name, Failure{ReportReason::system_excluded, 0});
                return true;
            }
        }
        table.records.push_back(std::move(rec));
        return true;
    });
    // A folder that cannot be searched at all is told by its files' walk.
    if (end.searched && end.error != 0 && left_out)
        left_out(parent, Failure{ReportReason::listing_cut, end.error});
    return complete;
}

void walk_folders(FolderTable& table, const Notifier& notifier, const char* source, std::size_t len,
                  const std::function<bool()>& abandoned, const LeftOut& left_out, const char* leave_out,
                  const WalkRules* rules)
{
    clear_folder_table(table);
    char root[kFieldSize];
    if (!copy_text(root, kFieldSize, source, len) || table.limit < 1)
        return;  // a cell never holds more than 259 bytes
    table.records.push_back({root, ""});
    len = std::strlen(root);

    TooLong too_long;
    const LeftOutFolder leave_out_folder(leave_out);
    for (int scan = 0; scan < table.count(); ++scan) {
        if (abandoned && abandoned())
            return;
        if (!gather_subfolders(table, scan, len, too_long, left_out, leave_out_folder, rules)) {
            if (left_out)
                left_out(table.records[scan].full_path.c_str(), Failure{ReportReason::table_full, 0});
            notify_message(notifier, "指定のテーブル量を超えました。", "エラー", MessageKind::warning);
            break;
        }
    }
    if (too_long.count > 0) {
        char text[3 * kFieldSize];
        std::snprintf(text, sizeof text,
                      "パスが259バイトを超えるため、%d個のフォルダをバックアップできません。\r\n%s",
                      too_long.count, too_long.first);
        notify_message(notifier, text, "エラー", MessageKind::warning);
    }
}

// Whether a file that is a link leads nowhere: its target is gone.
static bool leads_nowhere(const char* folder, const char* name)
{
    char path[kFieldSize];
    if (!join_path(path, folder, name) || GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        return false;
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Notes of one listing are bounded: a folder of many such files tells the first.
constexpr std::size_t kNotesPerListing = 1000;

static void note_name(std::vector<std::string>& names, const char* name)
{
    if (names.size() < kNotesPerListing)
        names.emplace_back(name);
}

bool walk_files(FileTable& table, const char* folder, std::size_t len, int first_ordinal, const WalkRules* rules,
                const char* relative)
{
    clear_file_table(table);
    table.search_error = 0;
    table.notes = ListingNotes{};
    if (is_unreachable_name(folder))
        return false;
    FolderExclusions system;
    if (rules != nullptr && !rules->system.empty())
        system = FolderExclusions(rules->system, folder, len);
    bool patterns = rules != nullptr && !rules->patterns.empty();
    std::string item_relative = relative;  // grown and cut back per file
    std::size_t relative_len = item_relative.size();
    Pattern pattern = search_pattern(folder, len, "*.*");
    int ordinal = 0;
    ListingEnd end = for_each_listed_item(pattern.text, [&](const ListedItem& item) {
        if (is_folder(item) || is_dot_name(item) || is_program_file_name(item.name))
            return true;
        int this_ordinal = ordinal++;
        if (this_ordinal < first_ordinal)
            return true;
        ListedKind kind = listed_kind(item.attributes, item.reparse_tag);
        if (kind == ListedKind::cloud_only_file) {
            table.notes.cloud_only += 1;
            return true;
        }
        std::size_t name_len = std::strlen(item.name);
        if (patterns) {
            item_relative.resize(relative_len);
            item_relative.append(1, '\\').append(item.name, name_len);
            if (rules->patterns.leaves_out(item.name, name_len, item_relative.data(), item_relative.size()))
                return true;
        }
        if (system.leaves_out(item.name, name_len)) {
            if (!system.whole())
                note_name(table.notes.system_left_out, item.name);
            else if (table.notes.system_left_out.empty())
                table.notes.system_left_out.emplace_back();  // the folder as one
            return true;
        }
        if (kind == ListedKind::file_link && leads_nowhere(folder, item.name)) {
            note_name(table.notes.dangling_links, item.name);
            return true;
        }
        if (table.count() >= table.limit)
            return false;  // the rest comes with the next walk from the next ordinal
        table.records.push_back({item.name, this_ordinal, 0, item.size});
        return true;
    });
    if (!end.searched) {
        // Nothing matched is an empty folder (a drive's empty root lists no
        // "." either); any other failure is a folder that cannot be searched.
        if (end.error != ERROR_FILE_NOT_FOUND && end.error != ERROR_NO_MORE_FILES)
            table.search_error = end.error == 0 ? ERROR_ACCESS_DENIED : end.error;
        return false;
    }
    if (end.error != 0) {
        // Cut short: the files after the cut are unknown, so the folder is
        // told as one that could not be searched, and listed again next time.
        clear_file_table(table);
        table.search_error = end.error;
        return false;
    }
    table.verified = true;
    return table.count() != 0;
}

bool is_file_in(const char* folder, const char* name)
{
    char path[kFieldSize];
    if (name[0] == 0 || is_unreachable_name(name) || !join_path(path, folder, name))
        return false;
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool file_table_belongs_to(const FileTable& table, const char* folder)
{
    if (table.count() <= 0)
        return false;
    return is_file_in(folder, table.records.front().file_name.c_str()) &&
           is_file_in(folder, table.records.back().file_name.c_str());
}

WalkRules make_walk_rules(const Settings& settings)
{
    WalkRules rules;
    // The main window may be writing the field as the worker reads it: the
    // copy is bounded all the same, and a text torn so lasts one walk.
    char patterns[kFieldSize];
    const void* end = std::memchr(settings.exclude, 0, kFieldSize);
    copy_text(patterns, kFieldSize, settings.exclude,
              end ? static_cast<const char*>(end) - settings.exclude : kMaxText);
    rules.patterns = NamePatterns(patterns);
    rules.system = read_system_exclusions();
    return rules;
}
