// Getting files back on real files: what the window lists of a backup
// folder and its old versions, and what a restore writes, keeps and tells.
#include <gtest/gtest.h>
#include <windows.h>

#include "engine/copy_rules.h"
#include "engine/engine.h"
#include "engine/restore_win.h"
#include "engine/seams.h"
#include "engine/versions.h"
#include "tests/wine/support.h"

namespace {

constexpr unsigned long long kSecond = 10000000ull;
constexpr unsigned long long kT = 133'000'000'000'000'000ull;  // 2022

class RestoreFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        copy_field(engine.workdir.path, dir.path().c_str());
        make_folder(source);
        make_folder(backup + "\\ソ表");
        root = RestoreRoot{backup, source, ""};
    }

    void back_up(const std::string& relative_name, const std::string& bytes, unsigned long long when)
    {
        write_file(backup + "\\" + relative_name, bytes);
        set_file_times(backup + "\\" + relative_name, when);
    }
    void at_source(const std::string& relative_name, const std::string& bytes, unsigned long long when)
    {
        make_folder(source + "\\ソ表");
        write_file(source + "\\" + relative_name, bytes);
        set_file_times(source + "\\" + relative_name, when);
    }
    // An old version of a backup, as a replacing copy keeps it.
    std::string keep_version(const std::string& relative, const std::string& name, const std::string& bytes,
                             const ReportTime& when)
    {
        char path[kFieldSize];
        EXPECT_TRUE(version_path(path, backup.c_str(), relative.c_str(), name.c_str(), when));
        make_folder(std::string(path).substr(0, std::string(path).rfind('\\')));
        write_file(path, bytes);
        return path;
    }

    RestoreTally restore(const std::vector<RestorePick>& picks, const std::string& target, bool replace_newer,
                         RestoreCounts* counts = nullptr)
    {
        RestorePlan plan;
        EXPECT_EQ(plan_restore(root, picks, target, plan), RestoreRefusal::none);
        if (counts)
            *counts = plan.counts;
        RestoreJob job;
        EXPECT_TRUE(job.start(engine, std::move(plan), replace_newer));
        job.wait();
        return job.tally();
    }

    std::string report() { return read_file(dir / "quillsave.log"); }

    TempDir dir;
    std::string source = dir / "元";
    std::string backup = dir / "バックアップ";
    RestoreRoot root;
    Engine engine;
};

TEST_F(RestoreFiles, ListsTheBackupBesideItsSourceWithoutTheProgramsOwnFolders)
{
    back_up("same.txt", "same", kT);
    back_up("gone.txt", "gone", kT);
    back_up("ソ表\\older-here.txt", "backup", kT);
    back_up("~qsv$.tmp", "a stopped copy", kT);
    at_source("same.txt", "same", kT);
    at_source("ソ表\\older-here.txt", "source!", kT - 60 * kSecond);
    keep_version("", "same.txt", "v1", ReportTime{2026, 1, 2, 3, 4, 5});
    keep_version("", "same.txt", "v2", ReportTime{2026, 2, 2, 3, 4, 5});

    std::vector<BackupItem> items;
    DWORD error = 0;
    ASSERT_TRUE(list_backup_folder(root, "", items, error));
    ASSERT_EQ(items.size(), 3u);  // not 以前のバージョン, not the kept copy
    EXPECT_TRUE(items[0].folder);
    EXPECT_EQ(items[0].name, "ソ表");
    EXPECT_EQ(items[1].name, "gone.txt");
    EXPECT_EQ(items[1].standing, Standing::source_missing);
    EXPECT_EQ(items[2].name, "same.txt");
    EXPECT_EQ(items[2].standing, Standing::same);
    EXPECT_EQ(items[2].versions, 2);
    ASSERT_TRUE(list_backup_folder(root, "\\ソ表", items, error));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].standing, Standing::backup_newer);

    std::vector<FileVersion> versions = list_versions(root, "", "same.txt");
    ASSERT_EQ(versions.size(), 3u);
    EXPECT_TRUE(versions[0].is_backup);
    EXPECT_EQ(read_file(versions[1].path), "v2");  // newest first
    EXPECT_EQ(read_file(versions[2].path), "v1");

    RestorePlan plan;
    EXPECT_EQ(plan_restore(RestoreRoot{dir / "抜かれたドライブ", source, ""}, {{"", "", ""}}, source, plan),
              RestoreRefusal::backup_missing);
    EXPECT_EQ(plan_restore(root, {{"", "", ""}}, "Q:\\どこか", plan), RestoreRefusal::target_drive_missing);
}

TEST_F(RestoreFiles, AnOldVersionOverTheCurrentFileKeepsTheCurrentOneFirst)
{
    back_up("report.doc", "backup", kT);
    at_source("report.doc", "today's", kT + 3600 * kSecond);
    std::string old = keep_version("", "report.doc", "last week's", ReportTime{2026, 11, 30, 9, 0, 0});

    RestoreCounts counts;
    RestoreTally tally = restore({{"", "report.doc", old}}, source, false, &counts);
    EXPECT_EQ(counts.replace, 1);  // the question names it
    EXPECT_EQ(tally.restored, 1);
    EXPECT_EQ(tally.kept_versions, 1);
    EXPECT_EQ(read_file(source + "\\report.doc"), "last week's");
    bool kept = false;
    for (const FileVersion& v : list_versions(root, "", "report.doc"))
        kept = kept || (!v.is_backup && read_file(v.path) == "today's");
    EXPECT_TRUE(kept);
    EXPECT_EQ(lines_with(report(), "\t復元\t").size(), 1u);
    EXPECT_FALSE(file_exists(source + "\\" + kRestoreTempName));
}

