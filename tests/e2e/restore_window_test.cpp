// The restore window through the real program: opened from the BackUP menu
// on a backed-up folder entry, it walks the backup by its list and tells how
// each file stands beside its own place; opened without a row it is empty
// and can only open a backup folder.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "resources/resource.h"
#include "engine/copy_rules.h"
#include "tests/e2e/bed.h"
#include "tests/e2e/harness.h"
#include "engine/restore.h"
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

// Restores as a user makes them: a deleted file, an earlier version over
// the current one, a whole entry after its source folder went, a cancel in
// the middle of a large file, a backup folder opened on a new PC, and a
// backup drive that is not there.
namespace {

// A box of the program over the window (it has the window's title).
HWND box_over(const Quillsave& program, HWND window)
{
    HWND box = nullptr;
    wait_until([&] { return (box = program.dialog(kTitle, [&](HWND w) { return w != window; })) != nullptr; },
               kWindowWait);
    return box;
}

void select_row_named(HWND list, const std::string& name)
{
    int row = row_named(list, name);
    ASSERT_GE(row, 0) << name;
    select_list_row(list, row);
}

void enter_folder(HWND window, const std::string& name)
{
    HWND files = GetDlgItem(window, IDC_RESTORE_FILES);
    select_row_named(files, name);
    PostMessageA(files, WM_KEYDOWN, VK_RETURN, 1);
    ASSERT_TRUE(wait_until([&] { return list_view_cell(files, 0, 0) == ".."; }, kWindowWait));
}

// Restores ended so far, by their last lines in the report.
std::size_t restores_ended(const std::string& working_folder)
{
    std::string report = read_file(working_folder + "\\quillsave.log");
    return lines_with(report, "\t復元終了\t").size() + lines_with(report, "\t復元中止\t").size();
}

// Waits for the end of the restore after `before` had ended, and for the
// window to take buttons again.
bool restore_ended(HWND window, const std::string& working_folder, std::size_t before)
{
    return wait_until([&] { return restores_ended(working_folder) > before &&
                                   IsWindowEnabled(GetDlgItem(window, IDC_RESTORE_ELSEWHERE)) &&
                                   !IsWindowVisible(GetDlgItem(window, IDC_RESTORE_CANCEL)); },
                      60000);
}

// Presses a restore button; a question, when one is expected, is answered
// with answer; then waits until the restore has ended.
void press_restore(const Quillsave& program, HWND window, const std::string& working_folder, int button,
                   int answer = 0)
{
    std::size_t before = restores_ended(working_folder);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    if (answer != 0) {
        HWND question = box_over(program, window);
        ASSERT_NE(question, nullptr) << "a question before files are replaced";
        click_button(question, answer);
    }
    ASSERT_TRUE(restore_ended(window, working_folder, before));
}

void answer(HWND box, int button)
{
    click_button(box, button);
    wait_until([&] { return !IsWindow(box); }, kWindowWait);
}

// The files below a folder of old versions whose bytes are these.
int versions_holding(const std::string& folder, const std::string& bytes)
{
    int found = 0;
    for (const std::string& name : list_folder(folder))
        found += read_file(folder + "\\" + name) == bytes ? 1 : 0;
    return found;
}

}  // namespace

TEST(Restore, ADeletedFileAndAnEarlierVersionComeBackAndNothingIsLost)
{
    Bed bed;
    bed.file("d\\ソ表.txt", "first");
    bed.file("d\\kept.txt", "kept");
    bed.program_files(list_line("*.*", bed.source, bed.backup));
    Quillsave program(bed.dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    run_and_watch(main, kContinuous, 0);
    write_file(bed.source + "\\d\\ソ表.txt", "second");
    set_file_times(bed.source + "\\d\\ソ表.txt", a_day_from_now());
    run_and_watch(main, kContinuous, 0);  // "first" becomes an old version
    write_file(bed.source + "\\d\\ソ表.txt", "today's, not backed up");
    set_file_times(bed.source + "\\d\\ソ表.txt", a_day_from_now() + 86400ull * 10000000ull);
    ASSERT_TRUE(DeleteFileA((bed.source + "\\d\\kept.txt").c_str()));

    select_list_row(GetDlgItem(main, IDC_LIST_VIEW), 0);
    HWND window = open_restore_window(program, main);
    ASSERT_NE(window, nullptr);
    enter_folder(window, "d");
    HWND files = GetDlgItem(window, IDC_RESTORE_FILES);
    select_row_named(files, "kept.txt");
    press_restore(program, window, bed.dir.path(), IDC_RESTORE_HERE);
    EXPECT_EQ(read_file(bed.source + "\\d\\kept.txt"), "kept");
    EXPECT_EQ(last_write_time(bed.source + "\\d\\kept.txt"), last_write_time(bed.backup + "\\d\\kept.txt"));

    select_row_named(files, "ソ表.txt");
    HWND versions = GetDlgItem(window, IDC_RESTORE_VERSIONS);
    ASSERT_TRUE(wait_until([&] { return SendMessageA(versions, LVM_GETITEMCOUNT, 0, 0) == 2; }, kWindowWait));
    select_list_row(versions, 1);  // the old version, below the backup
    std::size_t before = restores_ended(bed.dir.path());
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_RESTORE_HERE, BN_CLICKED), 0);
    HWND question = box_over(program, window);
    ASSERT_NE(question, nullptr);
    EXPECT_NE(message_box_text(question).find("1個"), std::string::npos) << message_box_text(question);
    answer(question, IDOK);
    ASSERT_TRUE(restore_ended(window, bed.dir.path(), before));
    EXPECT_EQ(read_file(bed.source + "\\d\\ソ表.txt"), "first");
    EXPECT_EQ(versions_holding(bed.backup + "\\" + kVersionsFolder + "\\d", "today's, not backed up"), 1)
        << "the file replaced is kept as an old version";
    std::string report = read_file(bed.dir / "quillsave.log");
    EXPECT_EQ(lines_with(report, "\t復元\t").size(), 2u);
    close_window(window);
    EXPECT_EQ(end_by_menu(program, main), 0);
}

