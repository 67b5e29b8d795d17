// The real program under faults, on real trees: a destination that fills up,
// files and folders that vanish or are held during a run, names the code
// page cannot hold, a crash in the middle of each save, a copy that hangs
// past the stop's wait, and the power-off at the end of a continuous run. Afterwards every old backup is
// byte for byte what it was or a whole new copy, the four program files read
// back whole, and the statuses tell what happened.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "base/handle_win.h"
#include "engine/copy_rules.h"
#include "engine/run_state.h"
#include "engine/settings_table.h"
#include "engine/tables.h"
#include "store/formats.h"
#include "tests/e2e/bed.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/program_files.h"
#include "tests/wine/support.h"

namespace {

std::string file_param_name(const ::testing::TestParamInfo<const char*>& info)
{
    std::string name = info.param;
    return name.substr(0, name.find('.'));
}
class FaultByRunKind : public ::testing::TestWithParam<RunKind> {};

std::string run_kind_name(const ::testing::TestParamInfo<RunKind>& info)
{
    return info.param.name;
}

// A 1 MiB disk mounted for the suite (tests/e2e/small_disk.sh); without
// root or tmpfs there is none and the case is skipped.
TEST_P(FaultByRunKind, FullDestinationKeepsTheOldBackup)
{
    std::string disk = host_path(QS_SMALL_DISK);
    if (!file_exists(disk + "\\mounted"))
        GTEST_SKIP() << "no small disk at " << disk;
    remove_tree(disk + "\\" + GetParam().name);
    Bed bed(disk + "\\" + GetParam().name);
    const TempDir& dir = bed.dir;
    const std::string& backup = bed.backup;
    std::string old_copy = std::string(256 * 1024, 'o');
    bed.file("大.dat", std::string(900 * 1024, 'n'), old_copy);
    bed.program_files(list_line("大.dat", bed.source, backup), {{"data_size", "1048576"}, {"rw_error_mode", "2"}});

    Quillsave program(dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    std::vector<std::string> seen = run_and_watch(main, GetParam().command, 0);
    EXPECT_TRUE(contains(seen, "書e")) << "the write fails";
    EXPECT_EQ(read_file(backup + "\\大.dat"), old_copy);
    EXPECT_EQ(list_folder(backup), std::vector<std::string>{"大.dat"}) << "no temporary file left";
    EXPECT_EQ(end_by_menu(program, main), 0);
    expect_program_files_whole(dir.path());
    EXPECT_EQ(saved_row(dir.path(), 0)[3], "書e");
    remove_tree(backup);
}

// A source held open by another program without sharing cannot be read:
// "読e", the run goes on, and its old backup stays. A read-only old backup
// is replaced by the new copy.
TEST_P(FaultByRunKind, HeldSourceAndReadOnlyBackup)
{
    Bed bed;
    const TempDir& dir = bed.dir;
    const std::string &source = bed.source, &backup = bed.backup;
    bed.file("held.txt", "new held", "old held");
    bed.file("ro.txt", "new read-only", "old read-only");
    SetFileAttributesA((backup + "\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    bed.program_files(list_line("held.txt", source, backup) + list_line("ro.txt", source, backup));

    HANDLE held = CreateFileA((source + "\\held.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Quillsave program(dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    run_and_watch(main, GetParam().command, 0);
    CloseHandle(held);

    EXPECT_EQ(list_cell(main, 0, 3), "読e");
    EXPECT_EQ(list_cell(main, 1, 3), "完");
    EXPECT_EQ(read_file(backup + "\\held.txt"), "old held");
    EXPECT_EQ(read_file(backup + "\\ro.txt"), "new read-only");
    // The read-only backup it replaced is an old version, read-only still.
    EXPECT_EQ(list_folder(backup), (std::vector<std::string>{"held.txt", "ro.txt", "以前のバージョン"}));
    std::vector<std::string> versions = list_folder(backup + "\\以前のバージョン");
    ASSERT_EQ(versions.size(), 1u);
    EXPECT_EQ(read_file(backup + "\\以前のバージョン\\" + versions[0]), "old read-only");
    EXPECT_EQ(end_by_menu(program, main), 0);
    expect_program_files_whole(dir.path());
    EXPECT_EQ(saved_row(dir.path(), 0)[3], "読e");
}

// Names code page 932 cannot hold (café.txt beside a different cafe.txt,
// 한국\inside.txt, 😀.txt): every file's bytes reach the backup under the
// name the program reads it by, the program files stay Shift-JIS and load
// again, and the next run finds every backup up to date. Each backup is
// then overwritten with other bytes of the same size and the source's time:
// a run that copied again would bring the source's bytes back.
TEST_P(FaultByRunKind, NamesTheCodePageCannotHold)
{
    Bed bed;
    UnheldNamesTree tree(bed.source);
    bed.program_files(list_line("*.*", bed.source, bed.backup));
    std::vector<std::pair<std::string, std::string>> copies;  // source path, backup path
    for (const UnheldNamesTree::File& f : tree.files) {
        std::string read_by = UnheldNamesTree::reached_path(bed.source, f.relative);
        ASSERT_FALSE(read_by.empty());
        copies.emplace_back(read_by, bed.backup + read_by.substr(bed.source.size()));
    }

    for (int run = 0; run < 2; ++run) {
        Quillsave program(bed.dir.path(), "");
        HWND main = start_with_yes(program);
        ASSERT_NE(main, nullptr) << "run " << run;
        std::vector<std::string> seen = run_and_watch(main, GetParam().command, 0);
        EXPECT_FALSE(contains(seen, "読e")) << "run " << run;
        EXPECT_EQ(list_cell(main, 0, 3), "完");
        EXPECT_EQ(list_cell(main, 0, 4), "完");
        EXPECT_EQ(end_by_menu(program, main), 0);
        expect_program_files_whole(bed.dir.path());
        for (const char* name : {"quillsave.ini", "set.ini", "folder.ini", "file.ini"}) {
            std::string bytes = read_file(bed.dir / name);
            EXPECT_NE(MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                          nullptr, 0),
                      0)
                << name;
            EXPECT_EQ(bytes.find('?'), std::string::npos) << name;
        }
        for (std::size_t i = 0; i < copies.size(); ++i) {
            const std::string& copy = copies[i].second;
            std::string expected = run == 0 ? tree.files[i].bytes : std::string(tree.files[i].bytes.size(), '#');
            EXPECT_EQ(read_file(copy), expected) << "run " << run << ": " << copy;
            write_file(copy, std::string(tree.files[i].bytes.size(), '#'));
            set_file_times(copy, last_write_time(copies[i].first));
        }
        for (const std::string& name : list_folder(bed.backup))
            EXPECT_EQ(name.find('?'), std::string::npos) << name;
    }
}

// Sources held by other programs the way they really hold files: a reader
// that lets others read (an open document, a player), one that lets others
// read and write, a writer, a writer that shares both, and one that shares
// nothing. The files being read are backed up; a file that is being written,
// or held without sharing, gives "読e" and keeps its old backup.
TEST_P(FaultByRunKind, SourcesHeldByOtherPrograms)
{
    struct Holder {
        const char* name;
        DWORD access, share;
        const char* status;
    };
    const Holder holders[] = {
        {"reader.txt", GENERIC_READ, FILE_SHARE_READ, "完"},
        {"shared reader.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, "完"},
        {"writer.txt", GENERIC_WRITE, FILE_SHARE_READ, "読e"},
        {"shared writer.txt", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, "読e"},
        {"unshared.txt", GENERIC_READ, 0, "読e"},
    };
    Bed bed;
    std::string list;
    for (const Holder& h : holders) {
        bed.file(h.name, std::string("new ") + h.name, std::string("old ") + h.name);
        list += list_line(h.name, bed.source, bed.backup);
    }
    bed.program_files(list);
    std::vector<ScopedHandle> held;
    for (const Holder& h : holders) {
        std::string path = bed.source + "\\" + h.name;
        held.emplace_back(CreateFileA(path.c_str(), h.access, h.share, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held.back().valid()) << h.name;
    }

    Quillsave program(bed.dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    run_and_watch(main, GetParam().command, 0);
    for (int row = 0; row < static_cast<int>(std::size(holders)); ++row) {
        const Holder& h = holders[row];
        EXPECT_EQ(list_cell(main, row, 3), h.status) << h.name;
        std::string backup = std::string(std::string(h.status) == "完" ? "new " : "old ") + h.name;
        EXPECT_EQ(read_file(bed.backup + "\\" + h.name), backup) << h.name;
    }
    held.clear();
    EXPECT_EQ(end_by_menu(program, main), 0);
}

INSTANTIATE_TEST_SUITE_P(Fault, FaultByRunKind, ::testing::ValuesIn(kRunKinds), run_kind_name);

// set.ini or quillsave.ini held by another program when Quillsave starts (a
// virus scanner, a sync client, an editor), and let go while it runs: the
// start says the file cannot be opened, as it always has, and the end leaves
// the file as it was instead of putting the defaults or an empty list (which
// deletes it) over it.
class HeldAtStart : public ::testing::TestWithParam<const char*> {};

TEST_P(HeldAtStart, TheFileIsLeftAsItWas)
{
    const std::string held_name = GetParam();
    Bed bed;
    bed.file("a.txt", "a");
    bed.program_files(list_line("a.txt", bed.source, bed.backup), {{"data_size", "65536"}});
    const std::string old_list = read_file(bed.dir / "quillsave.ini");
    const std::string old_settings = read_file(bed.dir / "set.ini");
    ScopedHandle held(CreateFileA((bed.dir / held_name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.valid());

    Quillsave program(bed.dir.path(), "");
    HWND box = nullptr;
    ASSERT_TRUE(wait_until([&] { return (box = program.dialog("CreateFile")) != nullptr; }, kWindowWait));
    EXPECT_EQ(message_box_text(box), held_name + "のﾌｧｲﾙが開けません");
    click_button(box, IDOK);
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    held.reset();
    EXPECT_EQ(end_by_menu(program, main), 0);
    EXPECT_EQ(read_file(bed.dir / "quillsave.ini"), old_list);
    EXPECT_EQ(read_file(bed.dir / "set.ini"), old_settings);
}

INSTANTIATE_TEST_SUITE_P(Fault, HeldAtStart, ::testing::Values("quillsave.ini", "set.ini"), file_param_name);

// While the first copy of a tree hangs, the test removes a source file the
// walk has listed, a source folder the walk has found, and a backup folder.
// The removed file shows "読e" and keeps its old backup, the removed source
// folder counts as done and keeps its backups, and the removed backup
// folder is made again with a whole copy in it.
TEST(Fault, SourcesAndBackupFoldersRemovedDuringARun)
{
    Bed bed;
    const std::string &source = bed.source, &backup = bed.backup;
    for (const char* name : {"一.txt", "二.txt", "b\\三.txt", "c\\四.txt"})
        bed.file(name, std::string("new ") + name, std::string("old ") + name);
    bed.program_files(list_line("*.*", source, backup));
    ProgramVariable stall("QS_TEST_STALL_COPY_MS", "3000");

    Quillsave program(bed.dir.path(), "", seams_program());
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    post_command(main, kStandby);
    // The source folder's own files come first; the one being copied is
    // held without sharing, so only the other one can be removed.
    ASSERT_TRUE(wait_until([&] { return file_exists(backup + "\\" + kCopyTempName); }, kWindowWait));
    bool first_removed = DeleteFileA((source + "\\一.txt").c_str()) != 0;
    bool second_removed = DeleteFileA((source + "\\二.txt").c_str()) != 0;
    ASSERT_NE(first_removed, second_removed) << "exactly the file not being copied can be removed";
    remove_tree(source + "\\b");
    remove_tree(backup + "\\c");
    EXPECT_TRUE(contains(watch_until_stopped(main, 0), "読e")) << "the removed file";

    std::string removed = first_removed ? "一.txt" : "二.txt";
    std::string copied = first_removed ? "二.txt" : "一.txt";
    EXPECT_EQ(read_file(backup + "\\" + removed), "old " + removed);
    EXPECT_EQ(read_file(backup + "\\" + copied), "new " + copied);
    EXPECT_EQ(read_file(backup + "\\b\\三.txt"), "old b\\三.txt");
    EXPECT_EQ(read_file(backup + "\\c\\四.txt"), "new c\\四.txt");
    // The replaced backups are old versions now.
    EXPECT_EQ(list_folder(backup), (std::vector<std::string>{"b", "c", "以前のバージョン", "一.txt", "二.txt"}));
    // The removed file and the removed folder were not backed up: the row
    // says how many, and the report which.
    EXPECT_EQ(list_cell(main, 0, 3), "×2");
    EXPECT_EQ(list_cell(main, 0, 4), "完");
    std::string report = read_file(bed.dir / "quillsave.log");
    EXPECT_NE(report.find(source + "\\" + removed + "\tファイルがありません"), std::string::npos) << report;
    EXPECT_NE(report.find(source + "\\b\tフォルダまたはドライブがありません"), std::string::npos) << report;
    EXPECT_EQ(end_by_menu(program, main), 0);
    expect_program_files_whole(bed.dir.path());
}

// The program ended by a crash right after the temporary file of one of its
// saves is written: that file is still the old one, whole; the files saved
// before it are new; and the next start loads them all and saves them
// whole.
class FaultInSave : public ::testing::TestWithParam<const char*> {};

TEST_P(FaultInSave, OldFileStaysWholeAndTheNextStartLoads)
{
    const std::string crashed = GetParam();
    Bed bed;
    const TempDir& dir = bed.dir;
    const std::string &source = bed.source, &backup = bed.backup;
    bed.file("一.txt", "1");
    bed.file("d\\二.txt", "2");
    const std::vector<std::pair<std::string, std::string>> old = {
        {"quillsave.ini", list_line("*.*", source, backup)},
        {"set.ini", settings_file(run_settings())},
        {"folder.ini", "C:\\old\r\n\r\n"},
        {"file.ini", "old.txt\r\n0\r\n0\r\n"}};
    for (const auto& file : old)
        write_file(dir / file.first, file.second);

    {
        ProgramVariable die("QS_TEST_DIE_AFTER_TEMP", crashed);
        Quillsave program(dir.path(), "", seams_program());
        HWND main = start_with_yes(program);
        ASSERT_NE(main, nullptr);
        run_and_watch(main, kStandby, 0);
        ASSERT_EQ(read_file(backup + "\\d\\二.txt"), "2");
        EXPECT_EQ(end_by_menu(program, main), 3) << "the crash in the save";
    }
    bool before = true;
    for (const auto& file : old) {
        if (file.first == crashed)
            before = false;
        std::string now = read_file(dir / file.first);
        if (before) {
            EXPECT_NE(now, file.second) << file.first << " was saved before the crash";
        } else {
            EXPECT_EQ(now, file.second) << file.first << " is the old file";
        }
    }
    expect_program_files_whole(dir.path());
    std::vector<std::string> after_crash;
    for (const auto& file : old)
        after_crash.push_back(read_file(dir / file.first));

    // Loaded and saved again unchanged: the program took every file as it was.
    Quillsave again(dir.path(), "");
    HWND main = start_with_yes(again);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(list_row_count(main), 1);
    EXPECT_EQ(end_by_menu(again, main), 0);
    for (std::size_t i = 0; i < old.size(); ++i)
        EXPECT_EQ(read_file(dir / old[i].first), after_crash[i]) << old[i].first;
}

INSTANTIATE_TEST_SUITE_P(Fault, FaultInSave, ::testing::Values("quillsave.ini", "set.ini", "folder.ini", "file.ini"),
                         file_param_name);

// A copy that hangs longer than the stop waits: the end of the program
// gives up after 30 seconds, says so, writes its four files and ends. The
// old backup stays, and the next run copies the file whole.
TEST(Fault, WorkerStuckPastTheWaitThenStartedAgain)
{
    Bed bed;
    const TempDir& dir = bed.dir;
    const std::string& backup = bed.backup;
    bed.file("a.txt", "new", "old");
    bed.program_files(list_line("a.txt", bed.source, backup), {{"thread_dialog_mode", "0"}});

    {
        ProgramVariable stall("QS_TEST_STALL_COPY_MS", "90000");
        Quillsave program(dir.path(), "", seams_program());
        HWND main = start_with_yes(program);
        ASSERT_NE(main, nullptr);
        post_command(main, kStandby);
        ASSERT_TRUE(wait_until([&] { return file_exists(backup + "\\" + kCopyTempName); }, kWindowWait));
        post_command(main, 142);  // 終了(&X)
        HWND box = nullptr;
        auto gave_up = [](HWND b) { return message_box_text(b) == "Threadを強制終了しました。"; };
        ASSERT_TRUE(wait_until([&] { return (box = program.dialog("Quillsave", gave_up)) != nullptr; }, 60000));
        EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
        click_button(box, IDOK);
        EXPECT_EQ(program.wait_exit(kExitWait), 0);
    }
    EXPECT_EQ(read_file(backup + "\\a.txt"), "old");
    expect_program_files_whole(dir.path());

    Quillsave again(dir.path(), "");
    HWND main = start_with_yes(again);
    ASSERT_NE(main, nullptr);
    run_and_watch(main, kStandby, 0);
    EXPECT_EQ(list_cell(main, 0, 3), "完");
    EXPECT_EQ(read_file(backup + "\\a.txt"), "new");
    // The replaced backup is an old version now.
    EXPECT_EQ(list_folder(backup), (std::vector<std::string>{"a.txt", "以前のバージョン"}))
        << "the hung copy's temporary file is gone";
    EXPECT_EQ(end_by_menu(again, main), 0);
    expect_program_files_whole(dir.path());
}


// A backup drive (a tmpfs of its own) taken away after a run while the
// program goes on, as a USB drive is ejected: nothing of it is held, so it
// unmounts. The run's destination checks have entered its folders.
TEST(Fault, BackupDriveUnmountsAfterARun)
{
    HostMount disk(QS_BACKUP_DISK);
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs at " << QS_BACKUP_DISK << ": mounting needs root";
    Bed bed(host_path(QS_BACKUP_DISK) + "\\先");
    bed.file("a.txt", "a");
    bed.file("d\\e\\b.txt", "b");
    bed.program_files(list_line("*.*", bed.source, bed.backup) + list_line("a.txt", bed.source, bed.backup + "\\単"));

    Quillsave program(bed.dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    run_and_watch(main, kStandby, 1);
    ASSERT_EQ(read_file(bed.backup + "\\d\\e\\b.txt"), "b");
    ASSERT_EQ(read_file(bed.backup + "\\単\\a.txt"), "a");
    EXPECT_EQ(run_on_host(std::string("umount '") + QS_BACKUP_DISK + "'"), 0) << "the backup drive is busy";
    EXPECT_EQ(end_by_menu(program, main), 0);
    expect_program_files_whole(bed.dir.path());
}

// A continuous run with shutdown_mode 1 that reaches the end of the list:
// when the power-off is asked for, the four files on disk already hold the
// finished run, and the end of the session that follows writes them again
// the same.
TEST(Fault, PowerOffAfterAContinuousRunFindsTheFilesWritten)
{
    Bed bed;
    const std::string &source = bed.source, &backup = bed.backup;
    std::string at_power_off = bed.dir / "power-off";
    make_folder(at_power_off);
    bed.file("一.txt", "1");
    bed.file("d\\二.txt", "2");
    bed.program_files(list_line("*.*", source, backup) + list_line("一.txt", source, backup + "\\単"),
                      {{"shutdown_mode", "1"}});
    ProgramVariable copy("QS_TEST_POWER_OFF_COPY", at_power_off);

    Quillsave program(bed.dir.path(), "", seams_program());
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    post_command(main, kContinuous);
    ASSERT_TRUE(wait_until([&] { return file_exists(at_power_off + "\\set.ini"); }, 60000));
    Sleep(1000);  // the two tables follow set.ini
    expect_program_files_whole(at_power_off);
    for (int row = 0; row < 2; ++row) {
        std::vector<std::string> cells = saved_row(at_power_off, row);
        EXPECT_EQ(cells[3], "完") << row;
        EXPECT_EQ(cells[4], "完") << row;
    }
    EXPECT_EQ(settings_value(read_file(at_power_off + "\\set.ini"), "fmove_point"), "2");
    EXPECT_EQ(read_file(backup + "\\d\\二.txt"), "2");
    EXPECT_EQ(read_file(backup + "\\単\\一.txt"), "1");
    ASSERT_TRUE(end_windows_session());
    EXPECT_EQ(program.ended_as_windows_does(5000), 0);
    for (const char* name : {"quillsave.ini", "set.ini", "folder.ini", "file.ini"})
        EXPECT_EQ(read_file(bed.dir / name), read_file(at_power_off + "\\" + name)) << name;
}

}  // namespace
