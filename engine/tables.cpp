#include "engine/tables.h"

void clear_folder_table(FolderTable& table)
{
    std::vector<FolderRecord>().swap(table.records);
}

void clear_file_table(FileTable& table)
{
    std::vector<FileRecord>().swap(table.records);
    table.verified = false;
}
