// The backup step over real trees: status columns, counters, the end of the
// list, paths that cannot be used, saved positions that do not fit the
// tables, and a run resumed from a saved position.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/seams.h"
#include "engine/backup_step.h"
#include "engine/engine.h"
#include "engine/seams.h"
#include "store/formats.h"
#include "tests/wine/entry_rows.h"
#include "tests/wine/support.h"

namespace {

struct Status {
    const char* file;    // column 3
    const char* folder;  // column 4
    int fmove_point;
};

class StepTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine.notifier = recorder.notifier();
        engine.notifier.request_refresh = [this] { ++refreshes; };
        engine.settings.data_size = 65536;
        engine.settings.data_time = 0;
        engine.settings.rw_error_mode = 1;
        engine.flags.running = 1;
    }



    void expect_status(int row, const Status& s, const std::string& where)
    {
        EXPECT_EQ(cell_text(engine.list, row, col_file_status), s.file) << where;
        EXPECT_EQ(cell_text(engine.list, row, col_folder_status), s.folder) << where;
        EXPECT_EQ(engine.progress.fmove_point.load(), s.fmove_point) << where;
    }

    // Steps until the position leaves the row (or the limit is reached).
    int steps_through_row(int row, int limit)
    {
        int steps = 0;
        while (engine.progress.fmove_point == row && steps < limit) {
            backup_step(engine);
            ++steps;
        }
        return steps;
    }

    SeamsReset seams;
    TempDir dir;
    Engine engine;
    MessageRecorder recorder;
    int refreshes = 0;
};

// The names a walk of the folder lists, in its order.
std::vector<std::string> listed_files(const std::string& folder)
{
    FileTable table;
    walk_files(table, folder.c_str(), folder.size());
    std::vector<std::string> names;
    for (const FileRecord& r : table.records)
        names.push_back(r.file_name);
    return names;
}

