// folder.ini and file.ini: the walk tables, two and three lines per record.
#include <cstdio>
#include <cstring>

#include "engine/tables.h"
#include "store/formats.h"

namespace {

void append_line(std::string& out, const char* text)
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

// Hands the lines of a table file to `take(line_in_group, text, len)` and
// counts a record after every `group` lines, up to the table's capacity.
template <typename Take>
void read_groups(int& count, int group, const ByteSource& source, Take take)
{
    int line_in_group = 0;
    read_window_lines(kTableWindow, source, [&](const char* line, std::size_t len) {
        take(line_in_group, line, len);
        if (++line_in_group == group) {
            line_in_group = 0;
            ++count;
        }
        return count < kTableCapacity;
    });
}

}  // namespace

std::string format_folder_table(const FolderTable& table)
{
    std::string out;
    for (int i = 0; i < table.count; ++i) {
        append_line(out, table.records[i].full_path);
        append_line(out, table.records[i].relative_path);
    }
    return out;
}

std::string format_file_table(const FileTable& table)
{
    std::string out;
    for (int i = 0; i < table.count; ++i) {
        append_line(out, table.records[i].file_name);
        append_number_line(out, table.records[i].first_number);
        append_number_line(out, table.records[i].second_number);
    }
    return out;
}

void read_folder_table(FolderTable& table, const ByteSource& source)
{
    clear_folder_table(table);
    read_groups(table.count, 2, source, [&](int which, const char* line, std::size_t len) {
        FolderRecord& r = table.records[table.count];
        copy_text(which == 0 ? r.full_path : r.relative_path, kFieldSize, line, len);
    });
}

void read_file_table(FileTable& table, const ByteSource& source)
{
    clear_file_table(table);
    read_groups(table.count, 3, source, [&](int which, const char* line, std::size_t len) {
        FileRecord& r = table.records[table.count];
        if (which == 0)
            copy_text(r.file_name, kFieldSize, line, len);
        else
            (which == 1 ? r.first_number : r.second_number) = atoi_compat(line, len);
    });
}