TEST_F(RestoreFiles, AFolderRestoresWhatIsMissingOrOlderAndAsksOfWhatIsNewer)
{
    back_up("missing.txt", "m", kT);
    back_up("older.txt", "backup", kT);
    back_up("newer.txt", "backup", kT);
    back_up("ソ表\\能.txt", "deep", kT);
    at_source("older.txt", "old", kT - 600 * kSecond);
    at_source("newer.txt", "the user's newest", kT + 600 * kSecond);

    RestoreCounts counts;
    RestoreTally tally = restore({{"", "", ""}}, source, false, &counts);
    EXPECT_EQ(counts.newer, 1);
    EXPECT_EQ(tally.restored, 3);
    EXPECT_EQ(tally.left_newer, 1);
    EXPECT_EQ(read_file(source + "\\missing.txt"), "m");
    EXPECT_EQ(last_write_time(source + "\\missing.txt"), kT);
    EXPECT_EQ(read_file(source + "\\older.txt"), "backup");
    EXPECT_EQ(read_file(source + "\\ソ表\\能.txt"), "deep");
    EXPECT_EQ(read_file(source + "\\newer.txt"), "the user's newest");
    EXPECT_EQ(lines_with(report(), "復元先の方が新しいので").size(), 1u);

    tally = restore({{"", "", ""}}, source, true);
    EXPECT_EQ(tally.restored, 1);
    EXPECT_EQ(tally.same, 3);
    EXPECT_EQ(read_file(source + "\\newer.txt"), "backup");
}

TEST_F(RestoreFiles, AnywhereKeepsTheRelativePathsAndToldTooLongPaths)
{
    back_up("ソ表\\表.txt", "x", kT);
    back_up("CAFE~1.TXT", "cafe", kT);
    std::string target = dir / "新しいPC";
    std::string deep = target + "\\" + std::string(250 - target.size(), 'd');
    RestoreTally tally = restore({{"", "", ""}}, target, false);
    EXPECT_EQ(tally.restored, 2);
    EXPECT_EQ(tally.short_names, 1);
    EXPECT_EQ(read_file(target + "\\ソ表\\表.txt"), "x");
    EXPECT_EQ(lines_with(report(), "短い名前のまま").size(), 1u);

    RestorePlan plan;
    ASSERT_EQ(plan_restore(root, {{"\\ソ表", "", ""}}, deep, plan), RestoreRefusal::none);
    EXPECT_EQ(plan.counts.too_long, 1);
    RestoreJob job;
    ASSERT_TRUE(job.start(engine, std::move(plan), false));
    job.wait();
    EXPECT_EQ(job.tally().left_out, 1);
    EXPECT_EQ(lines_with(report(), "パスが259バイトを超えます").size(), 1u);
}

TEST_F(RestoreFiles, ACancelInTheMiddleOfAFileLeavesTheTargetAsItWas)
{
    back_up("large.bin", std::string(8 * 1024 * 1024, 'n'), kT);
    at_source("large.bin", "the user's", kT - 600 * kSecond);
    RestorePlan plan;
    ASSERT_EQ(plan_restore(root, {{"", "large.bin", ""}}, source, plan), RestoreRefusal::none);
    SeamsReset seams;
    engine_seams().restore_chunk_delay_ms = 200;
    RestoreJob job;
    ASSERT_TRUE(job.start(engine, std::move(plan), false));
    while (job.bytes_done() == 0 && job.running())
        Sleep(10);
    job.cancel();
    job.wait();
    EXPECT_TRUE(job.tally().cancelled);
    EXPECT_EQ(job.tally().restored, 0);
    EXPECT_EQ(read_file(source + "\\large.bin"), "the user's");
    EXPECT_EQ(list_folder(source), std::vector<std::string>({"large.bin", "ソ表"}));
    EXPECT_EQ(lines_with(report(), "復元中止").size(), 1u);
}

// The 1 MiB disk of the suite (tests/e2e/small_disk.sh) as the target.
TEST_F(RestoreFiles, AFullTargetDiskLeavesNoHalfFileAndSaysWhy)
{
    std::string disk = host_path(QS_SMALL_DISK);
    if (!file_exists(disk + "\\mounted"))
        GTEST_SKIP() << "no small disk at " << disk;
    std::string target = disk + "\\restore-" + std::to_string(GetCurrentProcessId());
    back_up("ソ表\\large.bin", std::string(2 * 1024 * 1024, 'n'), kT);
    RestoreTally tally = restore({{"\\ソ表", "large.bin", ""}}, target, false);
    EXPECT_EQ(tally.left_out, 1);
    EXPECT_NE(restore_end_text(tally).find("ディスクがいっぱいです"), std::string::npos);
    EXPECT_EQ(list_folder(target + "\\ソ表"), std::vector<std::string>{});
    EXPECT_EQ(lines_with(report(), "\t復元せず\t").size(), 1u);
    remove_tree(target);
}

}  // namespace
