// What a step keeps of the backups it replaces and what it tells of them:
// a version's name already taken, an old backup that cannot be kept, a note
// a never-ending run would repeat, and the count a resumed pass goes on with.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "engine/backup_step.h"
#include "engine/engine.h"
#include "engine/versions.h"
#include "tests/wine/entry_rows.h"
#include "tests/wine/support.h"

namespace {

class StepVersions : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine.notifier = recorder.notifier();
        engine.settings.data_size = 65536;
        engine.settings.data_time = 0;
        engine.settings.rw_error_mode = 0;
        engine.settings.version_days = 30;
        engine.flags.running = 1;
        engine.flags.run_mode = 1;
        copy_field(engine.workdir.path, dir.path().c_str());
    }

    // Steps until the end of the list.
    void run_pass()
    {
        engine.flags.list_finished = 0;
        for (int step = 0; step < 50 && engine.flags.list_finished.load() == 0; ++step)
            backup_step(engine);
        ASSERT_EQ(engine.flags.list_finished.load(), 1);
    }

    std::vector<std::string> report_lines_with(const std::string& text)
    {
        return lines_with(read_file(dir / "quillsave.log"), text);
    }

    TempDir dir;
    Engine engine;
    MessageRecorder recorder;
};

ReportTime in_seconds(int seconds)
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    FILETIME f;
    SystemTimeToFileTime(&t, &f);
    ULARGE_INTEGER n{{f.dwLowDateTime, f.dwHighDateTime}};
    n.QuadPart += static_cast<unsigned long long>(seconds) * 10000000ull;
    f = FILETIME{n.LowPart, n.HighPart};
    FileTimeToSystemTime(&f, &t);
    return ReportTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

}  // namespace

// Versions under the names of this second and the next ones are there
// already (a replacement in the same second, another entry writing the same
// backup): the new one takes " (2)", and none of them is replaced.
TEST_F(StepVersions, ATakenNameGetsAFreeOneAndNoVersionIsReplaced)
{
    std::string source = dir / "src", backup = dir / "dst", versions = backup + "\\以前のバージョン";
    make_folder(source);
    make_folder(versions);
    write_file(source + "\\a.txt", "new");
    write_file(backup + "\\a.txt", "old");
    set_file_times(backup + "\\a.txt", 116444736000000000ull);
    std::vector<std::string> taken;
    for (int second = 0; second < 4; ++second) {
        std::string name;
        ASSERT_TRUE(version_name(name, "a.txt", in_seconds(second), 259));
        write_file(versions + "\\" + name, "earlier");
        taken.push_back(name);
    }
    add_entry(engine.list, "a.txt", source, backup);
    run_pass();
    EXPECT_EQ(read_file(backup + "\\a.txt"), "new");
    int numbered = 0;
    for (const std::string& name : list_folder(versions)) {
        std::string original;
        ASSERT_TRUE(version_original(original, name.c_str())) << name;
        EXPECT_EQ(original, "a.txt");
        if (name.find(" (2).txt") != std::string::npos) {
            ++numbered;
            EXPECT_EQ(read_file(versions + "\\" + name), "old") << name;
        }
    }
    EXPECT_EQ(numbered, 1);
    for (const std::string& name : taken)
        EXPECT_EQ(read_file(versions + "\\" + name), "earlier") << name;
}

// A source file named as the folder of old versions takes its place in the
// backup: old backups replaced after it cannot be kept. They are replaced
// all the same, and each is told with the reason.
TEST_F(StepVersions, AnOldBackupThatCannotBeKeptIsReplacedAndTold)
{
    std::string source = dir / "src", backup = dir / "dst";
    make_folder(source);
    make_folder(backup);
    write_file(source + "\\以前のバージョン", "a user's file of that name");
    write_file(source + "\\b.txt", "new b");
    write_file(backup + "\\以前のバージョン", "its old backup");
    write_file(backup + "\\b.txt", "old b");
    for (const char* name : {"\\以前のバージョン", "\\b.txt"})
        set_file_times(backup + name, 116444736000000000ull);
    add_entry(engine.list, "*.*", source, backup);
    run_pass();
    EXPECT_EQ(read_file(backup + "\\b.txt"), "new b");
    EXPECT_EQ(cell_text(engine.list, 0, col_file_status), "完");
    std::vector<std::string> told = report_lines_with("\\b.txt\t");
    ASSERT_EQ(told.size(), 1u) << read_file(dir / "quillsave.log");
    EXPECT_NE(told[0].find("以前のバージョンに残せなかったため、残さずに置き換えました（"), std::string::npos) << told[0];
}

