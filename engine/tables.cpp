#include "engine/tables.h"

#include <cstring>

void clear_folder_table(FolderTable& table)
{
    table.count = 0;
    std::memset(table.records.get(), 0, sizeof(FolderRecord) * kTableCapacity);
}

void clear_file_table(FileTable& table)
{
    table.count = 0;
    table.verified = false;
    std::memset(table.records.get(), 0, sizeof(FileRecord) * kTableCapacity);
}
