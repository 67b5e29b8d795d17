// Starting the program: the question without a switch, the notice and the
// tray with one, and the four files written back at the end.
#include <gtest/gtest.h>

#include "tests/e2e/harness.h"
#include "tests/wine/support.h"

namespace {

HWND find_notice(const Quillsave& program)
{
    return program.dialog("Quillsave", [](HWND box) { return GetDlgItem(box, IDNO) == nullptr; });
}

// Four files as the program itself writes them, so that reading and writing
// them back must give the same bytes.
struct SavedSession {
    std::string list = list_line("*.*", "C:\\ソース表", "D:\\保存先", "3", "1") +
                       list_line("memo.txt", "C:\\文書", "D:\\控え", "完", "完");
    std::string settings = settings_file({{"data_size", "65536"}, {"data_time", "5"}, {"start_time", "77"},
                                          {"rw_error_mode", "2"}, {"temp_backup", "E:\\表\\"},
                                          {"set_t_mode", "4"}, {"folder_max", "2"}, {"folder_count", "1"},
                                          {"folder_search_flag", "1"}, {"file_max", "2"}, {"file_count", "1"},
                                          {"file_search_flag", "1"}});
    std::string folders = "C:\\ソース表\r\n\r\nC:\\ソース表\\予定\r\n\\予定\r\n";
    std::string files = "ソ.txt\r\n0\r\n0\r\n表.doc\r\n0\r\n0\r\n";

    void write_to(const TempDir& dir) const
    {
        write_file(dir / "quillsave.ini", list);
        write_file(dir / "set.ini", settings);
        write_file(dir / "folder.ini", folders);
        write_file(dir / "file.ini", files);
    }
};

TEST(Start, WithoutSwitchAsksAndNoWritesBackTheFourFiles)
{
    TempDir dir;
    SavedSession session;
    session.write_to(dir);
    Quillsave program(dir.path(), "");
    ASSERT_TRUE(program.started());

    HWND question = nullptr;
    ASSERT_TRUE(wait_until([&] { return (question = find_question(program)) != nullptr; }, kWindowWait));
    EXPECT_EQ(message_box_text(question),
              "情報漏洩について作者からのお願い\r\n"
              "このソフトはＨＤＤの破損時に困らないようにバックアップするものです。\r\n"
              "情報漏洩の目的で使用しないでください\r\n"
              "このソフトはバックアップのみに使用しますか？");
    HWND main = program.main_window();
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(IsWindowVisible(main)) << "the question comes before the window shows";

    click_button(question, IDNO);
    EXPECT_EQ(program.wait_exit(kExitWait), 0);
    EXPECT_EQ(read_file(dir / "quillsave.ini"), session.list);
    EXPECT_EQ(read_file(dir / "set.ini"), session.settings);
    EXPECT_EQ(read_file(dir / "folder.ini"), session.folders);
    EXPECT_EQ(read_file(dir / "file.ini"), session.files);
}

TEST(Start, YesShowsTheListAndTheStatusBar)
{
    TempDir dir;
    SavedSession session;
    session.write_to(dir);
    Quillsave program(dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    char title[64] = {};
    GetWindowTextA(main, title, sizeof title);
    EXPECT_STREQ(title, "Quillsave Ver1.03");
    RECT frame = {};
    GetWindowRect(main, &frame);
    EXPECT_EQ(frame.right - frame.left, 600);
    EXPECT_EQ(frame.bottom - frame.top, 600);

    ASSERT_EQ(list_row_count(main), 2);
    const char* row0[] = {"*.*", "C:\\ソース表", "D:\\保存先", "3", "1"};
    for (int column = 0; column < 5; ++column)
        EXPECT_EQ(list_cell(main, 0, column), row0[column]) << "column " << column;
    EXPECT_EQ(list_cell(main, 1, 4), "完");
    EXPECT_EQ(status_text(main, 0), "LIST=0/2");
    EXPECT_EQ(status_text(main, 1), "Folder=1/2");
    EXPECT_EQ(status_text(main, 2), "File=1/2");
    EXPECT_EQ(status_text(main, 3), "停止中");
    EXPECT_EQ(status_text(main, 4), "by Alder-Works");

    // The close box ends the program; it never sends the window to the tray.
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.wait_exit(kExitWait), 0);
    EXPECT_EQ(read_file(dir / "set.ini"), session.settings);
    EXPECT_EQ(read_file(dir / "quillsave.ini"), session.list);
}

// The whole automatic start: the notice instead of the question, the window
// in the tray, a standby run start_time seconds later over a folder entry
// with Japanese names, the tray icon's double click and "終了" of its menu.
TEST(Start, AutoStartRunsFromTheTrayAndEndsByTheTrayMenu)
{
    TempDir dir;
    std::string source = dir / "ソース表";
    std::string destination = dir / "保存先";
    make_folder(source + "\\サブ\\深い");
    write_file(source + "\\表計算.txt", "一行目\r\n");
    write_file(source + "\\サブ\\ソ.txt", std::string(3000, 'x'));
    write_file(source + "\\サブ\\深い\\能力.dat", "ability");
    write_file(dir / "quillsave.ini", list_line("*.*", source, destination));
    write_file(dir / "set.ini", settings_file({{"start_time", "1"}, {"data_time", "1"}, {"set_t_mode", "0"},
                                               {"rw_error_mode", "2"}}));

    Quillsave program(dir.path(), "/B");
    HWND notice = nullptr;
    ASSERT_TRUE(wait_until([&] { return (notice = find_notice(program)) != nullptr; }, kWindowWait));
    EXPECT_EQ(find_question(program), nullptr);
    // It closes by itself, some 3 seconds after its last paint.
    EXPECT_TRUE(IsWindow(notice));
    ASSERT_TRUE(wait_until([&] { return !IsWindow(notice); }, 15000));

    HWND main = nullptr;
    ASSERT_TRUE(wait_until([&] { return (main = program.main_window()) != nullptr; }, kWindowWait));
    ASSERT_TRUE(wait_until([&] { return !IsWindowVisible(main); }, kWindowWait)) << "the window goes to the tray";

    ASSERT_TRUE(wait_until(
        [&] {
            return read_file(destination + "\\表計算.txt") == "一行目\r\n" &&
                   read_file(destination + "\\サブ\\ソ.txt") == std::string(3000, 'x') &&
                   read_file(destination + "\\サブ\\深い\\能力.dat") == "ability";
        },
        60000))
        << "the standby run copies the tree";
    EXPECT_FALSE(IsWindowVisible(main)) << "the run leaves the window in the tray";

    // A double click on the icon brings the window back; "タクスバー(&T)"
    // sends it to the tray again.
    post_tray_mouse(main, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(wait_until([&] { return IsWindowVisible(main) != 0; }, kWindowWait));
    post_command(main, 141);
    ASSERT_TRUE(wait_until([&] { return !IsWindowVisible(main); }, kWindowWait));
    ASSERT_TRUE(choose_tray_menu_item(program, main, kTrayExitItem));
    EXPECT_EQ(program.wait_exit(kExitWait), 0);
    std::vector<std::string> list = lines_of(read_file(dir / "quillsave.ini"));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].substr(0, list[0].find(destination) + destination.size()), "*.*," + source + "," + destination);
    std::string settings = read_file(dir / "set.ini");
    EXPECT_EQ(lines_of(settings).size(), 28u);
    EXPECT_EQ(settings_value(settings, "start_time"), "1");
    EXPECT_EQ(settings_value(settings, "data_time"), "1");
    EXPECT_TRUE(file_exists(dir / "folder.ini") || settings_value(settings, "folder_search_flag") == "0");
}

}  // namespace