TEST(Restore, AWholeEntryComesBackAfterItsSourceFolderWentAndACancelLeavesNoHalfFile)
{
    Bed bed;
    bed.file("ソ\\表.txt", "so-hyo");
    bed.file("ソ\\能\\deep.txt", "deep");
    bed.file("top.txt", "top");
    bed.file("large.bin", std::string(6 * 1024 * 1024, 'L'));
    bed.program_files(list_line("*.*", bed.source, bed.backup));
    ProgramVariable slow("QS_TEST_SLOW_RESTORE_MS", "400");
    Quillsave program(bed.dir.path(), "", seams_program());
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    run_and_watch(main, kContinuous, 0);
    remove_tree(bed.source);

    select_list_row(GetDlgItem(main, IDC_LIST_VIEW), 0);
    HWND window = open_restore_window(program, main);
    ASSERT_NE(window, nullptr);
    // Nothing selected: the whole entry. The large file is cancelled in its
    // middle; what came back before it stays.
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_RESTORE_HERE, BN_CLICKED), 0);
    ASSERT_TRUE(wait_until([&] { return IsWindowVisible(GetDlgItem(window, IDC_RESTORE_CANCEL)) != 0; },
                           kWindowWait));
    ASSERT_TRUE(wait_until([&] { return file_exists(bed.source + "\\" + kRestoreTempName); }, kWindowWait))
        << "the large file is being written";
    click_button(window, IDC_RESTORE_CANCEL);
    HWND told = box_over(program, window);
    ASSERT_NE(told, nullptr);
    EXPECT_NE(message_box_text(told).find("中止"), std::string::npos) << message_box_text(told);
    answer(told, IDOK);
    EXPECT_FALSE(file_exists(bed.source + "\\" + kRestoreTempName));
    EXPECT_FALSE(file_exists(bed.source + "\\large.bin"));

    press_restore(program, window, bed.dir.path(), IDC_RESTORE_HERE);
    struct Back { const char* path; const char* bytes; } back[] = {
        {"ソ\\表.txt", "so-hyo"}, {"ソ\\能\\deep.txt", "deep"}, {"top.txt", "top"}};
    for (const Back& b : back) {
        EXPECT_EQ(read_file(bed.source + "\\" + b.path), b.bytes) << b.path;
        EXPECT_EQ(last_write_time(bed.source + "\\" + b.path), last_write_time(bed.backup + "\\" + b.path)) << b.path;
    }
    EXPECT_EQ(read_file(bed.source + "\\large.bin").size(), 6u * 1024 * 1024);
    close_window(window);
    EXPECT_EQ(end_by_menu(program, main), 0);
}

