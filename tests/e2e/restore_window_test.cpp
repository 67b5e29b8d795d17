// The restore window through the real program: opened from the BackUP menu
// on a backed-up folder entry, it walks the backup by its list and tells how
// each file stands beside its own place; opened without a row it is empty
// and can only open a backup folder.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "resources/resource.h"
#include "tests/e2e/bed.h"
#include "tests/e2e/harness.h"
#include "tests/wine/support.h"

namespace {

const char kTitle[] = "ファイルの復元";

HWND open_restore_window(const Quillsave& program, HWND main)
{
    post_command(main, IDM_RESTORE);
    HWND window = nullptr;
    wait_until([&] { return (window = program.dialog(kTitle)) != nullptr && IsWindowVisible(window); },
               kWindowWait);
    return window;
}

void close_window(HWND window)
{
    click_button(window, IDCANCEL);
    wait_until([&] { return !IsWindow(window); }, kWindowWait);
}

std::string control_text(HWND window, int id)
{
    char text[512] = {};
    GetDlgItemTextA(window, id, text, sizeof text);
    return text;
}

// The row of the list whose name is name, or -1.
int row_named(HWND list, const std::string& name)
{
    int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        if (list_view_cell(list, row, 0) == name)
            return row;
    }
    return -1;
}

unsigned long long a_day_from_now()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return ((static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime) +
           86400ull * 10000000ull;
}

}  // namespace

// After a run the source changes: one file is saved again, one deleted, one
// left alone. Each reads so in the window once Enter has taken it into the
// folder, and ".." leads back up.
TEST(RestoreWindow, OpensOnTheSelectedEntryAndTellsHowEachFileStands)
{
    Bed bed;
    bed.file("d\\changed.txt", "first");
    bed.file("d\\deleted.txt", "gone soon");
    bed.file("d\\same.txt", "kept");
    bed.program_files(list_line("*.*", bed.source, bed.backup));
    Quillsave program(bed.dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    run_and_watch(main, kContinuous, 0);
    ASSERT_EQ(list_cell(main, 0, 3), "完");
    write_file(bed.source + "\\d\\changed.txt", "saved again, longer");
    set_file_times(bed.source + "\\d\\changed.txt", a_day_from_now());
    ASSERT_TRUE(DeleteFileA((bed.source + "\\d\\deleted.txt").c_str()));

    select_list_row(GetDlgItem(main, IDC_LIST_VIEW), 0);
    HWND window = open_restore_window(program, main);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(control_text(window, IDC_RESTORE_FOLDER), bed.backup);
    EXPECT_EQ(control_text(window, IDC_RESTORE_SOURCE), bed.source);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_RESTORE_HERE)));
    HWND files = GetDlgItem(window, IDC_RESTORE_FILES);
    ASSERT_EQ(list_view_cell(files, 0, 0), "d");
    EXPECT_EQ(row_named(files, ".."), -1) << "no way up from the entry's root";

    select_list_row(files, 0);
    PostMessageA(files, WM_KEYDOWN, VK_RETURN, 1);
    ASSERT_TRUE(wait_until([&] { return list_view_cell(files, 0, 0) == ".."; }, kWindowWait));
    EXPECT_EQ(control_text(window, IDC_RESTORE_PLACE), bed.backup + "\\d");
    struct Expected { const char* name; const char* standing; } expected[] = {
        {"changed.txt", "元の方が新しい"},
        {"deleted.txt", "元にない"},
        {"same.txt", "元と同じ"},
    };
    for (const auto& e : expected) {
        int row = row_named(files, e.name);
        ASSERT_GE(row, 0) << e.name;
        EXPECT_EQ(list_view_cell(files, row, 3), e.standing) << e.name;
        EXPECT_EQ(list_view_cell(files, row, 4), "0") << e.name;
    }

    select_list_row(files, 0);
    PostMessageA(files, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_TRUE(wait_until([&] { return list_view_cell(files, 0, 0) == "d"; }, kWindowWait));
    EXPECT_EQ(control_text(window, IDC_RESTORE_PLACE), bed.backup);
    close_window(window);
    EXPECT_EQ(read_file(bed.source + "\\d\\changed.txt"), "saved again, longer") << "browsing writes nothing";
    EXPECT_EQ(end_by_menu(program, main), 0);
}

// A new PC has no list: the window opens empty, offers to open a backup
// folder, and has nothing to restore yet.
TEST(RestoreWindow, WithoutASelectedRowOpensEmpty)
{
    Bed bed;
    bed.program_files(list_line("*.*", bed.source, bed.backup));
    Quillsave program(bed.dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    HWND window = open_restore_window(program, main);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageA(GetDlgItem(window, IDC_RESTORE_FILES), LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_RESTORE_OPEN)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_RESTORE_HERE)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_RESTORE_ELSEWHERE)));
    close_window(window);
    EXPECT_EQ(end_by_menu(program, main), 0);
}
