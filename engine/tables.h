// FolderTable and FileTable: the folders of the tree being copied and the
// files of the folder being copied, 5000 records each, allocated once.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/text.h"

constexpr int kTableCapacity = 5000;

struct FolderRecord {
    char full_path[kFieldSize];
    char relative_path[kFieldSize];  // "\a\b" below the source; "" for record 0
};

struct FileRecord {
    char file_name[kFieldSize];
    std::int32_t first_number;   // carried through file.ini
    std::int32_t second_number;
};

struct FolderTable {
    int count = 0;
    std::unique_ptr<FolderRecord[]> records{new FolderRecord[kTableCapacity]()};
};

struct FileTable {
    int count = 0;
    std::unique_ptr<FileRecord[]> records{new FileRecord[kTableCapacity]()};
};

// Count 0 and every record zeroed.
void clear_folder_table(FolderTable& table);
void clear_file_table(FileTable& table);
