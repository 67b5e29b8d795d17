// The folder selection dialog's text rules and the rows Add selected makes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/folder_select_text.h"
#include "dialogs/list_entries.h"

namespace {

std::string long_folder(std::size_t length)
{
    return "C:\\" + std::string(length - 3, 'f');
}

}  // namespace

TEST(FolderSelectText, UpOneLevelCutsAtTheLastRealSeparatorAndStopsAtARoot)
{
    struct Case { const char* folder; const char* parent; bool drives; } cases[] = {
        {"C:\\data\\sub", "C:\\data", false},
        {"C:\\data", "C:\\", false},
        {"C:\\", "C:\\", true},
        {"C:\\ソ", "C:\\", false},              // 83 5C: the trail byte is no separator
        {"C:\\表\\ソ", "C:\\表", false},
        {"C:\\data\\表", "C:\\data", false},
        {"d:\\ｿ\\x", "d:\\ｿ", false},           // a one-byte katakana before the separator
        {"\\\\server\\share\\a", "\\\\server\\share", false},
        {"\\\\nas\\backup", "\\\\nas\\backup", true},  // the server alone is no folder
        {"\\\\nas\\backup\\", "\\\\nas\\backup", true},
        {"\\\\nas\\ソ", "\\\\nas\\ソ", true},
        {"\\\\nas\\ソ\\表", "\\\\nas\\ソ", false},
        {"\\\\nas", "\\\\nas", false},
        {"\\\\?\\C:\\x", "\\\\?\\C:\\x", false},
        {"nothing", "nothing", false},
    };
    for (const auto& c : cases) {
        char folder[kFieldSize];
        copy_field(folder, c.folder);
        EXPECT_EQ(lists_drives(folder), c.drives) << c.folder;
        cut_to_parent(folder);
        EXPECT_STREQ(folder, c.parent) << c.folder;
    }
}

TEST(FolderSelectText, DotNearTheEndCountsCharactersNotBytes)
{
    struct Case { const char* name; std::size_t characters; bool dot; } cases[] = {
        {"shots.old", 4, true},
        {"my.photos", 4, false},
        {"a.b", 4, true},         // shorter than four: every character counts
        {"data", 4, false},
        {"a.ファイ", 4, true},     // the dot is the fourth character from the end, seven bytes back
        {"a.ファイル", 4, false},
        {"notes.txt", 6, true},
        {"archive.v2-old", 6, false},
        {"README", 6, false},
        {"表.ソソソソ", 6, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(has_dot_near_end(c.name, c.characters), c.dot) << c.name << " " << c.characters;
}

TEST(FolderSelectText, MovesAndChoicesJoinByTheFolderTheyStartFrom)
{
    struct Case { const char* folder; const char* name; const char* entered; const char* chosen; } cases[] = {
        {"C:\\", "data", "C:\\data", "C:\\data"},
        {"C:\\data", "sub", "C:\\data\\sub", "C:\\data\\sub"},
        {"C:\\data", ".", "C:\\data\\.", "C:\\data\\."},  // "." chooses the folder itself
        {"C:\\data", "d:\\", "C:\\data\\d:\\", "d:\\"},    // a drive row is itself
        {"C:", "x", "C:\\x", "C:\\x"},
        {"d", "x", "d:\\x", "d\\x"},
        {"C:\\ソ", "表", "C:\\ソ\\表", "C:\\ソ\\表"},
    };
    for (const auto& c : cases) {
        char folder[kFieldSize], chosen[kFieldSize];
        copy_field(folder, c.folder);
        EXPECT_TRUE(enter_folder(folder, c.name)) << c.folder;
        EXPECT_STREQ(folder, c.entered) << c.folder << " " << c.name;
        EXPECT_TRUE(chosen_folder(chosen, c.folder, c.name));
        EXPECT_STREQ(chosen, c.chosen) << c.folder << " " << c.name;
    }
}

TEST(FolderSelectText, PathsPastTheLimitAreRefusedNeverCut)
{
    std::string folder = long_folder(255);
    char entered[kFieldSize], chosen[kFieldSize], destination[kFieldSize];
    copy_field(entered, folder.c_str());
    EXPECT_TRUE(enter_folder(entered, "abc"));  // 255 + 1 + 3 = 259
    copy_field(entered, folder.c_str());
    EXPECT_FALSE(enter_folder(entered, "abcd"));
    EXPECT_EQ(std::string(entered), folder);    // unchanged
    EXPECT_FALSE(chosen_folder(chosen, folder.c_str(), "abcd"));
    EXPECT_STREQ(chosen, "");
    EXPECT_FALSE(picked_destination(destination, folder.c_str(), "abcd"));
    EXPECT_TRUE(picked_destination(destination, folder.c_str(), "abcd.txt"));  // the folder itself
    EXPECT_EQ(std::string(destination), folder);

    BackupList list;
    EXPECT_FALSE(append_picked_item(list, "abcd", folder.c_str(), "D:\\d"));
    EXPECT_TRUE(append_picked_item(list, "abcd.txt", folder.c_str(), "D:\\d"));
    EXPECT_EQ(list_row_count(list), 1);
}

TEST(FolderSelectText, PickedItemsBecomeFileOrFolderRows)
{
    const char* folder = "C:\\ソ";
    const char* file_folder = "D:\\保存";
    struct Case { const char* name; std::vector<std::string> row; } cases[] = {
        {"photos", {"*.*", "C:\\ソ\\photos", "D:\\保存\\photos"}},
        {"notes.txt", {"notes.txt", "C:\\ソ", "D:\\保存"}},
        {"archive.v2-old", {"*.*", "C:\\ソ\\archive.v2-old", "D:\\保存"}},
        {"README", {"*.*", "C:\\ソ\\README", "D:\\保存\\README"}},
        {"表", {"*.*", "C:\\ソ\\表", "D:\\保存\\表"}},
    };
    BackupList list;
    list_insert_row(list, 0, "kept.txt");
    for (const auto& c : cases) {
        char destination[kFieldSize];
        ASSERT_TRUE(picked_destination(destination, file_folder, c.name));
        ASSERT_TRUE(append_picked_item(list, c.name, folder, destination));
    }
    ASSERT_EQ(list_row_count(list), 6);
    for (int i = 0; i < 5; ++i)
        for (int column = 0; column < 3; ++column) {
            char cell[kFieldSize];
            list_get_cell(list, i + 1, column, cell);
            EXPECT_EQ(cell, cases[i].row[column]) << cases[i].name << " column " << column;
        }
}

TEST(FolderSelectText, ItemTextsKeepTheFourDigitYearAndTheWholeSize)
{
    char time[32], size[32];
    format_item_time(time, 2026, 3, 4, 5, 6);
    EXPECT_STREQ(time, "2026/03/04 05:06");
    format_item_size(size, 5368709121ull);  // past 4 GiB: the high part counts
    EXPECT_STREQ(size, "5368709121");
}
