// The clears leave nothing of an earlier walk or load behind, not even its
// memory: a table that held a large tree holds nothing afterwards.
#include <gtest/gtest.h>

#include "engine/tables.h"

TEST(ClearTables, NoRecordsAndNoMemoryLeft)
{
    FolderTable folders;
    FileTable files;
    folders.records.resize(6000, FolderRecord{"C:\\x", "\\x"});
    files.records.resize(6000, FileRecord{"x", 5, 5});
    files.verified = true;
    clear_folder_table(folders);
    clear_file_table(files);
    EXPECT_EQ(folders.count(), 0);
    EXPECT_EQ(files.count(), 0);
    EXPECT_EQ(folders.records.capacity(), 0u);
    EXPECT_EQ(files.records.capacity(), 0u);
    EXPECT_FALSE(files.verified);
}
