// The walks that fill the FolderTable and the FileTable from the file system.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "engine/copy.h"
#include "engine/listing_win.h"
#include "engine/notify.h"
#include "engine/report.h"
#include "engine/tables.h"
#include "engine/versions.h"

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

// Adds the subfolders of record `scan` to the table, in search order. A
// folder whose name code page 932 cannot hold is recorded by its short name;
// one without a short name is recorded by a name with "?", which is never
// searched, so the backup step reports it instead of taking it for empty.
// Returns false when a folder was left out because the table is at its limit.
static bool gather_subfolders(FolderTable& table, int scan, std::size_t source_len, TooLong& too_long,
                              const LeftOut& left_out, const char* leave_out)
{
    // A copy: adding records may move the table's records.
    char parent[kFieldSize];
    copy_field(parent, table.records[scan].full_path.c_str());
    if (is_unreachable_name(parent))
        return true;
    std::size_t parent_len = std::strlen(parent);
    Pattern pattern = search_pattern(parent, parent_len, "*");
    bool complete = true;
    for_each_listed_item(pattern.text, [&](const ListedItem& item) {
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
        if (leave_out != nullptr && same_folder(rec.full_path.c_str(), leave_out)) {
            if (left_out)
                left_out(rec.full_path.c_str(), Failure{ReportReason::backup_inside, 0});
            return true;
        }
        rec.relative_path.assign(rec.full_path, source_len, std::string::npos);
        table.records.push_back(std::move(rec));
        return true;
    });
    return complete;
}

void walk_folders(FolderTable& table, const Notifier& notifier, const char* source, std::size_t len,
                  const std::function<bool()>& abandoned, const LeftOut& left_out, const char* leave_out)
{
    clear_folder_table(table);
    char root[kFieldSize];
    if (!copy_text(root, kFieldSize, source, len) || table.limit < 1)
        return;  // a cell never holds more than 259 bytes
    table.records.push_back({root, ""});
    len = std::strlen(root);

    TooLong too_long;
    for (int scan = 0; scan < table.count(); ++scan) {
        if (abandoned && abandoned())
            return;
        if (!gather_subfolders(table, scan, len, too_long, left_out, leave_out)) {
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

bool walk_files(FileTable& table, const char* folder, std::size_t len, int first_ordinal)
{
    clear_file_table(table);
    table.search_error = 0;
    if (is_unreachable_name(folder))
        return false;
    Pattern pattern = search_pattern(folder, len, "*.*");
    int ordinal = 0;
    bool searched = for_each_listed_item(pattern.text, [&](const ListedItem& item) {
        if (is_folder(item) || is_dot_name(item) || std::strcmp(item.name, kCopyTempName) == 0)
            return true;
        int this_ordinal = ordinal++;
        if (this_ordinal < first_ordinal)
            return true;
        if (table.count() >= table.limit)
            return false;  // the rest comes with the next walk from the next ordinal
        table.records.push_back({item.name, this_ordinal, 0});
        return true;
    });
    if (!searched) {
        // Nothing matched is an empty folder (a drive's empty root lists no
        // "." either); any other failure is a folder that cannot be searched.
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES)
            table.search_error = error == 0 ? ERROR_ACCESS_DENIED : error;
        return false;
    }
    table.verified = true;
    return table.count() != 0;
}

static bool is_file_in(const char* folder, const char* name)
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
