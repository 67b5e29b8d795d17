// folder.ini and file.ini: the walk tables, two and three lines per record.
#include <cstdio>
#include <cstring>

#include "engine/tables.h"
#include "store/formats.h"

namespace {

void append_line(std::string& out, const std::string& text)
{
    out += text;
    out += "\r\n";
}

void append_number_line(std::string& out, std::int32_t value)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%ld\r\n", static_cast<long>(value));
    out += digits;
}

// A line as a record's text: up to its first zero byte, as the text is
// used and written again (the window keeps it within 259 bytes).
std::string text_of(const char* line, std::size_t len)
{
    const void* zero = std::memchr(line, 0, len);
    return std::string(line, zero ? static_cast<const char*>(zero) - line : len);
}

// Hands the lines of a table file to `take(line_in_group, text, len)` and
// calls `complete` after every `group` lines, while `room()` holds.
template <typename Take, typename Complete, typename Room>
void read_groups(int group, const ByteSource& source, Take take, Complete complete, Room room)
{
    if (!room())
        return;
    int line_in_group = 0;
    read_window_lines(kTableWindow, source, [&](const char* line, std::size_t len) {
        take(line_in_group, line, len);
        if (++line_in_group < group)
            return true;
        line_in_group = 0;
        complete();
        return room();
    });
}

}  // namespace

std::string format_folder_table(const FolderTable& table)
{
    std::size_t size = 0;
    for (const FolderRecord& r : table.records)
        size += r.full_path.size() + r.relative_path.size() + 4;
    std::string out;
    out.reserve(size);  // one allocation: no growth that holds the text twice
    for (const FolderRecord& r : table.records) {
        append_line(out, r.full_path);
        append_line(out, r.relative_path);
    }
    return out;
}

std::string format_file_table(const FileTable& table)
{
    std::size_t size = 0;
    for (const FileRecord& r : table.records)
        size += r.file_name.size() + 2 + 2 * 13;
    std::string out;
    out.reserve(size);
    for (const FileRecord& r : table.records) {
        append_line(out, r.file_name);
        append_number_line(out, r.first_number);
        append_number_line(out, r.second_number);
    }
    return out;
}

void read_folder_table(FolderTable& table, const ByteSource& source)
{
    clear_folder_table(table);
    FolderRecord next;
    read_groups(
        2, source,
        [&](int which, const char* line, std::size_t len) {
            (which == 0 ? next.full_path : next.relative_path) = text_of(line, len);
        },
        [&] { table.records.push_back(std::move(next)); next = FolderRecord(); },
        [&] { return table.count() < table.limit; });
}

void read_file_table(FileTable& table, const ByteSource& source)
{
    clear_file_table(table);
    FileRecord next;
    read_groups(
        3, source,
        [&](int which, const char* line, std::size_t len) {
            if (which == 0)
                next.file_name = text_of(line, len);
            else
                (which == 1 ? next.first_number : next.second_number) = atoi_compat(line, len);
        },
        [&] { table.records.push_back(std::move(next)); next = FileRecord(); },
        [&] { return table.count() < table.limit; });
}
