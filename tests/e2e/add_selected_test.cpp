// Add selected in the real program: a destination chosen in the first
// dialog, two items picked in the second, and both found in the program's
// files after its end.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/e2e/harness.h"
#include "tests/wine/support.h"

namespace {

// Selects the rows of these names in the dialog's item list and confirms.
void pick(HWND dialog, const std::vector<std::string>& names)
{
    HWND list = GetDlgItem(dialog, IDC_PICK_LIST);
    int n = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    int found = 0;
    for (int row = 0; row < n; ++row)
        for (const std::string& name : names)
            if (list_view_cell(list, row, 0) == name) {
                select_list_row(list, row);
                ++found;
            }
    EXPECT_EQ(found, static_cast<int>(names.size()));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_PICK_CONFIRM, BN_CLICKED), 0);
}

TEST(AddSelected, DestinationAndPickedItemsReachTheFilesAtTheEnd)
{
    TempDir dir;
    make_folder(dir / "dest\\backup");
    make_folder(dir / "src\\photos");
    write_file(dir / "src\\notes.txt", "n");
    write_file(dir / "quillsave.ini", list_line("kept.txt", dir / "k", dir / "d"));
    write_file(dir / "set.ini", settings_file({{"temp_foler_a1", dir / "dest"}, {"temp_foler_a2", dir / "src"}}));
    Quillsave program(dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);

    post_command(main, IDM_ADD_SELECTED);
    HWND dialog = nullptr;
    ASSERT_TRUE(wait_until([&] { return (dialog = program.dialog("保存先のフォルダ選択")) != nullptr; }, kWindowWait));
    pick(dialog, {"backup"});
    ASSERT_TRUE(wait_until([&] { return (dialog = program.dialog("ソースのフォルダとファイル選択")) != nullptr; },
                           kWindowWait));
    pick(dialog, {"photos", "notes.txt"});
    ASSERT_TRUE(wait_until([&] { return list_row_count(main) == 3; }, kWindowWait));

    EXPECT_EQ(end_by_menu(program, main), 0);
    std::string backup = dir / "dest\\backup";
    EXPECT_EQ(settings_value(read_file(dir / "set.ini"), "file_folder"), backup);
    std::vector<std::string> lines = lines_of(read_file(dir / "quillsave.ini"));
    ASSERT_EQ(lines.size(), 3u);
    // The rows come in the order the system listed the items.
    std::vector<std::string> added = {lines[1], lines[2]};
    std::sort(added.begin(), added.end());
    std::vector<std::string> expected = {
        lines_of(list_line("*.*", dir / "src\\photos", backup + "\\photos"))[0],
        lines_of(list_line("notes.txt", dir / "src", backup))[0],
    };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(added, expected);
}

}  // namespace
