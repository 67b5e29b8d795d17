// The entry edit dialog's browser paths and the rows the list edits add.
#include <gtest/gtest.h>

#include <string>

#include "dialogs/entry_edit_text.h"
#include "dialogs/list_entries.h"

TEST(EntryEditText, InitialBrowsePathJoinsAndAddsTxtOnlyWithoutAnyDot)
{
    struct Case { const char* folder; const char* name; const char* path; } cases[] = {
        {"C:\\data", "report", "C:\\data\\report.txt"},
        {"C:\\data", "", "C:\\data\\.txt"},
        {"C:\\data", "*.*", "C:\\data\\*.*"},
        {"C:\\", "memo", "C:\\memo.txt"},
        {"C:\\ソ", "memo", "C:\\ソ\\memo.txt"},   // 0x5C as a trail byte is no separator
        {"C:\\v1.0", "memo", "C:\\v1.0\\memo"},   // a dot in the folder counts too
        {"", "memo", "\\memo.txt"},
    };
    for (const auto& c : cases) {
        char out[kFieldSize];
        EXPECT_TRUE(initial_browse_path(out, c.folder, c.name)) << c.name;
        EXPECT_STREQ(out, c.path) << c.folder << " " << c.name;
    }
}

TEST(EntryEditText, InitialBrowsePathNeverCutsAPath)
{
    std::string folder = "C:\\" + std::string(250, 'f');  // 253 bytes, 254 with the separator
    struct Case { std::string name; bool fits; std::size_t length; } cases[] = {
        {"a", true, 259},                  // 255 bytes, ".txt" makes 259
        {"ab", false, 0},                  // 256 bytes, ".txt" would make 260
        {"ab.de", true, 259},              // has a dot: 259 bytes as it is
        {std::string(10, 'n'), false, 0},  // too long to join at all
    };
    for (const auto& c : cases) {
        char out[kFieldSize];
        EXPECT_EQ(initial_browse_path(out, folder.c_str(), c.name.c_str()), c.fits) << c.name;
        EXPECT_EQ(std::string(out).size(), c.length) << c.name;
    }
}

TEST(EntryEditText, PickedPathSplitsAtTheOffsetKeepingTheBackslash)
{
    struct Case { const char* path; std::size_t offset; const char* name; const char* folder; } cases[] = {
        {"C:\\data\\a.txt", 8, "a.txt", "C:\\data\\"},
        {"C:\\a.txt", 3, "a.txt", "C:\\"},
        {"C:\\表\\メモ.txt", 6, "メモ.txt", "C:\\表\\"},
        {"C:\\data\\", 99, "", "C:\\data\\"},
    };
    for (const auto& c : cases) {
        char name[kFieldSize], folder[kFieldSize];
        split_picked_path(c.path, c.offset, name, folder);
        EXPECT_STREQ(name, c.name) << c.path;
        EXPECT_STREQ(folder, c.folder) << c.path;
    }
}

TEST(ListEntries, FoundFoldersGetABackupFolderOfTheirOwnFilesTheChosenDestination)
{
    struct Case {
        bool is_folder; const char* name; const char* source; const char* destination;
        const char* cell0; const char* cell1; const char* cell2;
    } cases[] = {
        {true, "work", "S:\\src", "D:\\dst", "*.*", "S:\\src\\work", "D:\\dst\\work"},
        {true, "home", "S:\\src", "D:\\dst", "*.*", "S:\\src\\home", "D:\\dst\\home"},
        {true, "data", "C:\\", "D:\\", "*.*", "C:\\data", "D:\\data"},
        {true, "b", "S:\\表", "D:\\ソ", "*.*", "S:\\表\\b", "D:\\ソ\\b"},  // 0x5C trail bytes
        {true, "my.photos", "S:\\src", "D:\\dst", "*.*", "S:\\src\\my.photos", "D:\\dst\\my.photos"},
        {false, "x.txt", "S:\\src", "D:\\dst", "x.txt", "S:\\src", "D:\\dst"},
        {false, "README", "S:\\src", "D:\\dst", "README", "S:\\src", "D:\\dst"},
    };
    for (const auto& c : cases) {
        EntryBuffer entry;
        ASSERT_TRUE(found_item_entry(entry, c.is_folder, c.name, c.source, c.destination)) << c.name;
        EXPECT_STREQ(entry.file_name, c.cell0) << c.name;
        EXPECT_STREQ(entry.source, c.cell1) << c.name;
        EXPECT_STREQ(entry.destination, c.cell2) << c.name;
    }
}

TEST(ListEntries, FoundItemsWhosePathsPassTheLimitAreLeftOut)
{
    std::string at_limit = "S:\\" + std::string(250, 's');  // 253 bytes: a separator and five more make 259
    struct Case { bool is_folder; const char* name; std::string source, destination; bool added; } cases[] = {
        {true, "fives", at_limit, "D:\\dst", true},
        {true, "fives", "S:\\src", at_limit, true},
        {true, "sixsix", at_limit, "D:\\dst", false},
        {true, "sixsix", "S:\\src", at_limit, false},  // the backup folder would not fit
        {false, "sixsix", at_limit, at_limit, true},    // a file joins nothing here
    };
    for (const auto& c : cases) {
        EntryBuffer entry;
        EXPECT_EQ(found_item_entry(entry, c.is_folder, c.name, c.source.c_str(), c.destination.c_str()), c.added)
            << c.name << " " << c.source.size() << " " << c.destination.size();
    }
}

TEST(ListEntries, InsertedEntriesLeaveTheStatusColumnsEmpty)
{
    BackupList list;
    EntryBuffer first = {"*.*", "S:\\a", "D:\\"}, second = {"x.txt", "S:\\", "D:\\b"};
    EXPECT_EQ(insert_entry(list, 0, first), 0);
    list_set_cell(list, 0, col_file_status, "完");
    EXPECT_EQ(insert_entry(list, 0, second), 0);
    char cell[kFieldSize];
    const char* expected[2][column_count] = {{"x.txt", "S:\\", "D:\\b", "", ""}, {"*.*", "S:\\a", "D:\\", "完", ""}};
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < column_count; ++column) {
            list_get_cell(list, row, column, cell);
            EXPECT_STREQ(cell, expected[row][column]) << row << "," << column;
        }
}