// A backup folder inside its source is told at the first pass of a run;
// the passes a never-ending run repeats over an unchanged tree write nothing.
TEST_F(StepVersions, ALeftOutFolderIsToldOnceInARun)
{
    std::string source = dir / "src";
    make_folder(source);
    make_folder(source + "\\backup");
    write_file(source + "\\a.txt", "a");
    add_entry(engine.list, "*.*", source, source + "\\backup");
    engine.report.first_pass_of_run = true;
    for (int pass = 0; pass < 3; ++pass)
        run_pass();
    EXPECT_EQ(report_lines_with("\t除外\t").size(), 1u) << read_file(dir / "quillsave.log");
    EXPECT_EQ(report_lines_with("\t完了\t").size(), 1u) << read_file(dir / "quillsave.log");
}

// A pass resumed at the third row (after an error's restart or a new start
// of the program) goes on with what the rows before it and the entry so far
// did not back up: the end line tells what the rows show together.
TEST_F(StepVersions, AResumedPassCountsWhatItMissedBefore)
{
    std::string source = dir / "src";
    make_folder(source);
    write_file(source + "\\c.txt", "c");
    add_entry(engine.list, "*.*", source, dir / "one");
    add_entry(engine.list, "gone.txt", source, dir / "two");
    add_entry(engine.list, "c.txt", source, dir / "three");
    list_set_cell(engine.list, 0, col_file_status, "×2");
    list_set_cell(engine.list, 0, col_folder_status, "完");
    list_set_cell(engine.list, 1, col_file_status, "読e");
    list_set_cell(engine.list, 1, col_folder_status, "完");
    engine.progress.fmove_point = 2;
    run_pass();
    EXPECT_EQ(engine.report.missed_told.load(), 3);
    std::vector<std::string> ends = report_lines_with("\t完了\t");
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_NE(ends[0].find("バックアップできず 3件"), std::string::npos) << ends[0];
}

namespace {

// A 1 MiB tmpfs of the test's own, so that the free space moves only with
// what the test writes and removes.
struct RoomDisk {
    std::string unix_path = std::string(QS_BACKUP_DISK) + "-room";
    bool mounted = run_on_host("mkdir -p '" + unix_path + "' && mount -t tmpfs -o size=1m qs-room '" + unix_path +
                               "'") == 0;
    ~RoomDisk() { run_on_host("umount '" + unix_path + "'"); }
};

unsigned long long free_on(const std::string& folder)
{
    ULARGE_INTEGER available{};
    GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr);
    return available.QuadPart;
}

}  // namespace

// Versions go oldest first and only the entry's own, and only when they
// make the room all together; a free space that cannot be asked takes none.
TEST(RoomFromVersions, OnlyTheEntrysOwnAndOnlyWhenTheyMakeTheRoom)
{
    RoomDisk disk;
    if (!disk.mounted)
        GTEST_SKIP() << "no tmpfs at " << disk.unix_path << ": mounting needs root";
    const std::string backup = host_path(disk.unix_path), root = backup + "\\以前のバージョン";
    make_folder(root);
    const unsigned long long kib = 1024;
    struct Kept {
        const char* name;
        unsigned long long size;
    } kept[] = {{"own 2026-01-01 000000.bin", 200 * kib},
                {"own 2026-02-01 000000.bin", 200 * kib},
                {"theirs 2025-01-01 000000.bin", 300 * kib}};
    auto write_all = [&] {
        for (const Kept& k : kept)
            if (!file_exists(root + "\\" + k.name))
                write_file(root + "\\" + k.name, std::string(k.size, 'v'));
    };
    VersionOwner own = [](const char* relative, const char* name) {
        return relative[0] == 0 && std::string(name) == "own.bin";
    };
    struct Case {
        const char* what;
        unsigned long long more;  // needed beyond what is free now
        const char* folder;       // where the free space is asked; null: the backup folder
        int removed;
        bool oldest_left, younger_left;
    } cases[] = {
        {"more than the own versions can give", 450 * kib, nullptr, 0, true, true},
        {"the oldest is enough", 100 * kib, nullptr, 1, false, true},
        {"both are needed", 350 * kib, nullptr, 2, false, false},
        {"free space not known", 100 * kib, "Q:\\no-such-folder", 0, true, true},
    };
    for (const Case& c : cases) {
        write_all();
        RoomMade room = free_space_from_versions(root.c_str(), c.folder ? c.folder : backup.c_str(),
                                                 free_on(backup) + c.more, own);
        EXPECT_EQ(room.removed, c.removed) << c.what;
        EXPECT_EQ(room.free_known, c.folder == nullptr) << c.what;
        EXPECT_EQ(file_exists(root + "\\" + kept[0].name), c.oldest_left) << c.what;
        EXPECT_EQ(file_exists(root + "\\" + kept[1].name), c.younger_left) << c.what;
        EXPECT_TRUE(file_exists(root + "\\" + kept[2].name)) << c.what << ": another entry's version stays";
    }
}
