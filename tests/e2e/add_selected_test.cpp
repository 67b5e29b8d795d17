// Add selected and Add all in the real program, over real trees: the rows
// they add are then backed up by a continuous run, and the backup is read
// back from the disk.
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

// Starts stay in the test's hands: a yearly start on February 31st is never
// due, and the tick timer that stops a run at the end of the list is armed
// one second after the window shows.
const std::vector<std::pair<std::string, std::string>> kHandStarted = {
    {"start_time", "1"}, {"set_t_mode", "1"}, {"set_t_mon", "1"}, {"set_t_mday", "31"}};

std::vector<std::pair<std::string, std::string>> hand_started(std::vector<std::pair<std::string, std::string>> values)
{
    values.insert(values.end(), kHandStarted.begin(), kHandStarted.end());
    return values;
}

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

// A list to start from (without one the program first says it cannot open
// it): one row of a file that is there, so the run has nothing to stop at.
void write_list_of_one(const TempDir& dir)
{
    make_folder(dir / "k");
    write_file(dir / "k\\kept.txt", "kept");
    write_file(dir / "quillsave.ini", list_line("kept.txt", dir / "k", dir / "kd"));
}

// A continuous run by the menu, until every row is done and the end of the
// list has stopped it.
void run_to_the_end(HWND main)
{
    post_command(main, IDM_START_CONTINUOUS);
    int rows = list_row_count(main);
    auto all_done = [&] {
        for (int row = 0; row < rows; ++row)
            if (list_cell(main, row, 4) != "完")
                return false;
        return true;
    };
    ASSERT_TRUE(wait_until(all_done, kExitWait));
    ASSERT_TRUE(wait_until([&] { return status_text(main, 3) == "停止中"; }, kWindowWait));
}

// Files and folders whose names say the other thing: no dot, a dot far from
// the end, a folder with a dot near it. Each is backed up where the source
// has it.
TEST(AddSelected, PickedFilesAndFoldersAreBackedUpWhereTheSourceHasThem)
{
    TempDir dir;
    make_folder(dir / "dest\\backup");
    make_folder(dir / "src\\photos\\2024");
    make_folder(dir / "src\\my.photos");
    write_file(dir / "src\\README", "readme");
    write_file(dir / "src\\archive.v2-old", "archive");
    write_file(dir / "src\\notes.txt", "notes");
    write_file(dir / "src\\photos\\2024\\a.jpg", "a");
    write_file(dir / "src\\my.photos\\b.jpg", "b");
    write_list_of_one(dir);
    write_file(dir / "set.ini",
               settings_file(hand_started({{"temp_foler_a1", dir / "dest"}, {"temp_foler_a2", dir / "src"}})));
    Quillsave program(dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);

    post_command(main, IDM_ADD_SELECTED);
    HWND dialog = nullptr;
    ASSERT_TRUE(wait_until([&] { return (dialog = program.dialog("保存先のフォルダ選択")) != nullptr; }, kWindowWait));
    pick(dialog, {"backup"});
    ASSERT_TRUE(wait_until([&] { return (dialog = program.dialog("ソースのフォルダとファイル選択")) != nullptr; },
                           kWindowWait));
    pick(dialog, {"README", "archive.v2-old", "notes.txt", "photos", "my.photos"});
    ASSERT_TRUE(wait_until([&] { return list_row_count(main) == 6; }, kWindowWait));
    run_to_the_end(main);

    std::string backup = dir / "dest\\backup";
    EXPECT_EQ(list_folder(backup),
              (std::vector<std::string>{"README", "archive.v2-old", "my.photos", "notes.txt", "photos"}));
    struct Copy { const char* relative; const char* bytes; } copies[] = {
        {"README", "readme"}, {"archive.v2-old", "archive"}, {"notes.txt", "notes"},
        {"photos\\2024\\a.jpg", "a"}, {"my.photos\\b.jpg", "b"},
    };
    for (const Copy& c : copies)
        EXPECT_EQ(read_file(backup + "\\" + c.relative), c.bytes) << c.relative;

    EXPECT_EQ(end_by_menu(program, main), 0);
    EXPECT_EQ(settings_value(read_file(dir / "set.ini"), "file_folder"), backup);
    EXPECT_EQ(lines_of(read_file(dir / "quillsave.ini")).size(), 6u);
}

// Two sub-folders holding a file of the same name: each keeps its own
// backup, under its folder's name.
TEST(AddAll, EachSubFolderIsBackedUpUnderItsOwnName)
{
    TempDir dir;
    DriveRootDir source("add-all-src"), destination("add-all-dst");
    make_folder(source / "work");
    make_folder(source / "home");
    write_file(source / "work\\notes.txt", "work notes");
    write_file(source / "home\\notes.txt", "home notes");
    write_file(source / "top.txt", "top");
    write_list_of_one(dir);
    write_file(dir / "set.ini", settings_file(hand_started(
                                    {{"temp_foler_a1", source.path()}, {"temp_foler_a2", destination.path()}})));
    Quillsave program(dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);

    post_command(main, IDM_ADD_ALL);
    confirm_browser(program, "転送元のフォルダの指定（全）", source.path());
    confirm_browser(program, "転送先のフォルダの指定", destination.path());
    ASSERT_TRUE(wait_until([&] { return list_row_count(main) == 4; }, kWindowWait));
    run_to_the_end(main);

    EXPECT_EQ(list_folder(destination.path()), (std::vector<std::string>{"home", "top.txt", "work"}));
    EXPECT_EQ(read_file(destination / "work\\notes.txt"), "work notes");
    EXPECT_EQ(read_file(destination / "home\\notes.txt"), "home notes");
    EXPECT_EQ(read_file(destination / "top.txt"), "top");
    EXPECT_EQ(end_by_menu(program, main), 0);
}

}  // namespace
