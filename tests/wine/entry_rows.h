// Rows of a BackupList as the step and worker tests build and read them.
#pragma once
#include <string>

#include "engine/backup_list.h"

// Appends an entry whose status columns show "未", as after a reset.
inline int add_entry(BackupList& list, const std::string& name, const std::string& source,
                     const std::string& destination)
{
    int row = list_insert_row(list, list_row_count(list), name.c_str());
    list_set_cell(list, row, col_source, source.c_str());
    list_set_cell(list, row, col_destination, destination.c_str());
    list_set_cell(list, row, col_file_status, "未");
    list_set_cell(list, row, col_folder_status, "未");
    return row;
}

inline std::string cell_text(const BackupList& list, int row, int column)
{
    char text[kFieldSize];
    list_get_cell(list, row, column, text);
    return text;
}
