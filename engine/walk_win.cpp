// The walks that fill the FolderTable and the FileTable from the file system.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "engine/copy.h"
#include "engine/listing_win.h"
#include "engine/notify.h"
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

static bool is_dot_name(const ListedItem& item) { return item.name[0] == '.'; }

static bool is_folder(const ListedItem& item)
{
    return (item.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Folders left out because their path would not fit, told once per walk.
struct TooLong {
    int count = 0;
    char first[2 * kFieldSize] = {};  // a parent path, "\" and a name
};

static void note_too_long(TooLong& too_long, const char* parent, const char* name)
{
    if (too_long.count++ == 0)
        std::snprintf(too_long.first, sizeof too_long.first, "%s\\%s", parent, name);
}

// Adds the subfolders of record `scan` to the table, in search order. A
// folder whose name code page 932 cannot hold is recorded by its short name;
// one without a short name is recorded by a name with "?", which is never
// searched, so the backup step reports it instead of taking it for empty.
static void gather_subfolders(FolderTable& table, int scan, std::size_t source_len, TooLong& too_long)
{
    const FolderRecord& parent = table.records[scan];
    if (is_unreachable_name(parent.full_path))
        return;
    std::size_t parent_len = std::strlen(parent.full_path);
    Pattern pattern = search_pattern(parent.full_path, parent_len, "*");
    for_each_listed_item(pattern.text, [&](const ListedItem& item) {
        if (table.count >= kTableCapacity)
            return false;
        if (!is_folder(item) || is_dot_name(item))
            return true;
        // The separator goes in without looking at the byte before it, so a
        // source text ending in "\" gives "\\" below it, as relative paths
        // always begin with "\".
        std::size_t name_len = std::strlen(item.name);
        if (parent_len + 1 + name_len > kMaxText) {
            note_too_long(too_long, parent.full_path, item.name);
            return true;
        }
        FolderRecord& rec = table.records[table.count];
        std::memcpy(rec.full_path, parent.full_path, parent_len);
        rec.full_path[parent_len] = '\\';
        std::memcpy(rec.full_path + parent_len + 1, item.name, name_len + 1);
        copy_field(rec.relative_path, rec.full_path + source_len);
        ++table.count;
        return true;
    });
}

void walk_folders(FolderTable& table, const Notifier& notifier, const char* source, std::size_t len)
{
    table.count = 0;
    FolderRecord& root = table.records[0];
    if (!copy_text(root.full_path, kFieldSize, source, len))
        return;  // a cell never holds more than 259 bytes
    len = std::strlen(root.full_path);
    root.relative_path[0] = 0;
    table.count = 1;

    TooLong too_long;
    for (int scan = 0; scan < table.count && scan < kTableCapacity; ++scan) {
        gather_subfolders(table, scan, len, too_long);
        if (table.count >= kTableCapacity) {
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
    table.count = 0;
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
        if (table.count >= kTableCapacity)
            return false;  // the rest comes with the next walk from the next ordinal
        FileRecord& rec = table.records[table.count];
        std::memset(rec.file_name, 0, sizeof rec.file_name);
        copy_field(rec.file_name, item.name);
        rec.first_number = this_ordinal;
        rec.second_number = 0;
        ++table.count;
        return true;
    });
    if (!searched)
        return false;
    table.verified = true;
    return table.count != 0;
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
    if (table.count <= 0 || table.count > kTableCapacity)
        return false;
    return is_file_in(folder, table.records[0].file_name) &&
           is_file_in(folder, table.records[table.count - 1].file_name);
}
