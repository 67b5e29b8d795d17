// The Engine's stop event, the resets of a run, and the current copy paths.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "engine/engine.h"

TEST(EngineStop, PausesEndAtOnceWhenAStopIsAsked)
{
    Engine engine;
    engine.flags.running = 1;
    EXPECT_FALSE(pause_unless_stopped(engine, 10));  // an ordinary pause runs out

    bool woken = false;
    std::thread waiter([&] { woken = pause_unless_stopped(engine, 600000); });
    Sleep(50);
    request_stop(engine);
    waiter.join();  // would hang for ten minutes if the pause slept
    EXPECT_TRUE(woken);
    EXPECT_EQ(engine.flags.running, 0);
    EXPECT_TRUE(pause_unless_stopped(engine, 600000));  // stays woken until cleared

    clear_stop(engine);
    EXPECT_FALSE(pause_unless_stopped(engine, 10));
}

TEST(ResetProgress, ClearsTheRunPositionButNotDmovePoint)
{
    Engine engine;
    ProgressState& p = engine.progress;
    p.fmove_point = 3;
    p.dmove_point = 9;
    p.folder_max = 40;
    p.folder_count = 12;
    p.folder_search_flag = 1;
    p.file_max = 700;
    p.file_count = 5;
    p.file_search_flag = 1;
    engine.folders.records.resize(40, FolderRecord{"C:\\x", "\\x"});
    engine.files.records.resize(700, FileRecord{"x", 4, 0});
    engine.flags.running = 1;
    list_insert_row(engine.list, 0, "*.*");

    reset_progress(engine);
    for (int v : {p.fmove_point.load(), p.folder_max.load(), p.folder_count.load(), p.folder_search_flag.load(),
                  p.file_max.load(), p.file_count.load(), p.file_search_flag.load(), engine.folders.count(),
                  engine.files.count(), static_cast<int>(engine.folders.records.capacity()),
                  static_cast<int>(engine.files.records.capacity())})
        EXPECT_EQ(v, 0);
    EXPECT_EQ(p.dmove_point, 9);
    EXPECT_EQ(engine.flags.running, 1);
    EXPECT_EQ(list_row_count(engine.list), 1);
}

TEST(ResetStatusColumns, MarksTheStatusColumnsOfTheRowsAsked)
{
    const struct { int rows, n, marked; } cases[] = {
        {3, 0, 3},  // 0: every row
        {3, 2, 2},
        {0, 0, 0},
        {2, 5, 2},  // rows that are not there are passed over
    };
    for (const auto& c : cases) {
        Engine engine;
        for (int r = 0; r < c.rows; ++r) {
            list_insert_row(engine.list, r, "a.txt");
            list_set_cell(engine.list, r, col_source, "C:\\ソ");
            list_set_cell(engine.list, r, col_destination, "D:\\表");
            list_set_cell(engine.list, r, col_file_status, "書e");
            list_set_cell(engine.list, r, col_folder_status, "12");
        }
        reset_status_columns(engine, c.n);
        for (int r = 0; r < c.rows; ++r) {
            char cell[kFieldSize];
            bool marked = r < c.marked;
            list_get_cell(engine.list, r, col_file_status, cell);
            EXPECT_STREQ(cell, marked ? "未" : "書e");
            list_get_cell(engine.list, r, col_folder_status, cell);
            EXPECT_STREQ(cell, marked ? "未" : "12");
            list_get_cell(engine.list, r, col_file_name, cell);
            EXPECT_STREQ(cell, "a.txt");
            list_get_cell(engine.list, r, col_source, cell);
            EXPECT_STREQ(cell, "C:\\ソ");
            list_get_cell(engine.list, r, col_destination, cell);
            EXPECT_STREQ(cell, "D:\\表");
        }
    }
}

TEST(CopyPaths, ReaderAlwaysGetsAMatchingPair)
{
    Engine engine;
    const std::string s1(259, 's'), d1(259, 'd'), s2 = "C:\\ソ\\a.txt", d2 = "D:\\表\\a.txt";
    set_copy_paths(engine.copy_paths, s1.c_str(), d1.c_str());
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int i = 0; i < 20000; ++i)
            set_copy_paths(engine.copy_paths, (i % 2 ? s1 : s2).c_str(), (i % 2 ? d1 : d2).c_str());
        done = true;
    });
    int mismatched = 0;
    while (!done) {
        char source[kFieldSize], destination[kFieldSize];
        get_copy_paths(engine.copy_paths, source, destination);
        mismatched += !((source == s1 && destination == d1) || (source == s2 && destination == d2));
    }
    worker.join();
    EXPECT_EQ(mismatched, 0);
}
