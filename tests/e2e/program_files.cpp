#include "tests/e2e/program_files.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "engine/backup_list.h"
#include "engine/run_state.h"
#include "engine/settings_table.h"
#include "engine/tables.h"
#include "store/formats.h"
#include "tests/wine/support.h"

namespace {

ByteSource source_of(const std::string& bytes)
{
    return memory_source(bytes.data(), bytes.size());
}

// A table file, where present, reads back into exactly its bytes; a missing
// one is an empty table (deleted, not written).
template <typename Table>
void expect_table_whole(const std::string& path, void (*read)(Table&, const ByteSource&),
                        std::string (*format)(const Table&))
{
    if (!file_exists(path))
        return;
    std::string bytes = read_file(path);
    Table table;
    read(table, source_of(bytes));
    EXPECT_EQ(format(table), bytes) << path;
}

// One field of every record of a table file, in the file's order.
template <typename Table, typename Record>
std::vector<std::string> saved_field(const std::string& path, void (*read)(Table&, const ByteSource&),
                                     std::string Record::*field)
{
    Table table;
    read(table, source_of(read_file(path)));
    std::vector<std::string> values;
    for (int i = 0; i < table.count(); ++i)
        values.push_back(table.records[i].*field);
    return values;
}

}  // namespace

void expect_program_files_whole(const std::string& folder)
{
    std::string list = read_file(folder + "\\quillsave.ini");
    BackupList rows;
    read_list(rows, source_of(list));
    EXPECT_EQ(format_list(rows), list) << "quillsave.ini";

    std::string settings = read_file(folder + "\\set.ini");
    Settings values{};
    ProgressState position;
    reset_settings(values, position);
    read_settings(values, position, source_of(settings));
    EXPECT_EQ(format_settings(values, position), settings) << "set.ini";

    expect_table_whole<FolderTable>(folder + "\\folder.ini", read_folder_table, format_folder_table);
    expect_table_whole<FileTable>(folder + "\\file.ini", read_file_table, format_file_table);
}

std::vector<std::string> saved_row(const std::string& folder, int row)
{
    std::string list = read_file(folder + "\\quillsave.ini");
    BackupList rows;
    read_list(rows, source_of(list));
    std::vector<std::string> cells;
    for (int column = 0; column < column_count; ++column) {
        char cell[kFieldSize];
        list_get_cell(rows, row, column, cell);
        cells.push_back(cell);
    }
    return cells;
}

std::vector<std::string> saved_file_names(const std::string& folder)
{
    return saved_field<FileTable>(folder + "\\file.ini", read_file_table, &FileRecord::file_name);
}

std::vector<std::string> saved_folder_paths(const std::string& folder)
{
    return saved_field<FolderTable>(folder + "\\folder.ini", read_folder_table, &FolderRecord::full_path);
}
