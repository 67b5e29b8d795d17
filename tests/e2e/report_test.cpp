// Nothing is skipped in silence, through the real program: a file held by
// another program and a file whose backup path passes 259 bytes are named
// in quillsave.log with their reasons, the second is passed at its third try
// whatever the reaction to errors, the row ends with their count instead of
// "完", a backup drive that is not there passes nothing and is waited for,
// and the report is bounded.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/e2e/bed.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/program_files.h"
#include "tests/wine/support.h"

namespace {

const std::string kLongName = "a-name-long-enough-to-pass.txt";
constexpr int kEndPause = 37832;    // 一時停止を終了(&E)
constexpr int kOpenReport = 37834;  // 報告を開く(&R)

// A source tree of plain files, a dot folder, a file the test holds without
// sharing and a file whose backup path passes 259 bytes (the backup folder
// is long, the source short), then a second, single-file entry.
struct TroubledTree {
    Bed bed;
    // Its length leaves room for every name but the long one.
    std::string backup = bed.dir / std::string(240 - bed.dir.path().size() - 1, 'B');
    std::string second = bed.dir / "二";
    std::string second_backup = bed.dir / "out";
    HANDLE held = INVALID_HANDLE_VALUE;

    explicit TroubledTree(const std::vector<std::pair<std::string, std::string>>& settings)
    {
        bed.file("a.txt", "a");
        bed.file(".dot\\in.txt", "in");
        bed.file(".gitignore", "*.o");
        bed.file("mail.pst", "mail");
        bed.file(kLongName, "long");
        make_folder(second);
        write_file(second + "\\b.txt", "b");
        bed.program_files(list_line("*.*", bed.source, backup) + list_line("b.txt", second, second_backup), settings);
        held = CreateFileA((bed.source + "\\mail.pst").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~TroubledTree() { CloseHandle(held); }

    std::string report() const { return read_file(bed.dir / "quillsave.log"); }

    // What a pass over the tree must leave: every other file backed up, the
    // row's count, both files named with their reasons.
    void expect_told(const std::string& where) const
    {
        EXPECT_EQ(read_file(backup + "\\a.txt"), "a") << where;
        EXPECT_EQ(read_file(backup + "\\.dot\\in.txt"), "in") << where;
        EXPECT_EQ(read_file(backup + "\\.gitignore"), "*.o") << where;
        EXPECT_FALSE(file_exists(backup + "\\mail.pst")) << where;
        EXPECT_EQ(read_file(second_backup + "\\b.txt"), "b") << where;
        std::string text = report();
        std::vector<std::string> held_lines = lines_with(text, "\\mail.pst\t");
        ASSERT_EQ(held_lines.size(), 1u) << where << "\n" << text;
        EXPECT_NE(held_lines[0].find("\t読e\t1行目 "), std::string::npos) << held_lines[0];
        EXPECT_NE(held_lines[0].find("他のプログラムが使用中です"), std::string::npos) << held_lines[0];
        std::vector<std::string> long_lines = lines_with(text, kLongName);
        ASSERT_EQ(long_lines.size(), 1u) << where << "\n" << text;
        EXPECT_NE(long_lines[0].find("\t作e\t"), std::string::npos) << long_lines[0];
        EXPECT_NE(long_lines[0].find("保存先のパスが259バイトを超えます（3回"), std::string::npos) << long_lines[0];
        EXPECT_EQ(lines_with(text, "\t完了\t").size(), 1u) << text;
        EXPECT_EQ(lines_with(text, "バックアップできず 2件").size(), 1u) << text;
    }
};

struct Reaction {
    const char* name;
    int start_command;
    const char* rw_error_mode;
};

void PrintTo(const Reaction& reaction, std::ostream* out)
{
    *out << reaction.name;
}

class ReportByReaction : public ::testing::TestWithParam<Reaction> {};

// With "1:一時停止" each try stops the run and the restart tries again; with
// "0:維持" the run tries again itself. Either way the third try passes the
// file, the second entry is backed up and the row shows the count 2.
TEST_P(ReportByReaction, HeldAndTooLongFilesAreToldAndPassed)
{
    TroubledTree tree({{"rw_error_mode", GetParam().rw_error_mode}, {"restart_time", "2"}});
    ASSERT_NE(tree.held, INVALID_HANDLE_VALUE);
    Quillsave program(tree.bed.dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    post_command(main, GetParam().start_command);
    ASSERT_TRUE(wait_until([&] { return list_cell(main, 1, 3) == "完"; }, 120000)) << tree.report();
    // After an error with "1:一時停止" the restart timer keeps starting the
    // run, which would begin the list again: the pause is ended by hand.
    post_command(main, kEndPause);
    ASSERT_TRUE(wait_until([&] { return status_text(main, 3) == "停止中"; }, kWindowWait));
    EXPECT_EQ(list_cell(main, 0, 3), "×2");
    EXPECT_EQ(list_cell(main, 0, 4), "完");
    EXPECT_EQ(status_text(main, 4), "未バックアップ 2件");
    tree.expect_told(GetParam().name);
    EXPECT_EQ(end_by_menu(program, main), 0);
    expect_program_files_whole(tree.bed.dir.path());
    EXPECT_EQ(saved_row(tree.bed.dir.path(), 0)[3], "×2");
}

const Reaction kReactions[] = {
    {"StandbyPausing", kStandby, "1"},
    {"ContinuousPausing", kContinuous, "1"},
    {"StandbyKeepingOn", kStandby, "0"},
    {"ContinuousKeepingOn", kContinuous, "0"},
};
INSTANTIATE_TEST_SUITE_P(Report, ReportByReaction, ::testing::ValuesIn(kReactions),
                         [](const ::testing::TestParamInfo<Reaction>& info) { return info.param.name; });

// A held file at the first entry, then a tree whose long-named file fails
// three tries, each ending the run with "1:一時停止" and its restart: the
// pass resumed after each error goes on with what it had not backed up, so
// the end line and the status bar say 2, as the rows do together.
TEST(Report, RestartsAfterErrorsKeepThePassCount)
{
    TroubledTree tree({{"rw_error_mode", "1"}, {"restart_time", "2"}});
    ASSERT_NE(tree.held, INVALID_HANDLE_VALUE);
    const std::string tree_source = tree.bed.dir / "木";
    make_folder(tree_source);
    write_file(tree_source + "\\" + kLongName, "long");
    write_file(tree_source + "\\c.txt", "c");
    tree.bed.program_files(list_line("mail.pst", tree.bed.source, tree.second_backup) +
                               list_line("*.*", tree_source, tree.backup),
                           {{"rw_error_mode", "1"}, {"restart_time", "2"}});
    Quillsave program(tree.bed.dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    post_command(main, kContinuous);
    ASSERT_TRUE(wait_until([&] { return list_cell(main, 1, 4) == "完"; }, 120000)) << tree.report();
    post_command(main, kEndPause);
    ASSERT_TRUE(wait_until([&] { return status_text(main, 3) == "停止中"; }, kWindowWait));
    EXPECT_EQ(list_cell(main, 0, 3), "読e");
    EXPECT_EQ(list_cell(main, 1, 3), "×1");
    EXPECT_EQ(status_text(main, 4), "未バックアップ 2件");
    std::vector<std::string> ends = lines_with(tree.report(), "\t完了\t");
    ASSERT_EQ(ends.size(), 1u) << tree.report();
    EXPECT_NE(ends[0].find("バックアップできず 2件"), std::string::npos) << ends[0];
    EXPECT_EQ(end_by_menu(program, main), 0);
}

// "3:EXE終了": every failed try ends the program, and the tries are kept
// with the run position in set.ini, so the third start passes the file.
TEST(Report, EndingTheProgramAtEachErrorPassesTheFileAtTheThirdStart)
{
    TroubledTree tree({{"rw_error_mode", "3"}, {"restart_time", "2"}});
    for (int start = 1; start <= 2; ++start) {
        Quillsave program(tree.bed.dir.path(), "");
        HWND main = start_with_yes(program);
        ASSERT_NE(main, nullptr);
        post_command(main, kContinuous);
        ASSERT_EQ(program.wait_exit(kExitWait), 0) << "start " << start;
        EXPECT_EQ(settings_value(read_file(tree.bed.dir / "set.ini"), "try_count"), std::to_string(start));
    }
    Quillsave program(tree.bed.dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    post_command(main, kContinuous);
    ASSERT_TRUE(wait_until([&] { return list_cell(main, 1, 3) == "完"; }, 60000)) << tree.report();
    EXPECT_EQ(list_cell(main, 0, 3), "×2");
    tree.expect_told("third start");
    EXPECT_EQ(end_by_menu(program, main), 0);
    EXPECT_EQ(settings_value(read_file(tree.bed.dir / "set.ini"), "try_count"), "<none>");
}

// A backup folder on a drive that is not there (its tmpfs not mounted): no
// file is passed, the report says once what the run waits for, and the run
// goes on where it was once the drive is there.
TEST(Report, MissingBackupDriveIsWaitedForNotPassed)
{
    const std::string disk = QS_BACKUP_DISK;
    const std::string target = disk + "/drive";
    ASSERT_EQ(run_on_host("if mountpoint -q '" + disk + "'; then umount '" + disk + "'; fi; mkdir -p '" + disk +
                          "'; rm -rf '" + target + "'; ln -sfn '" + target + "' $WINEPREFIX/dosdevices/q:"),
              0);
    Bed bed;
    bed.file("a.txt", "a");
    bed.file("d\\b.txt", "b");
    bed.program_files(list_line("*.*", bed.source, "Q:\\先"), {{"rw_error_mode", "1"}, {"restart_time", "2"}});

    Quillsave program(bed.dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    post_command(main, kStandby);
    // Three restarts' worth of tries.
    Sleep(9000);
    std::string report = read_file(bed.dir / "quillsave.log");
    EXPECT_EQ(lines_with(report, "\t待機\t").size(), 1u) << report;
    EXPECT_TRUE(lines_with(report, "\t棚e\t1行目").size() == lines_with(report, "\t待機\t棚e\t").size()) << report;
    EXPECT_EQ(settings_value(read_file(bed.dir / "set.ini"), "try_count"), "<none>");
    EXPECT_NE(list_cell(main, 0, 4), "完");

    HostMount mounted(disk);
    if (!mounted.mounted()) {
        run_on_host("rm -f $WINEPREFIX/dosdevices/q:");
        GTEST_SKIP() << "no tmpfs at " << disk << ": mounting needs root";
    }
    ASSERT_EQ(run_on_host("mkdir '" + target + "'"), 0);
    EXPECT_TRUE(wait_until([&] { return list_cell(main, 0, 4) == "完"; }, 60000)) << read_file(bed.dir / "quillsave.log");
    EXPECT_EQ(list_cell(main, 0, 3), "完");
    EXPECT_EQ(read_file("Q:\\先\\a.txt"), "a");
    EXPECT_EQ(read_file("Q:\\先\\d\\b.txt"), "b");
    report = read_file(bed.dir / "quillsave.log");
    EXPECT_EQ(lines_with(report, "\t待機\t").size(), 1u) << report;
    std::vector<std::string> ends = lines_with(report, "\t完了\t");
    ASSERT_EQ(ends.size(), 1u) << report;
    EXPECT_NE(ends[0].find("コピー 2件\t最新 0件\tバックアップできず 0件"), std::string::npos) << ends[0];
    EXPECT_EQ(end_by_menu(program, main), 0);
    run_on_host("rm -f $WINEPREFIX/dosdevices/q:");
}

// A pass where all goes well writes two lines; a report past 1 MiB becomes
// quillsave.log.old, replacing the one before, and a new one begins.
TEST(Report, TwoLinesForAGoodPassAndTheReportIsBounded)
{
    Bed bed;
    bed.file("a.txt", "a");
    bed.program_files(list_line("*.*", bed.source, bed.backup));
    std::string filler;
    while (filler.size() < 1024 * 1024)
        filler += "2026/12/01 00:00:00\t開始\t待機BackUP\t手動で開始\r\n";
    for (int run = 0; run < 2; ++run) {
        Quillsave program(bed.dir.path(), "");
        HWND main = start_with_yes(program);
        ASSERT_NE(main, nullptr);
        if (run == 0) {
            // Before the first run there is no report to open: a box says so.
            post_command(main, kOpenReport);
            HWND box = nullptr;
            ASSERT_TRUE(wait_until([&] { return (box = program.dialog("報告を開く")) != nullptr; }, kWindowWait));
            EXPECT_EQ(message_box_text(box), "報告（quillsave.log）はまだありません。\r\nバックアップを行うと作られます。");
            click_button(box, IDOK);
            ASSERT_TRUE(wait_until([&] { return program.dialog("報告を開く") == nullptr; }, kWindowWait));
        }
        run_and_watch(main, kContinuous, 0);
        EXPECT_EQ(list_cell(main, 0, 3), "完");
        EXPECT_EQ(status_text(main, 4), "by Alder-Works");
        EXPECT_EQ(end_by_menu(program, main), 0);
        if (run == 0) {
            std::vector<std::string> lines = lines_of(read_file(bed.dir / "quillsave.log"));
            ASSERT_EQ(lines.size(), 2u);
            EXPECT_NE(lines[0].find("\t開始\t連続BackUP\t手動で開始"), std::string::npos) << lines[0];
            EXPECT_NE(lines[1].find("\t完了\tコピー 1件\t最新 0件\tバックアップできず 0件\t1バイト\t"),
                      std::string::npos)
                << lines[1];
            write_file(bed.dir / "quillsave.log.old", "the report before");
            write_file(bed.dir / "quillsave.log", filler);
        }
    }
    std::string old = read_file(bed.dir / "quillsave.log.old");
    EXPECT_EQ(old.compare(0, filler.size(), filler), 0);
    EXPECT_LT(old.size(), filler.size() + 200);
    std::string report = read_file(bed.dir / "quillsave.log");
    EXPECT_EQ(lines_with(report, "\t完了\t").size(), 1u) << report;
    EXPECT_EQ(lines_with(report, "\t開始\t").size(), 1u) << "the pass whole in one file\n" << report;
    EXPECT_LT(report.size(), 200u);
}

}  // namespace
