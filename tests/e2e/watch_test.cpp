// A standby run watches its sources, through the real program over a tree
// of 10,000 unchanged files whose pass would take minutes to come round: a
// saved file is backed up within seconds, one saved during another's copy
// too, a file written in pieces once after its last write, a file renamed
// into the tree too, and the user deletes and makes again a watched folder
// as if nothing watched it. A burst past what the watch holds is told, and
// the pass backs it all up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/bed.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/program_files.h"
#include "tests/wine/support.h"

namespace {

// folders x files of a few bytes made on the host (fast), and their backups
// with the same times, so that the pass finds every file up to date.
bool make_unchanged_tree(const Bed& bed, int folders, int files)
{
    std::string source = unix_path_of(bed.source), backup = unix_path_of(bed.backup);
    return !source.empty() && !backup.empty() &&
           run_on_host("cd '" + source + "' && for d in $(seq 0 " + std::to_string(folders - 1) +
                       "); do mkdir -p d$d; for f in $(seq 0 " + std::to_string(files - 1) +
                       "); do echo x$d-$f > d$d/f$f.txt; done; done && cp -a '" + source + "/.' '" + backup +
                       "/'") == 0;
}

bool backed_up_as(const std::string& path, const std::string& bytes, DWORD within_ms)
{
    return wait_until([&] { return file_exists(path) && read_file(path) == bytes; }, within_ms);
}

int versions_of(const std::string& versions_folder, const std::string& stem)
{
    int n = 0;
    for (const std::string& name : list_folder(versions_folder))
        n += name.compare(0, stem.size() + 1, stem + " ") == 0;
    return n;
}

HWND start_standby(Quillsave& program)
{
    HWND main = start_with_yes(program);
    if (main == nullptr)
        return nullptr;
    post_command(main, kStandby);
    return wait_until([&] { return status_text(main, 3) != "停止中"; }, kWindowWait) ? main : nullptr;
}

}  // namespace

TEST(Watch, SavedFilesAreBackedUpWithinSecondsAheadOfThePass)
{
    Bed bed;
    ASSERT_TRUE(make_unchanged_tree(bed, 100, 100));
    const std::string second = bed.dir / "二", second_backup = bed.dir / "二先";
    make_folder(second);
    write_file(second + "\\one.txt", "one");
    bed.program_files(list_line("*.*", bed.source, bed.backup) + list_line("*.*", second, second_backup),
                      {{"data_time", "3"}});
    Quillsave program(bed.dir.path(), "");
    HWND main = start_standby(program);
    ASSERT_NE(main, nullptr);
    Sleep(3000);  // the pass is under way, far from the middle of the tree

    write_file(bed.source + "\\d50\\f50.txt", "saved once");
    EXPECT_TRUE(backed_up_as(bed.backup + "\\d50\\f50.txt", "saved once", 10000));

    // 640 KiB take five chunks of a standby copy, three seconds apart.
    const std::string large(640 * 1024, 'L');
    write_file(bed.source + "\\d60\\large.bin", large);
    Sleep(3000);
    write_file(bed.source + "\\d61\\f1.txt", "saved during a copy");
    EXPECT_TRUE(backed_up_as(bed.backup + "\\d61\\f1.txt", "saved during a copy", 60000));
    EXPECT_TRUE(backed_up_as(bed.backup + "\\d60\\large.bin", large, 1000));

    // Written in pieces for five seconds: copied once, after the last.
    {
        HANDLE h = CreateFileA((bed.source + "\\d70\\f7.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        for (int piece = 0; piece < 5; ++piece) {
            DWORD written = 0;
            WriteFile(h, "piece;", 6, &written, nullptr);
            FlushFileBuffers(h);
            Sleep(1000);
        }
        CloseHandle(h);
    }
    EXPECT_TRUE(backed_up_as(bed.backup + "\\d70\\f7.txt", "piece;piece;piece;piece;piece;", 10000));
    Sleep(3000);
    EXPECT_EQ(versions_of(bed.backup + "\\以前のバージョン\\d70", "f7"), 1) << "one copy, one old version";

    write_file(bed.dir / "outside.txt", "moved in");
    ASSERT_TRUE(MoveFileA((bed.dir / "outside.txt").c_str(), (bed.source + "\\d80\\moved.txt").c_str()));
    EXPECT_TRUE(backed_up_as(bed.backup + "\\d80\\moved.txt", "moved in", 10000));

    // The user deletes a watched folder of the tree and makes it again, and
    // deletes the second entry's whole source as Explorer does, into the
    // Recycle Bin, and makes it again.
    remove_tree(bed.source + "\\d90");
    EXPECT_FALSE(folder_exists(bed.source + "\\d90"));
    ASSERT_TRUE(CreateDirectoryA((bed.source + "\\d90").c_str(), nullptr)) << GetLastError();
    write_file(bed.source + "\\d90\\again.txt", "again");
    EXPECT_TRUE(backed_up_as(bed.backup + "\\d90\\again.txt", "again", 10000));
    make_folder(bed.dir / "$RECYCLE.BIN");
    EXPECT_TRUE(MoveFileA(second.c_str(), (bed.dir / "$RECYCLE.BIN\\二").c_str())) << GetLastError();
    EXPECT_FALSE(folder_exists(second));
    EXPECT_TRUE(CreateDirectoryA(second.c_str(), nullptr)) << GetLastError();

    EXPECT_EQ(status_text(main, 3) == "停止中", false) << "the run goes on";
    EXPECT_EQ(end_by_menu(program, main), 0);
    std::string report = read_file(bed.dir / "quillsave.log");
    EXPECT_TRUE(lines_with(report, "見張り").empty()) << report;
}

// Thousands of files made at once are more than the watch holds: the report
// says so once, and the pass then backs every one of them up (the pauses of
// the program with seams are cut to a millisecond, so that the pass does
// not take the standby run's hours).
TEST(Watch, ABurstPastTheWatchIsToldAndThePassBacksItAllUp)
{
    Bed bed;
    ASSERT_TRUE(make_unchanged_tree(bed, 2, 5));
    // No schedule: the standby run never ends, so the burst finds it under
    // way whether or not the window's tick saw the end of the first pass.
    bed.program_files(list_line("*.*", bed.source, bed.backup), {{"set_t_mode", "0"}});
    ProgramVariable pause("QS_TEST_PAUSE_MS", "1");
    Quillsave program(bed.dir.path(), "", seams_program());
    HWND main = start_standby(program);
    ASSERT_NE(main, nullptr);
    Sleep(2000);
    std::string burst = unix_path_of(bed.source) + "/burst";
    ASSERT_EQ(run_on_host("mkdir '" + burst + "' && cd '" + burst + "' && for f in $(seq 0 5999); do echo b$f > b$f.txt; done"), 0);
    const std::string report = bed.dir / "quillsave.log";
    EXPECT_TRUE(wait_until([&] { return !lines_with(read_file(report), "見張りが追いつきません").empty(); }, 60000))
        << read_file(report);
    EXPECT_TRUE(wait_until([&] { return list_folder(bed.backup + "\\burst").size() >= 6000; }, 300000))
        << list_folder(bed.backup + "\\burst").size();
    EXPECT_EQ(read_file(bed.backup + "\\burst\\b5999.txt"), "b5999\n");
    EXPECT_EQ(end_by_menu(program, main), 0);
    EXPECT_EQ(lines_with(read_file(report), "見張りが追いつきません").size(), 1u);
}
