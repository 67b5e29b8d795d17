// Old versions through the real program: the backup a copy replaces moves
// into 以前のバージョン with the date of its replacement in its name, in both
// run kinds, for a single file and for a file deep in a tree; version_days 0
// keeps none; versions past their days go (their age is the date in their
// names), while 0 days removes none of those kept; a full backup disk gives up its oldest versions before a copy
// fails; a stopped copy keeps the old backup in place; and a backup folder
// inside its own source is never backed up into itself.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "engine/versions.h"
#include "tests/e2e/bed.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/program_files.h"
#include "tests/wine/support.h"

namespace {

const std::string kVersions = "以前のバージョン";

ReportTime today()
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    return ReportTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

// The one version of a file in a folder of versions made in the last ten
// minutes, by its name before the date ("f" for "f 2026-12-09 153012.txt");
// "" when there is none or more than one.
std::string only_version(const std::string& folder, const std::string& stem)
{
    std::string found;
    for (const std::string& name : list_folder(folder)) {
        ReportTime when{};
        if (name.compare(0, stem.size() + 1, stem + " ") != 0 || !version_time(name.c_str(), when))
            continue;
        long long age = seconds_of(today()) - seconds_of(when);
        if (age < 0 || age > 600)
            continue;  // not replaced by this test's runs
        if (!found.empty())
            return "";
        found = folder + "\\" + name;
    }
    return found;
}

class VersionsByRunKind : public ::testing::TestWithParam<RunKind> {};

// Old backups, older than their sources, of a file at the root and of a
// file deep in the tree; a single-file entry with its own backup folder.
TEST_P(VersionsByRunKind, ReplacedBackupIsKeptWithItsDate)
{
    Bed bed;
    bed.file("a.txt", "new a", "old a");
    bed.file("d\\e\\f.txt", "new f", "old f");
    std::string single = bed.dir / "単";
    make_folder(single);
    write_file(single + "\\a.txt", "old single");
    set_file_times(single + "\\a.txt", kLongAgo);
    // A set.ini of before: no version_days, so the default 30 days.
    bed.program_files(list_line("*.*", bed.source, bed.backup) + list_line("a.txt", bed.source, single));
    std::string before = read_file(bed.dir / "set.ini");
    before.erase(before.find("version_days=30\r\n"));
    write_file(bed.dir / "set.ini", before);

    Quillsave program(bed.dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    run_and_watch(main, GetParam().command, 1);
    EXPECT_EQ(list_cell(main, 0, 3), "完");
    EXPECT_EQ(list_cell(main, 1, 3), "完");
    EXPECT_EQ(end_by_menu(program, main), 0);

    EXPECT_EQ(read_file(bed.backup + "\\a.txt"), "new a");
    EXPECT_EQ(read_file(bed.backup + "\\d\\e\\f.txt"), "new f");
    EXPECT_EQ(read_file(single + "\\a.txt"), "new a");
    std::string root_version = only_version(bed.backup + "\\" + kVersions, "a");
    std::string deep_version = only_version(bed.backup + "\\" + kVersions + "\\d\\e", "f");
    std::string single_version = only_version(single + "\\" + kVersions, "a");
    ASSERT_NE(root_version, "");
    ASSERT_NE(deep_version, "");
    ASSERT_NE(single_version, "");
    EXPECT_EQ(read_file(root_version), "old a");
    EXPECT_EQ(read_file(deep_version), "old f");
    EXPECT_EQ(read_file(single_version), "old single");
    std::string settings = read_file(bed.dir / "set.ini");
    EXPECT_EQ(settings_value(settings, "version_days"), "30");
    std::string report = read_file(bed.dir / "quillsave.log");
    EXPECT_NE(report.find("以前のバージョン 残した 3件 消した 0件"), std::string::npos) << report;

    // The next pass over the same files finds them up to date: nothing more
    // is kept.
    Quillsave again(bed.dir.path(), "");
    main = start_with_yes(again);
    ASSERT_NE(main, nullptr);
    run_and_watch(main, GetParam().command, 1);
    EXPECT_EQ(end_by_menu(again, main), 0);
    EXPECT_EQ(list_folder(bed.backup + "\\" + kVersions).size(), 2u) << "a version and the folder d";
}

INSTANTIATE_TEST_SUITE_P(Versions, VersionsByRunKind, ::testing::ValuesIn(kRunKinds),
                         [](const ::testing::TestParamInfo<RunKind>& info) { return info.param.name; });

// version_days 0 keeps no new version and deletes none kept before;
// versions past the days go when the pass reaches their folder, the others
// and the user's own files stay.
TEST(Versions, NoneKeptAtZeroDaysAndOldOnesGo)
{
    Bed bed;
    bed.file("a.txt", "new a", "old a");
    bed.file("d\\f.txt", "new f", "old f");
    std::string versions = bed.backup + "\\" + kVersions + "\\d";
    make_folder(versions);
    const std::string old_one = dated("f", 40, ".txt"), young_one = dated("f", 10, ".txt");
    write_file(versions + "\\" + old_one, "forty days");
    write_file(versions + "\\" + young_one, "ten days");
    write_file(versions + "\\note.txt", "the user's own");
    bed.program_files(list_line("*.*", bed.source, bed.backup), {{"version_days", "0"}});

    Quillsave program(bed.dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    run_and_watch(main, kContinuous, 0);
    EXPECT_EQ(end_by_menu(program, main), 0);
    EXPECT_EQ(read_file(bed.backup + "\\a.txt"), "new a");
    EXPECT_EQ(list_folder(bed.backup + "\\" + kVersions), std::vector<std::string>{"d"}) << "a.txt kept no version";
    EXPECT_EQ(read_file(versions + "\\" + old_one), "forty days") << "0 days deletes none kept before";
    EXPECT_EQ(read_file(versions + "\\" + young_one), "ten days");
    EXPECT_EQ(list_folder(versions).size(), 3u) << "f.txt kept no version either";

    bed.file("d\\f.txt", "newer f");
    write_file(bed.dir / "set.ini", settings_file(run_settings({{"version_days", "30"}})));
    Quillsave again(bed.dir.path(), "");
    main = start_with_yes(again);
    ASSERT_NE(main, nullptr);
    run_and_watch(main, kStandby, 0);
    EXPECT_EQ(end_by_menu(again, main), 0);
    EXPECT_FALSE(file_exists(versions + "\\" + old_one));
    EXPECT_EQ(read_file(versions + "\\" + young_one), "ten days");
    EXPECT_EQ(read_file(versions + "\\note.txt"), "the user's own");
    std::string kept = only_version(versions, "f");
    ASSERT_NE(kept, "");
    EXPECT_EQ(read_file(kept), "new f");
    std::string report = read_file(bed.dir / "quillsave.log");
    EXPECT_NE(report.find("以前のバージョン 残した 1件 消した 1件"), std::string::npos) << report;
}

// A small backup disk nearly filled by old versions: the copy that does not
// fit removes the oldest and is made; the younger ones stay.
TEST(Versions, AFullDiskGivesUpTheOldestVersionsBeforeACopyFails)
{
    HostMount disk(QS_BACKUP_DISK);
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs at " << QS_BACKUP_DISK << ": mounting needs root";
    Bed bed(host_path(QS_BACKUP_DISK) + "\\先");
    std::string versions = bed.backup + "\\" + kVersions;
    make_folder(versions);
    const std::string megabyte(1024 * 1024, 'v');
    const std::string oldest = dated("big", 20, ".bin"), middle = dated("big", 10, ".bin"),
                      youngest = dated("big", 5, ".bin");
    for (const std::string& name : {oldest, middle, youngest})
        write_file(versions + "\\" + name, megabyte);
    bed.file("big.bin", std::string(1536 * 1024, 'n'), "old");
    bed.program_files(list_line("*.*", bed.source, bed.backup));

    Quillsave program(bed.dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    run_and_watch(main, kContinuous, 0);
    EXPECT_EQ(list_cell(main, 0, 3), "完") << read_file(bed.dir / "quillsave.log");
    EXPECT_EQ(end_by_menu(program, main), 0);
    EXPECT_EQ(read_file(bed.backup + "\\big.bin").size(), 1536u * 1024);
    EXPECT_FALSE(file_exists(versions + "\\" + oldest));
    EXPECT_TRUE(file_exists(versions + "\\" + youngest));
    std::string replaced = only_version(versions, "big");
    ASSERT_NE(replaced, "");
    EXPECT_EQ(read_file(replaced), "old");
}

// A standby copy stopped in the middle keeps the old backup where it was,
// and adds nothing to the old versions.
TEST(Versions, AStoppedCopyKeepsTheOldBackupInPlace)
{
    Bed bed;
    bed.file("large.bin", std::string(1024 * 1024, 'n'), "old");
    bed.program_files(list_line("*.*", bed.source, bed.backup), {{"data_size", "65536"}});
    Quillsave program(bed.dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    post_command(main, kStandby);
    ASSERT_TRUE(wait_until([&] { return file_exists(bed.backup + "\\~qsv$.tmp"); }, kWindowWait));
    post_command(main, 112);  // BackUP停止(&P)
    ASSERT_TRUE(wait_until([&] { return status_text(main, 3) == "停止中"; }, kWindowWait));
    EXPECT_EQ(end_by_menu(program, main), 0);
    EXPECT_EQ(read_file(bed.backup + "\\large.bin"), "old");
    EXPECT_FALSE(file_exists(bed.backup + "\\" + kVersions));
}

// A user's slip: the backup folder inside the source. Pass after pass, the
// backup holds the source's files once, never its own backups and old
// versions a level deeper; the report says why the folder is left out.
TEST(Versions, ABackupFolderInsideItsSourceIsNotBackedUpIntoItself)
{
    Bed bed;
    bed.file("a.txt", "a");
    std::string backup = bed.source + "\\backup";
    bed.program_files(list_line("*.*", bed.source, backup));
    for (int pass = 0; pass < 2; ++pass) {
        bed.file("a.txt", "a" + std::to_string(pass));
        Quillsave program(bed.dir.path(), "");
        HWND main = start_with_yes(program);
        ASSERT_NE(main, nullptr);
        run_and_watch(main, kContinuous, 0);
        EXPECT_EQ(list_cell(main, 0, 3), "完");
        EXPECT_EQ(end_by_menu(program, main), 0);
    }
    EXPECT_EQ(read_file(backup + "\\a.txt"), "a1");
    EXPECT_FALSE(file_exists(backup + "\\backup"));
    EXPECT_EQ(list_folder(backup), (std::vector<std::string>{"a.txt", kVersions}));
    std::string report = read_file(bed.dir / "quillsave.log");
    EXPECT_NE(report.find("\t除外\t1行目 " + bed.source + "\t" + backup + "\t"), std::string::npos) << report;
}

// A whole drive backed up to a folder on it, the drive as the folder
// browser gives it ("S:\"): over three passes each source file is backed
// up once, the backup folder never into itself, and the report says why it
// was left out.
TEST(Versions, ADriveRootBackedUpToAFolderOnItIsNotBackedUpIntoItself)
{
    MappedDrive drive('s');
    if (!drive.mapped())
        GTEST_SKIP() << "no drive letter could be mapped in the prefix's dosdevices";
    const std::string root = drive.root();
    const std::string backup = root + "Backup";
    write_file(root + "a.txt", "a");
    make_folder(root + "d");
    write_file(root + "d\\b.txt", "b");
    make_folder(backup);  // made in the folder browser, so there at the first walk
    Bed bed;
    bed.program_files(list_line("*.*", root, backup));
    for (int pass = 0; pass < 3; ++pass) {
        Quillsave program(bed.dir.path(), "");
        HWND main = start_with_yes(program);
        ASSERT_NE(main, nullptr);
        run_and_watch(main, kContinuous, 0);
        EXPECT_EQ(list_cell(main, 0, 3), "完") << pass;
        EXPECT_EQ(end_by_menu(program, main), 0);
    }
    EXPECT_EQ(list_folder(root), (std::vector<std::string>{"Backup", "a.txt", "d"}));
    EXPECT_EQ(list_folder(backup), (std::vector<std::string>{"a.txt", "d"})) << "no Backup\\Backup, no versions";
    EXPECT_EQ(list_folder(backup + "\\d"), std::vector<std::string>{"b.txt"});
    EXPECT_EQ(read_file(backup + "\\a.txt"), "a");
    std::string report = read_file(bed.dir / "quillsave.log");
    EXPECT_EQ(lines_with(report, "\t除外\t1行目 " + root + "\t" + backup + "\t").size(), 3u) << report;
    const std::vector<std::string> ends = lines_with(report, "\t完了\t");
    ASSERT_EQ(ends.size(), 3u) << report;
    EXPECT_NE(ends[0].find("コピー 2件\t"), std::string::npos) << ends[0];
    EXPECT_NE(ends[2].find("コピー 0件\t"), std::string::npos) << ends[2];
}

}  // namespace