HANDLE hold_without_sharing(const std::string& path)
{
    return CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

TEST_F(StepTest, ThreeFilesInOneFolderInBothModes)
{
    for (int mode : {0, 1}) {
        TempDir run;
        std::string source = run / "src", destination = run / "dst";
        make_folder(source);
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            write_file(source + "\\" + name, std::string("data of ") + name);
        list_clear(engine.list);
        reset_progress(engine);
        engine.flags.run_mode = mode;
        add_entry(engine.list, "*.*", source, destination);

        const Status expected[] = {{"1", "0", 0}, {"2", "0", 0}, {"完", "完", 1}};
        for (int i = 0; i < 3; ++i) {
            backup_step(engine);
            expect_status(0, expected[i], "mode " + std::to_string(mode) + " step " + std::to_string(i + 1));
        }
        EXPECT_EQ(engine.flags.list_finished.load(), 1);
        EXPECT_EQ(engine.progress.folder_search_flag.load(), 0);
        EXPECT_EQ(engine.progress.file_search_flag.load(), 0);
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            EXPECT_EQ(read_file(destination + "\\" + name), std::string("data of ") + name) << mode;
    }
    EXPECT_EQ(refreshes, 6);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(StepTest, ReadErrorOnLastFileOfFolder)
{
    std::string source = dir / "src";
    make_folder(source);
    write_file(source + "\\one.txt", "1");
    write_file(source + "\\two.txt", "2");
    make_folder(source + "\\sub");
    write_file(source + "\\sub\\three.txt", "3");
    std::vector<std::string> order = listed_files(source);
    ASSERT_EQ(order.size(), 2u);
    HANDLE held = hold_without_sharing(source + "\\" + order[1]);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    add_entry(engine.list, "*.*", source, dir / "dst");

    // The row ends with the count of the file not backed up, not with "完".
    const Status expected[] = {{"1", "0", 0}, {"読e", "0", 0}, {"完", "1", 0}, {"×1", "完", 1}};
    for (int i = 0; i < 4; ++i) {
        backup_step(engine);
        expect_status(0, expected[i], "step " + std::to_string(i + 1));
    }
    CloseHandle(held);
    EXPECT_TRUE(file_exists(dir / ("dst\\" + order[0])));
    EXPECT_FALSE(file_exists(dir / ("dst\\" + order[1])));
    EXPECT_EQ(read_file(dir / "dst\\sub\\three.txt"), "3");
    EXPECT_EQ(engine.flags.error_pending.load(), 0);
}

TEST_F(StepTest, EndOfListAndNewPass)
{
    write_file(dir / "a.txt", "a");
    write_file(dir / "b.txt", "b");
    add_entry(engine.list, "a.txt", dir.path(), dir / "out");
    add_entry(engine.list, "b.txt", dir.path(), dir / "out");
    backup_step(engine);
    EXPECT_EQ(engine.flags.list_finished.load(), 0);
    backup_step(engine);
    EXPECT_EQ(engine.flags.list_finished.load(), 1);
    expect_status(1, {"完", "完", 2}, "end of the list");

    backup_step(engine);  // wraps, then handles row 0 again
    EXPECT_EQ(engine.flags.list_finished.load(), 0);
    expect_status(0, {"完", "完", 1}, "new pass, row 0");
    EXPECT_EQ(cell_text(engine.list, 1, col_file_status), "未");
    EXPECT_EQ(cell_text(engine.list, 1, col_folder_status), "未");

    // Rows deleted below the position: a new pass too.
    engine.progress.fmove_point = 7;
    backup_step(engine);
    expect_status(0, {"完", "完", 1}, "position past the list");

    // No rows: every step only raises the end.
    list_clear(engine.list);
    for (int step = 0; step < 2; ++step) {
        backup_step(engine);
        EXPECT_EQ(engine.flags.list_finished.load(), 1);
        EXPECT_EQ(engine.progress.fmove_point.load(), 0);
    }
}

TEST_F(StepTest, NamedPatternIsAFolderEntryForEveryFile)
{
    std::string source = dir / "src";
    make_folder(source + "\\sub");
    write_file(source + "\\a.txt", "a");
    write_file(source + "\\b.bin", "b");
    write_file(source + "\\sub\\c.dat", "c");
    add_entry(engine.list, "*.txt", source, dir / "dst");
    EXPECT_EQ(steps_through_row(0, 10), 3);
    EXPECT_EQ(list_folder(dir / "dst"), (std::vector<std::string>{"a.txt", "b.bin", "sub"}));
    EXPECT_EQ(read_file(dir / "dst\\sub\\c.dat"), "c");
}

TEST_F(StepTest, DestinationEndingInTrailByteGetsASeparator)
{
    write_file(dir / "a.txt", "alpha");
    struct Case {
        const char* folder;     // destination folder below the temporary folder
        const char* file_path;  // where the copy must land
    } cases[] = {
        {"ソ", "ソ\\a.txt"},
        {"表\\", "表\\a.txt"},
        {"data", "data\\a.txt"},
    };
    for (const auto& c : cases) {
        list_clear(engine.list);
        reset_progress(engine);
        add_entry(engine.list, "a.txt", dir.path(), dir / c.folder);
        backup_step(engine);
        EXPECT_EQ(read_file(dir / c.file_path), "alpha") << c.file_path;
        char source[kFieldSize], destination[kFieldSize];
        get_copy_paths(engine.copy_paths, source, destination);
        EXPECT_EQ(std::string(destination), dir / c.file_path);
        EXPECT_EQ(std::string(source), dir / "a.txt");
    }
    // A folder entry whose source ends in ソ: its files are found and copied.
    make_folder(dir / "元ソ");
    write_file(dir / "元ソ\\y.txt", "y");
    list_clear(engine.list);
    reset_progress(engine);
    add_entry(engine.list, "*.*", dir / "元ソ", dir / "ソ");
    steps_through_row(0, 5);
    EXPECT_EQ(read_file(dir / "ソ\\y.txt"), "y");
}

// Entries done, or kept, in one step: single files, trees without files,
// destinations that cannot be made, and texts that cannot make a path.
TEST_F(StepTest, OneStepOutcomes)
{
    write_file(dir / "a.txt", "alpha");
    write_file(dir / "blocker", "a file where a folder should be");
    make_folder(dir / "empty");
    make_folder(dir / "one");
    write_file(dir / "one\\a.txt", "alpha");
    std::string long_folder = dir / std::string(250 - dir.path().size(), 'L');
    struct Case {
        const char* what;
        const char* name;
        std::string source, destination;
        int rw_error_mode;
        Status status;
        int error_pending;
        int folders_walked;
        bool published;  // the pair of paths was shown as the copy under way
        StepEnd end;     // what the worker's pause after the step follows
    } cases[] = {
        {"copied", "a.txt", dir.path(), dir / "out", 1, {"完", "完", 1}, 0, 0, true, {false, true}},
        {"up to date", "a.txt", dir.path(), dir / "out", 1, {"完", "完", 1}, 0, 0, true, {false, false}},
        {"source file missing", "missing.txt", dir.path(), dir / "out", 1, {"読e", "完", 1}, 0, 0, true, {}},
        {"empty source tree", "*.*", dir / "empty", dir / "out", 1, {"完", "完", 1}, 0, 1, false, {}},
        {"missing source tree", "*.*", dir / "missing", dir / "out", 1, {"×1", "完", 1}, 0, 1, false, {}},
        {"folders cannot be made", "a.txt", dir.path(), dir / "blocker\\sub", 1, {"棚e", "完", 0}, 1, 0, true,
         {true, false}},
        {"folders cannot be made, keep going", "a.txt", dir.path(), dir / "blocker\\sub", 0, {"棚e", "完", 0}, 0, 0,
         true, {true, false}},
        {"empty source", "a.txt", "", dir / "out", 1, {"読e", "完", 1}, 0, 0, false, {}},
        {"empty destination", "a.txt", dir.path(), "", 1, {"棚e", "完", 0}, 1, 0, false, {true, false}},
        {"folder entry, empty source", "*.*", "", dir / "out", 1, {"読e", "完", 1}, 0, 0, false, {}},
        {"source path too long", "name-of-twenty.txt", long_folder, dir / "out", 1, {"読e", "完", 1}, 0, 0, false,
         {}},
        {"destination path too long", "a.txt", dir.path(), long_folder + "\\deeper", 1, {"作e", "完", 0}, 1, 0,
         false, {true, false}},
        {"folder entry, destination too long", "*.*", dir / "one", long_folder + "\\deeper", 1,
         {"作e", "0", 0}, 1, 1, false, {true, false}},
    };
    TempDir elsewhere;
    for (const auto& c : cases) {
        SetCurrentDirectoryA(elsewhere.path().c_str());
        list_clear(engine.list);
        reset_progress(engine);
        engine.flags.error_pending = 0;
        engine.flags.list_finished = 0;
        engine.settings.rw_error_mode = c.rw_error_mode;
        set_copy_paths(engine.copy_paths, "", "");
        add_entry(engine.list, c.name, c.source, c.destination);
        // A kept file is tried again at the next step, with the same outcome.
        for (int step = 0; step < (c.status.fmove_point == 0 ? 2 : 1); ++step) {
            StepEnd end = backup_step(engine);
            expect_status(0, c.status, c.what);
            EXPECT_EQ(end.kept_to_retry, c.end.kept_to_retry) << c.what;
            EXPECT_EQ(end.copied, c.end.copied) << c.what;
        }
        EXPECT_EQ(engine.flags.error_pending.load(), c.error_pending) << c.what;
        EXPECT_EQ(engine.flags.list_finished.load(), c.status.fmove_point) << c.what;
        EXPECT_EQ(engine.folders.count(), c.folders_walked) << c.what;
        char source[kFieldSize], destination[kFieldSize];
        get_copy_paths(engine.copy_paths, source, destination);
        EXPECT_EQ(destination[0] != 0, c.published) << c.what;
    }
    EXPECT_EQ(read_file(dir / "out\\a.txt"), "alpha");
    EXPECT_EQ(list_folder(dir / "out"), std::vector<std::string>{"a.txt"});
    // Nothing landed in whatever folder was current.
    EXPECT_TRUE(list_folder(elsewhere.path()).empty());
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(StepTest, SavedPositionThatDoesNotFitTheTablesIsWalkedAgain)
{
    std::string source = dir / "src";
    make_folder(source + "\\sub");
    write_file(source + "\\a.txt", "a");
    write_file(source + "\\sub\\b.txt", "b");
    struct Case {
        const char* what;
        int folder_count, folder_search_flag, folder_table_count;
        const char* record0;  // full path of FolderTable record 0 ("" : the entry's source)
        int file_count, file_search_flag, file_table_count;
    } cases[] = {
        {"folder.ini lost", 3, 1, 0, "", 0, 0, 0},
        {"folder_count past the table", 2, 1, 2, "", 0, 0, 0},
        {"negative folder_count", -1, 1, 2, "", 0, 0, 0},
        {"table of another tree", 1, 1, 2, "C:\\other", 0, 1, 1},
        {"file.ini lost", 0, 1, 2, "", 4, 1, 0},
        {"file_count past the table", 0, 1, 2, "", 9, 1, 1},
        {"negative file_count", 0, 1, 2, "", -3, 1, 1},
        {"file flag without folder flag", 0, 0, 0, "", 0, 1, 1},
        {"file.ini of another folder", 0, 1, 2, "", 0, 1, 1},
    };
    for (const auto& c : cases) {
        TempDir out;
        list_clear(engine.list);
        reset_progress(engine);
        add_entry(engine.list, "*.*", source, out.path());
        if (c.folder_table_count > 0) {
            engine.folders.records.push_back({c.record0[0] ? c.record0 : source, ""});
            engine.folders.records.push_back({source + "\\sub", "\\sub"});
        }
        engine.files.records.resize(c.file_table_count, FileRecord{"bogus.txt", 0, 0});
        engine.progress.folder_count = c.folder_count;
        engine.progress.folder_search_flag = c.folder_search_flag;
        engine.progress.folder_max = c.folder_table_count;
        engine.progress.file_count = c.file_count;
        engine.progress.file_search_flag = c.file_search_flag;
        engine.progress.file_max = c.file_table_count;

        int steps = steps_through_row(0, 10);
        EXPECT_LE(steps, 3) << c.what;
        EXPECT_EQ(list_folder(out.path()), (std::vector<std::string>{"a.txt", "sub"})) << c.what;
        EXPECT_EQ(list_folder(out / "sub"), std::vector<std::string>{"b.txt"}) << c.what;
        EXPECT_EQ(engine.folders.records[0].full_path, source) << c.what;
    }
}

TEST_F(StepTest, StoppedRunWritesNoStatusAndResumesAtTheSameFile)
{
    // root: 3 files; sub1: 3 files; sub2: 2 files.
    std::string source = dir / "src", destination = dir / "dst";
    make_folder(source + "\\sub1");
    make_folder(source + "\\sub2");
    for (int i = 0; i < 3; ++i) {
        write_file(source + "\\r" + std::to_string(i), "root " + std::to_string(i));
        write_file(source + "\\sub1\\s" + std::to_string(i), "sub1 " + std::string(40, char('0' + i)));
    }
    write_file(source + "\\sub2\\t0", "t0");
    write_file(source + "\\sub2\\t1", "t1");
    engine.settings.data_size = 8;  // chunks, so that a stop can come between two
    add_entry(engine.list, "*.*", source, destination);
    for (int i = 0; i < 4; ++i)
        backup_step(engine);
    int folder = engine.progress.folder_count, file = engine.progress.file_count;
    ASSERT_EQ(folder, 1);
    ASSERT_EQ(file, 1);
    std::string folder_path = engine.folders.records[folder].full_path;
    std::string interrupted = engine.files.records[file].file_name;
    std::string status = cell_text(engine.list, 0, col_file_status);
    int refreshes_before = refreshes;

    // A stop during the pause after the first chunk of the next file.
    engine_seams().copy_probe.before_pause = [this](int) { request_stop(engine); };
    backup_step(engine);
    engine_seams().copy_probe.before_pause = nullptr;
    EXPECT_EQ(cell_text(engine.list, 0, col_file_status), status) << "a stopped step writes no status";
    EXPECT_EQ(refreshes, refreshes_before) << "nor asks for a refresh";
    EXPECT_EQ(engine.progress.file_count.load(), file);
    EXPECT_FALSE(file_exists(destination + "\\sub1\\" + interrupted));

    // What an exit saves and the next start loads: the position and tables.
    Engine resumed;
    resumed.settings = engine.settings;
    resumed.flags.running = 1;
    std::string saved = format_settings(engine.settings, engine.progress);
    read_settings(resumed.settings, resumed.progress, memory_source(saved.data(), saved.size()));
    resumed.folders.records = engine.folders.records;
    resumed.files.records = engine.files.records;
    add_entry(resumed.list, "*.*", source, destination);
    SetCurrentDirectoryA(dir.path().c_str());  // the check leaves it inside
    remove_tree(destination);  // so that a file copied twice shows
    ASSERT_FALSE(folder_exists(destination));

    backup_step(resumed);
    char copied_source[kFieldSize], copied_destination[kFieldSize];
    get_copy_paths(resumed.copy_paths, copied_source, copied_destination);
    EXPECT_EQ(std::string(copied_source), folder_path + "\\" + interrupted);
    EXPECT_EQ(resumed.progress.folder_count.load(), folder);
    EXPECT_EQ(resumed.progress.file_count.load(), file + 1);
    while (resumed.flags.list_finished == 0)
        backup_step(resumed);
    // Only the files from the interrupted one on were copied by the resumed run.
    EXPECT_EQ(list_folder(destination), (std::vector<std::string>{"sub1", "sub2"}))
        << "root files are not copied again";
    EXPECT_EQ(list_folder(destination + "\\sub1").size(), 2u);
    EXPECT_EQ(list_folder(destination + "\\sub2").size(), 2u);
    EXPECT_EQ(read_file(destination + "\\sub1\\" + interrupted), read_file(folder_path + "\\" + interrupted));
}

// A folder of more files than the FileTable takes (its limit lowered here,
// so that a few files reach it) is listed again for the rest.
TEST_F(StepTest, FolderOfMoreFilesThanATableHolds)
{
    std::string source = dir / "src", destination = dir / "dst";
    make_folder(source);
    const int limit = 40;
    for (int i = 0; i <= limit; ++i)
        write_file(source + "\\f" + std::to_string(i), "");
    // The file past the first full listing, in the order the walks see them.
    FileTable rest;
    ASSERT_TRUE(walk_files(rest, source.c_str(), source.size(), limit));
    ASSERT_EQ(rest.count(), 1);
    const std::string last = rest.records[0].file_name;
    engine.files.limit = limit;
    engine.flags.run_mode = 1;  // continuous: no pauses
    add_entry(engine.list, "*.*", source, destination);
    for (int i = 0; i < limit; ++i)
        backup_step(engine);
    expect_status(0, {"40", "0", 0}, "after the last listed file the folder goes on");
    EXPECT_FALSE(file_exists(destination + "\\" + last));
    backup_step(engine);
    expect_status(0, {"完", "完", 1}, "the file past the limit ends the folder");
    EXPECT_TRUE(file_exists(destination + "\\" + last));
    EXPECT_EQ(list_folder(destination).size(), static_cast<std::size_t>(limit + 1));
}

TEST_F(StepTest, DestinationFolderRemovedBetweenStepsIsMadeAgain)
{
    std::string source = dir / "src";
    make_folder(source);
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        write_file(source + "\\" + name, name);
    for (int mode : {0, 1}) {
        std::string destination = dir / ("dst" + std::to_string(mode));
        list_clear(engine.list);
        reset_progress(engine);
        engine.flags.run_mode = mode;
        add_entry(engine.list, "*.*", source, destination + "\\deep");
        backup_step(engine);
        SetCurrentDirectoryA(dir.path().c_str());  // the check leaves it inside
        remove_tree(destination);
        ASSERT_FALSE(folder_exists(destination));
        backup_step(engine);
        expect_status(0, {"2", "0", 0}, "mode " + std::to_string(mode));
        EXPECT_EQ(list_folder(destination + "\\deep").size(), 1u);
        SetCurrentDirectoryA(dir.path().c_str());
        remove_tree(destination);
        write_file(destination, "a file where the folder was");
        backup_step(engine);
        expect_status(0, {"棚e", "0", 0}, "mode " + std::to_string(mode));
    }
    EXPECT_EQ(engine.flags.error_pending.load(), 1);
}

// A continuous run lists a backup folder once, when it checks it. Backups
// that come or go after that listing still get what the file system says:
// one made meanwhile by another hand (newer than the source, its name in
// other case) is left alone, not replaced; one listed but removed since is
// copied again.
TEST_F(StepTest, BackupsMadeOrRemovedAfterTheFolderWasListed)
{
    std::string source = dir / "src", destination = dir / "dst";
    make_folder(source);
    make_folder(destination);
    const unsigned long long older = 132000000000000000ull, newer = older + 10000000ull * 3600;
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        write_file(source + "\\" + name, std::string("source ") + name);
        set_file_times(source + "\\" + name, older);
    }
    write_file(destination + "\\c.txt", "old backup");
    set_file_times(destination + "\\c.txt", older - 1);
    engine.flags.run_mode = 1;
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        add_entry(engine.list, name, source, destination);

    backup_step(engine);  // a.txt; the folder is checked and listed
    write_file(destination + "\\B.TXT", "newer backup");
    set_file_times(destination + "\\B.TXT", newer);
    DeleteFileA((destination + "\\c.txt").c_str());
    backup_step(engine);
    backup_step(engine);

    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(cell_text(engine.list, row, col_file_status), "完") << row;
    EXPECT_EQ(read_file(destination + "\\b.txt"), "newer backup");
    EXPECT_EQ(read_file(destination + "\\c.txt"), "source c.txt");
    EXPECT_EQ(list_folder(destination), (std::vector<std::string>{"B.TXT", "a.txt", "c.txt"}));
}

// Names code page 932 cannot hold are reached by their short names, and
// each file's bytes land in the backup under the name it was read by. On a
// volume without short names the file and the folder get "読e" at their
// steps instead of being passed over as if there were nothing.
TEST_F(StepTest, NamesTheCodePageCannotHold)
{
    struct Case {
        bool short_names;
        std::vector<std::string> file_statuses;  // column 3 after each step
    } cases[] = {
        {true, {}},
        {false, {}},
    };
    for (Case& c : cases) {
        TempDir run;
        UnheldNamesTree tree(run / "src");
        std::string backup = run / "dst";
        list_clear(engine.list);
        reset_progress(engine);
        add_entry(engine.list, "*.*", tree.source, backup);
        base_seams().hide_short_names = !c.short_names;
        for (int step = 0; step < 20 && engine.progress.fmove_point == 0; ++step) {
            backup_step(engine);
            c.file_statuses.push_back(cell_text(engine.list, 0, col_file_status));
        }
        base_seams().hide_short_names = false;
        EXPECT_EQ(engine.progress.fmove_point.load(), 1) << c.short_names;
        int unreadable = static_cast<int>(std::count(c.file_statuses.begin(), c.file_statuses.end(), "読e"));
        for (const UnheldNamesTree::File& f : tree.files) {
            std::string read_by = UnheldNamesTree::reached_path(tree.source, f.relative);
            ASSERT_FALSE(read_by.empty());
            std::string relative = read_by.substr(tree.source.size());
            std::string copy = backup + relative;
            bool plain = relative.find('~') == std::string::npos;
            if (c.short_names || plain)
                EXPECT_EQ(read_file(copy), f.bytes) << copy;
            else
                EXPECT_FALSE(file_exists(copy)) << copy;
        }
        // Without short names: café.txt and 😀.txt, and the folder 한국,
        // each "読e" at its step (the last may be the entry's last step,
        // which shows the count instead).
        EXPECT_EQ(c.file_statuses.back(), c.short_names ? "完" : "×3") << c.short_names;
        EXPECT_GE(unreadable, c.short_names ? 0 : 2) << c.short_names;
        EXPECT_LE(unreadable, c.short_names ? 0 : 3) << c.short_names;
        for (const std::string& name : list_folder(backup))
            EXPECT_EQ(name.find('?'), std::string::npos) << name;
    }
}

// The destination check enters every level of the backup folder; each step
// ends back in the working folder, so that nothing of a backup drive is held
// open between steps, whatever the check found.
TEST_F(StepTest, EveryStepEndsInTheWorkingFolder)
{
    std::string home = dir / "home", source = dir / "src";
    make_folder(home);
    make_folder(source + "\\sub");
    write_file(source + "\\a.txt", "a");
    write_file(source + "\\sub\\b.txt", "b");
    write_file(dir / "blocked", "a file where a folder should be");
    copy_field(engine.workdir.path, home.c_str());
    for (int mode : {0, 1}) {
        list_clear(engine.list);
        reset_progress(engine);
        engine.flags.run_mode = mode;
        add_entry(engine.list, "*.*", source, dir / ("dst" + std::to_string(mode)) + "\\deep");
        add_entry(engine.list, "a.txt", source, dir / "single\\ソ表");
        add_entry(engine.list, "a.txt", source, dir / "blocked\\x");
        for (int step = 0; step < 4; ++step) {
            SetCurrentDirectoryA(dir.path().c_str());
            backup_step(engine);
            char now[MAX_PATH] = {};
            GetCurrentDirectoryA(sizeof now, now);
            EXPECT_EQ(std::string(now), home) << "mode " << mode << " step " << step;
        }
        EXPECT_EQ(cell_text(engine.list, 2, col_file_status), "棚e") << mode;
    }
}

// A tree holding a file another program holds without sharing, a file whose
// backup path passes 259 bytes, dot names and plain files, then a second
// entry. Every file that can be is backed up; the long one is passed at its
// third try (the program told of the first two only); the row ends with the
// count of the two, and the report names both with their reasons. The pass
// is one begin line, the two, and one end line.
TEST_F(StepTest, FilesNotBackedUpAreToldAndNoFileHoldsTheRestBack)
{
    for (int mode : {0, 1}) {
        TempDir run;
        std::string source = run / "src", second = run / "second";
        // The backup folder's length leaves room for every name but the long one.
        std::string backup = run / std::string(240 - run.path().size() - 1, 'B');
        const std::string long_name = "a-name-long-enough-to-pass.txt";
        make_folder(source + "\\.dot");
        make_folder(second);
        write_file(source + "\\a.txt", "a");
        write_file(source + "\\.gitignore", "*.o");
        write_file(source + "\\.dot\\in.txt", "in");
        write_file(source + "\\mail.pst", "mail");
        write_file(source + "\\" + long_name, "long");
        write_file(second + "\\b.txt", "b");
        copy_field(engine.workdir.path, run.path().c_str());
        HANDLE held = hold_without_sharing(source + "\\mail.pst");
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        list_clear(engine.list);
        reset_progress(engine);
        engine.flags.run_mode = mode;
        engine.flags.list_finished = 0;
        engine.settings.rw_error_mode = 1;
        add_entry(engine.list, "*.*", source, backup);
        add_entry(engine.list, "b.txt", second, run / "out");

        int errors_raised = 0;
        for (int step = 0; step < 40 && engine.flags.list_finished.load() == 0; ++step) {
            engine.flags.error_pending = 0;
            backup_step(engine);
            errors_raised += engine.flags.error_pending.load();
        }
        CloseHandle(held);
        std::string where = "mode " + std::to_string(mode);
        EXPECT_EQ(engine.flags.list_finished.load(), 1) << where;
        EXPECT_EQ(errors_raised, 2) << where << ": the third try passes the file without a reaction";
        EXPECT_EQ(read_file(backup + "\\a.txt"), "a") << where;
        EXPECT_EQ(read_file(backup + "\\.gitignore"), "*.o") << where;
        EXPECT_EQ(read_file(backup + "\\.dot\\in.txt"), "in") << where;
        EXPECT_FALSE(file_exists(backup + "\\mail.pst")) << where;
        EXPECT_EQ(read_file(run / "out\\b.txt"), "b") << where;
        EXPECT_EQ(cell_text(engine.list, 0, col_file_status), "×2") << where;
        EXPECT_EQ(cell_text(engine.list, 0, col_folder_status), "完") << where;
        EXPECT_EQ(cell_text(engine.list, 1, col_file_status), "完") << where;
        EXPECT_EQ(engine.progress.try_count.load(), 0) << where;
        EXPECT_EQ(engine.progress.miss_count.load(), 0) << where;

        std::string report = read_file(run / "quillsave.log");
        std::vector<std::string> held_lines = lines_with(report, "\\mail.pst");
        ASSERT_EQ(held_lines.size(), 1u) << report;
        EXPECT_NE(held_lines[0].find("\t読e\t1行目 " + source + "\t"), std::string::npos) << held_lines[0];
        EXPECT_NE(held_lines[0].find("他のプログラムが使用中です"), std::string::npos) << held_lines[0];
        std::vector<std::string> long_lines = lines_with(report, long_name);
        ASSERT_EQ(long_lines.size(), 1u) << report;
        EXPECT_NE(long_lines[0].find("\t作e\t"), std::string::npos) << long_lines[0];
        EXPECT_NE(long_lines[0].find("保存先のパスが259バイトを超えます（3回"), std::string::npos) << long_lines[0];
        EXPECT_EQ(lines_with(report, "\t開始\t").size(), 1u) << report;
        std::vector<std::string> ends = lines_with(report, "\t完了\t");
        ASSERT_EQ(ends.size(), 1u) << report;
        // The four files' 7 bytes, whichever copy made them and told the size.
        EXPECT_NE(ends[0].find("コピー 4件\t最新 0件\tバックアップできず 2件\t7バイト"), std::string::npos) << ends[0];
        EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 4) << report;
        EXPECT_EQ(engine.report.missed_told.load(), 2) << where;
    }
}

// A listing that an error ends part-way (a share's hiccup) is never taken
// as complete: the row ends with the count of what could not be listed, the
// report tells each with its code, and the next pass lists the tree again.
TEST_F(StepTest, ListingEndedByAnErrorIsCountedAndListedAgainNextPass)
{
    std::string source = dir / "src", backup = dir / "dst";
    make_folder(source + "\\b");
    make_folder(source + "\\a");
    write_file(source + "\\a\\in.txt", "in");  // ".", ".." and one file: listed whole
    for (const char* f : {"x.txt", "y.txt", "z.txt"})
        write_file(source + "\\" + f, f);
    copy_field(engine.workdir.path, dir.path().c_str());
    add_entry(engine.list, "*.*", source, backup);
    auto one_pass = [this] {
        engine.flags.list_finished = 0;
        for (int step = 0; step < 20 && engine.flags.list_finished.load() == 0; ++step)
            backup_step(engine);
        EXPECT_EQ(engine.flags.list_finished.load(), 1);
    };
    {
        // The source's listings end after ".", ".." and two of its five items.
        FailingListings failing(4, ERROR_UNEXP_NET_ERR);
        one_pass();
    }
    // Its subfolders and its files, each cut short once.
    EXPECT_EQ(cell_text(engine.list, 0, col_file_status), "×2");
    std::string report = read_file(dir / "quillsave.log");
    std::vector<std::string> cut = lines_with(report, "エラーコード 59");
    ASSERT_EQ(cut.size(), 2u) << report;
    for (const std::string& line : cut)
        EXPECT_NE(line.find("\t1行目 " + source + "\t" + source + "\t"), std::string::npos) << line;

    one_pass();
    EXPECT_EQ(cell_text(engine.list, 0, col_file_status), "完");
    EXPECT_EQ(list_folder(backup), (std::vector<std::string>{"a", "x.txt", "y.txt", "z.txt"}));
    EXPECT_EQ(read_file(backup + "\\a\\in.txt"), "in");
    EXPECT_EQ(lines_with(read_file(dir / "quillsave.log"), "エラーコード 59").size(), 2u) << "nothing more told";
}

// A backup folder on a drive that is not there: every file would fail so,
// so none is passed. The run waits as before, the tries are not counted,
// and the report says once what the run waits for.
TEST_F(StepTest, MissingBackupDrivePassesNothingAndIsToldOnce)
{
    char drive[] = "Q:\\";
    for (char letter = 'Q'; letter <= 'Y' && GetDriveTypeA(drive) != DRIVE_NO_ROOT_DIR; ++letter)
        drive[0] = letter;
    ASSERT_EQ(GetDriveTypeA(drive), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
    std::string source = dir / "src";
    make_folder(source);
    write_file(source + "\\a.txt", "a");
    copy_field(engine.workdir.path, dir.path().c_str());
    engine.settings.rw_error_mode = 0;
    add_entry(engine.list, "*.*", source, std::string(drive) + "backup");
    for (int step = 0; step < 6; ++step)
        backup_step(engine);
    EXPECT_EQ(engine.progress.fmove_point.load(), 0);
    EXPECT_EQ(engine.progress.file_count.load(), 0);
    EXPECT_EQ(engine.progress.try_count.load(), 0);
    EXPECT_EQ(cell_text(engine.list, 0, col_file_status), "棚e");
    std::string report = read_file(dir / "quillsave.log");
    std::vector<std::string> waits = lines_with(report, "\t待機\t");
    ASSERT_EQ(waits.size(), 1u) << report;
    EXPECT_NE(waits[0].find("戻るまで待ちます"), std::string::npos) << waits[0];
}
