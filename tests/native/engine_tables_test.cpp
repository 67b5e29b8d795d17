// The clears leave nothing of an earlier walk or load behind.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/tables.h"

TEST(ClearTables, EveryRecordZeroed)
{
    FolderTable folders;
    FileTable files;
    folders.count = files.count = kTableCapacity;
    for (int i : {0, 2500, kTableCapacity - 1}) {
        std::strcpy(folders.records[i].full_path, "C:\\x");
        std::strcpy(folders.records[i].relative_path, "\\x");
        std::strcpy(files.records[i].file_name, "x");
        files.records[i].first_number = files.records[i].second_number = 5;
    }
    clear_folder_table(folders);
    clear_file_table(files);
    EXPECT_EQ(folders.count, 0);
    EXPECT_EQ(files.count, 0);
    const FolderRecord zero_folder{};
    const FileRecord zero_file{};
    for (int i = 0; i < kTableCapacity; ++i) {
        ASSERT_EQ(std::memcmp(&folders.records[i], &zero_folder, sizeof zero_folder), 0) << i;
        ASSERT_EQ(std::memcmp(&files.records[i], &zero_file, sizeof zero_file), 0) << i;
    }
}
