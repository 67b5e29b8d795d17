// A backup disk that cannot take a file, through the real program: a file
// larger than a small disk can hold keeps the versions there and is passed
// with its size and the free space, the files after it are backed up; a disk
// full for every file is told once per pass; a disk that takes no writing
// (a card's lock, a tmpfs remounted read-only) is waited for like a drive
// taken out, and every file is backed up once it can be written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/versions.h"
#include "tests/e2e/bed.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/program_files.h"
#include "tests/wine/support.h"

namespace {

std::vector<std::string> report_lines_with(const Bed& bed, const std::string& text)
{
    return lines_with(read_file(bed.dir / "quillsave.log"), text);
}

class FullBackupDisk : public ::testing::TestWithParam<RunKind> {};

// A 4 MiB disk holding a version of the large file and a version of another
// entry's file (sharing the backup folder). Even with its own version gone
// the file would not fit, so neither goes; the report gives the file's size
// and the free space, and the small files are backed up.
TEST_P(FullBackupDisk, AFileThatCannotFitKeepsTheVersionsAndTheRunGoesOn)
{
    HostMount disk(QS_BACKUP_DISK);
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs at " << QS_BACKUP_DISK << ": mounting needs root";
    Bed bed(host_path(QS_BACKUP_DISK) + "\\先");
    std::string versions = bed.backup + "\\以前のバージョン";
    make_folder(versions);
    const std::string own = dated("big", 1, ".bin"), others = dated("other", 1, ".bin");
    write_file(versions + "\\" + own, std::string(1024 * 1024, 'o'));
    write_file(versions + "\\" + others, std::string(1024 * 1024, 'x'));
    bed.file("big.bin", std::string(3 * 1024 * 1024 + 512 * 1024, 'n'));
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        bed.file(name, name);
    bed.program_files(list_line("*.*", bed.source, bed.backup), {{"data_size", "1048576"}});

    Quillsave program(bed.dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    run_and_watch(main, GetParam().command, 0);
    EXPECT_EQ(list_cell(main, 0, 3), "×1") << read_file(bed.dir / "quillsave.log");
    EXPECT_EQ(list_cell(main, 0, 4), "完");
    EXPECT_EQ(end_by_menu(program, main), 0);
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        EXPECT_EQ(read_file(bed.backup + "\\" + name), name);
    EXPECT_FALSE(file_exists(bed.backup + "\\big.bin"));
    EXPECT_TRUE(file_exists(versions + "\\" + own));
    EXPECT_TRUE(file_exists(versions + "\\" + others));
    std::vector<std::string> told = report_lines_with(bed, "\\big.bin\t");
    ASSERT_EQ(told.size(), 1u) << read_file(bed.dir / "quillsave.log");
    EXPECT_NE(told[0].find("保存先の空きが足りません（ファイル 3,670,016 バイト、空き "), std::string::npos) << told[0];
    EXPECT_EQ(report_lines_with(bed, "バックアップできず 1件").size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(BackupDisk, FullBackupDisk, ::testing::ValuesIn(kRunKinds),
                         [](const ::testing::TestParamInfo<RunKind>& info) { return info.param.name; });

// A disk a user's own file has filled: every file fails so, and the report
// says it once for the pass while the row counts each.
TEST(BackupDisk, ADiskFullForEveryFileIsToldOncePerPass)
{
    HostMount disk(QS_BACKUP_DISK);
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs at " << QS_BACKUP_DISK << ": mounting needs root";
    Bed bed(host_path(QS_BACKUP_DISK) + "\\先");
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        bed.file(name, std::string(8192, name[0]));
    ASSERT_NE(run_on_host("cat /dev/zero > '" + std::string(QS_BACKUP_DISK) + "/fill'"), 0) << "the disk is full";
    bed.program_files(list_line("*.*", bed.source, bed.backup));

    Quillsave program(bed.dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    run_and_watch(main, kContinuous, 0);
    EXPECT_EQ(list_cell(main, 0, 3), "×3") << read_file(bed.dir / "quillsave.log");
    EXPECT_EQ(end_by_menu(program, main), 0);
    EXPECT_EQ(report_lines_with(bed, "保存先のディスクがいっぱいです（空き ").size(), 1u)
        << read_file(bed.dir / "quillsave.log");
    EXPECT_EQ(report_lines_with(bed, "バックアップできず 3件").size(), 1u);
}

// The backup disk remounted read-only during a run: no file is given up,
// the wait is told once, and once the disk takes writing again the run backs
// up every file and ends as usual.
TEST(BackupDisk, AReadOnlyDiskIsWaitedForAndEveryFileBackedUpOnceWritable)
{
    HostMount disk(QS_BACKUP_DISK);
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs at " << QS_BACKUP_DISK << ": mounting needs root";
    Bed bed(host_path(QS_BACKUP_DISK) + "\\先");
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        bed.file(name, name);
    bed.program_files(list_line("*.*", bed.source, bed.backup));
    const std::string mount = QS_BACKUP_DISK;
    ASSERT_EQ(run_on_host("mount -o remount,ro '" + mount + "'"), 0);

    Quillsave program(bed.dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    post_command(main, kContinuous);
    EXPECT_TRUE(wait_until([&] { return !report_lines_with(bed, "\t待機\t").empty(); }, 30000))
        << read_file(bed.dir / "quillsave.log");
    Sleep(3000);  // three more tries
    EXPECT_EQ(status_text(main, 3) != "停止中", true) << "the run waits";
    EXPECT_EQ(list_cell(main, 0, 3).find("×"), std::string::npos) << list_cell(main, 0, 3);
    ASSERT_EQ(run_on_host("mount -o remount,rw '" + mount + "'"), 0);
    ASSERT_TRUE(wait_until([&] { return status_text(main, 3) == "停止中"; }, 60000));
    EXPECT_EQ(list_cell(main, 0, 3), "完") << read_file(bed.dir / "quillsave.log");
    EXPECT_EQ(end_by_menu(program, main), 0);
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        EXPECT_EQ(read_file(bed.backup + "\\" + name), name);
    std::vector<std::string> waits = report_lines_with(bed, "\t待機\t");
    ASSERT_EQ(waits.size(), 1u) << read_file(bed.dir / "quillsave.log");
    EXPECT_EQ(report_lines_with(bed, "バックアップできず 0件").size(), 1u) << read_file(bed.dir / "quillsave.log");
}

}  // namespace
