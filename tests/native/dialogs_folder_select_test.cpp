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
        {"表.ソソソ", 4, true},
        {"表.ソソソソ", 4, false},
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
    char entered[kFieldSize], chosen[kFieldSize];
    copy_field(entered, folder.c_str());
    EXPECT_TRUE(enter_folder(entered, "abc"));  // 255 + 1 + 3 = 259
    copy_field(entered, folder.c_str());
    EXPECT_FALSE(enter_folder(entered, "abcd"));
    EXPECT_EQ(std::string(entered), folder);    // unchanged
    EXPECT_FALSE(chosen_folder(chosen, folder.c_str(), "abcd"));
    EXPECT_STREQ(chosen, "");

    // A picked folder joins its name to both folders, a file to neither.
    BackupList list;
    EXPECT_FALSE(append_picked_item(list, "abcd", true, folder.c_str(), "D:\\d"));
    EXPECT_FALSE(append_picked_item(list, "abcd", true, "C:\\d", folder.c_str()));
    EXPECT_TRUE(append_picked_item(list, "abcd", false, folder.c_str(), folder.c_str()));
    EXPECT_EQ(list_row_count(list), 1);
}

// Whether an item is a folder comes from the dialog's row (the directory bit
// the system gave it), never from the dots in its name.
TEST(FolderSelectText, PickedItemsBecomeRowsByWhatTheyAreOnDisk)
{
    const char* folder = "C:\\ソ";
    const char* file_folder = "D:\\保存";
    struct Case { const char* name; bool is_folder; std::vector<std::string> row; } cases[] = {
        {"README", false, {"README", "C:\\ソ", "D:\\保存"}},
        {"archive.v2-old", false, {"archive.v2-old", "C:\\ソ", "D:\\保存"}},
        {"notes.txt", false, {"notes.txt", "C:\\ソ", "D:\\保存"}},
        {".profile", false, {".profile", "C:\\ソ", "D:\\保存"}},
        {"photos", true, {"*.*", "C:\\ソ\\photos", "D:\\保存\\photos"}},
        {"my.photos", true, {"*.*", "C:\\ソ\\my.photos", "D:\\保存\\my.photos"}},
        {"shots.old", true, {"*.*", "C:\\ソ\\shots.old", "D:\\保存\\shots.old"}},
        {"表", true, {"*.*", "C:\\ソ\\表", "D:\\保存\\表"}},
        // Rows that name no item of the folder make what they always made.
        {"..", true, {"..", "C:\\ソ", "D:\\保存"}},
        {".", true, {".", "C:\\ソ", "D:\\保存"}},
        {"d:\\", true, {"*.*", "C:\\ソ\\d:\\", "D:\\保存\\d:\\"}},
    };
    BackupList list;
    list_insert_row(list, 0, "kept.txt");
    for (const auto& c : cases)
        ASSERT_TRUE(append_picked_item(list, c.name, c.is_folder, folder, file_folder)) << c.name;
    const int n = static_cast<int>(sizeof cases / sizeof cases[0]);
    ASSERT_EQ(list_row_count(list), 1 + n);
    for (int i = 0; i < n; ++i)
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