// A new PC: no list, the backup folder opened with the browser (on the
// destination last chosen for Add selected), everything restored elsewhere
// (the browser on the source folder last chosen there).
TEST(Restore, ABackupFolderOpenedWithoutAListComesBackAnywhere)
{
    DriveRootDir backup("restore-backup");
    DriveRootDir target("restore-target");
    make_folder(backup / "写真\\旅行");
    write_file(backup / "写真\\旅行\\表紙.jpg", "cover");
    write_file(backup / "memo.txt", "memo");
    Bed bed;  // a list of one row that is not this backup's
    bed.file("a.txt", "a");
    bed.program_files(list_line("*.*", bed.source, bed.backup),
                      {{"temp_foler_a1", backup.path()}, {"temp_foler_a2", target.path()}});
    const TempDir& dir = bed.dir;
    Quillsave program(dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    HWND window = open_restore_window(program, main);
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_RESTORE_OPEN, BN_CLICKED), 0);
    confirm_browser(program, "復元するバックアップフォルダを選んでください", backup.path());
    HWND files = GetDlgItem(window, IDC_RESTORE_FILES);
    ASSERT_TRUE(wait_until([&] { return row_named(files, "memo.txt") >= 0; }, kWindowWait));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, IDC_RESTORE_HERE))) << "no own place without a list";
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_RESTORE_ELSEWHERE, BN_CLICKED), 0);
    confirm_browser(program, "復元先のフォルダを選んでください（フォルダの中の並びはそのまま）", target.path());
    ASSERT_TRUE(restore_ended(window, dir.path(), 0)) << read_file(dir / "quillsave.log");
    EXPECT_EQ(read_file(target / "写真\\旅行\\表紙.jpg"), "cover");
    EXPECT_EQ(read_file(target / "memo.txt"), "memo");
    close_window(window);
    EXPECT_EQ(end_by_menu(program, main), 0);
}

// The backup drive unplugged: the window says so, and a restore changes
// nothing.
TEST(Restore, TheBackupDriveNotThereIsABoxAndNothingChanges)
{
    Bed bed;
    bed.file("a.txt", "the user's");
    bed.program_files(list_line("*.*", bed.source, "Q:\\バックアップ"));
    Quillsave program(bed.dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    select_list_row(GetDlgItem(main, IDC_LIST_VIEW), 0);
    post_command(main, IDM_RESTORE);
    HWND window = nullptr;
    HWND told = nullptr;
    ASSERT_TRUE(wait_until([&] {
        window = program.dialog(kTitle, [](HWND w) { return GetDlgItem(w, IDC_RESTORE_FILES) != nullptr; });
        return window && (told = box_over(program, window)) != nullptr;
    }, kWindowWait));
    EXPECT_NE(message_box_text(told).find("つながっているか"), std::string::npos) << message_box_text(told);
    answer(told, IDOK);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_RESTORE_HERE, BN_CLICKED), 0);
    told = box_over(program, window);
    ASSERT_NE(told, nullptr);
    EXPECT_NE(message_box_text(told).find("何も変えていません"), std::string::npos) << message_box_text(told);
    answer(told, IDOK);
    EXPECT_EQ(read_file(bed.source + "\\a.txt"), "the user's");
    EXPECT_EQ(list_folder(bed.source), std::vector<std::string>{"a.txt"});
    close_window(window);
    EXPECT_EQ(end_by_menu(program, main), 0);
}

// A restore during a standby run: the run stops before the first file is
// written, keeping its place, and goes on after the restore.
TEST(Restore, ARunningBackupIsPausedAndGoesOnAfterwards)
{
    Bed bed;
    bed.file("d\\gone.txt", "back again");
    for (int i = 0; i < 30; ++i)
        bed.file("d\\f" + std::to_string(i) + ".txt", "f");
    bed.program_files(list_line("*.*", bed.source, bed.backup));
    Quillsave program(bed.dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    run_and_watch(main, kContinuous, 0);
    ASSERT_TRUE(DeleteFileA((bed.source + "\\d\\gone.txt").c_str()));
    post_command(main, kStandby);
    ASSERT_TRUE(wait_until([&] { return status_text(main, 3) != "停止中"; }, kWindowWait));

    select_list_row(GetDlgItem(main, IDC_LIST_VIEW), 0);
    HWND window = open_restore_window(program, main);
    ASSERT_NE(window, nullptr);
    enter_folder(window, "d");
    select_row_named(GetDlgItem(window, IDC_RESTORE_FILES), "gone.txt");
    press_restore(program, window, bed.dir.path(), IDC_RESTORE_HERE);
    EXPECT_EQ(read_file(bed.source + "\\d\\gone.txt"), "back again");
    std::vector<std::string> lines;
    auto at = [&](const std::string& text, std::size_t from) {
        for (std::size_t i = from; i < lines.size(); ++i)
            if (lines[i].find(text) != std::string::npos)
                return i;
        return lines.size();
    };
    // The run's next step begins its pass in the report again.
    std::size_t begun = 0;
    EXPECT_TRUE(wait_until([&] {
        lines = lines_of(read_file(bed.dir / "quillsave.log"));
        begun = at("\t復元開始\t", 0);
        return at("待機BackUP", at("\t復元終了\t", begun)) < lines.size();
    }, 30000)) << "the run goes on after the restore";
    ASSERT_LT(begun, lines.size());
    EXPECT_LT(at("\t停止", at("待機BackUP", 0)), begun) << "the standby run stopped first";
    close_window(window);
    EXPECT_EQ(end_by_menu(program, main), 0);
}
