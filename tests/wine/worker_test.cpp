// The worker thread: whole runs in both modes, stops that end the pauses at
// once, and a worker that outlives the wait of a stop.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "engine/copy_rules.h"
#include "engine/engine.h"
#include "engine/seams.h"
#include "engine/worker.h"
#include "tests/wine/entry_rows.h"
#include "tests/wine/support.h"

namespace {

// Polls until done() holds; false when limit_ms ran out first. Only a guard
// against a hanging test: the runs below end long before it.
bool wait_for(const std::function<bool()>& done, DWORD limit_ms)
{
    for (DWORD waited = 0; !done(); waited += 10) {
        if (waited >= limit_ms)
            return false;
        Sleep(10);
    }
    return true;
}

class WorkerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        engine.notifier = recorder.notifier();
        engine.notifier.begin_stop_wait = [this] { ++waits_begun; };
        engine.notifier.end_stop_wait = [this] { ++waits_ended; };
        engine.settings.data_size = 65536;
        engine.settings.data_time = 1;
        engine.settings.rw_error_mode = 1;
    }

    void TearDown() override
    {
        // The engine must outlive its worker.
        stop_worker(engine);
        if (engine.worker_thread)
            WaitForSingleObject(engine.worker_thread.get(), INFINITE);
    }



    // Milliseconds that stop_worker took.
    ULONGLONG timed_stop()
    {
        ULONGLONG start = GetTickCount64();
        stop_worker(engine);
        return GetTickCount64() - start;
    }

    SeamsReset seams;
    TempDir dir;
    Engine engine;
    MessageRecorder recorder;
    int waits_begun = 0;
    int waits_ended = 0;
};

}  // namespace

TEST_F(WorkerTest, WholeRunInBothModes)
{
    for (int mode : {0, 1}) {
        TempDir run;
        std::string source = run / "src";
        make_folder(source + "\\sub");
        write_file(source + "\\a.txt", "a");
        write_file(source + "\\sub\\b.txt", "b");
        write_file(run / "c.txt", "c");
        list_clear(engine.list);
        reset_progress(engine);
        add_entry(engine.list, "*.*", source, run / "dst");
        add_entry(engine.list, "c.txt", run.path(), run / "single");
        engine.flags.run_mode = mode;
        engine.flags.list_finished = 0;
        engine.flags.error_pending = 1;  // left from an earlier run

        ASSERT_EQ(start_worker(engine), 0);
        EXPECT_EQ(engine.flags.error_pending.load(), 0);
        ASSERT_TRUE(engine.worker_thread);
        ASSERT_TRUE(wait_for([this] { return engine.flags.list_finished == 1; }, 30000)) << mode;
        EXPECT_EQ(engine.flags.running.load(), 1) << "the worker goes on until it is stopped";
        EXPECT_LT(timed_stop(), 2000u) << mode;

        EXPECT_EQ(engine.flags.running.load(), 0);
        EXPECT_FALSE(engine.worker_thread) << "an ended worker is forgotten";
        EXPECT_EQ(read_file(run / "dst\\a.txt"), "a");
        EXPECT_EQ(read_file(run / "dst\\sub\\b.txt"), "b");
        EXPECT_EQ(read_file(run / "single\\c.txt"), "c");
        for (int row = 0; row < 2; ++row) {
            EXPECT_EQ(cell_text(engine.list, row, col_file_status), "完") << mode << row;
            EXPECT_EQ(cell_text(engine.list, row, col_folder_status), "完") << mode << row;
        }
    }
    EXPECT_EQ(waits_begun, 2);
    EXPECT_EQ(waits_ended, 2);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(WorkerTest, StopDuringALongStandbyPauseReturnsAtOnce)
{
    // A file of several chunks, so that a stop can also come in the pause
    // after a chunk.
    write_file(dir / "big.bin", std::string(4 * 65536, 'x'));
    HANDLE chunk_paused = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    engine_seams().copy_probe.before_pause = [chunk_paused](int) { SetEvent(chunk_paused); };
    struct Case {
        const char* what;
        int data_time;
        int thread_dialog_mode;
        bool in_chunk_pause;  // else in the pause between two steps
    } cases[] = {
        {"between steps, data_time 60", 60, 0, false},
        {"between steps, no wait dialog", 60, 1, false},
        {"between steps, thread_dialog_mode 2", 60, 2, false},
        {"after a chunk, data_time 20", 20, 0, true},
    };
    for (const auto& c : cases) {
        list_clear(engine.list);
        reset_progress(engine);
        remove_tree(dir / "out");
        ResetEvent(chunk_paused);
        engine.settings.data_time = c.data_time;
        engine.settings.thread_dialog_mode = c.thread_dialog_mode;
        engine.flags.run_mode = 0;
        int begun = waits_begun;
        add_entry(engine.list, c.in_chunk_pause ? "big.bin" : "small.txt", dir.path(), dir / "out");
        write_file(dir / "small.txt", "");  // copied without a chunk, so without a pause

        ASSERT_EQ(start_worker(engine), 0) << c.what;
        if (c.in_chunk_pause)
            ASSERT_EQ(WaitForSingleObject(chunk_paused, 10000), WAIT_OBJECT_0) << c.what;
        else
            ASSERT_TRUE(wait_for([this] { return cell_text(engine.list, 0, col_file_status) == "完"; }, 10000)) << c.what;
        EXPECT_LT(timed_stop(), 2000u) << c.what;
        EXPECT_FALSE(engine.worker_thread) << c.what;
        EXPECT_EQ(waits_begun - begun, c.thread_dialog_mode == 0 ? 1 : 0) << c.what;
        if (c.in_chunk_pause) {
            EXPECT_FALSE(file_exists(dir / "out\\big.bin")) << "a stopped copy leaves no part of a file";
            EXPECT_TRUE(file_exists(dir / "out\\" + kCopyTempName)) << "but keeps the part copied to go on from";
            EXPECT_EQ(cell_text(engine.list, 0, col_file_status), "未") << "a stopped step writes no status";
        }
    }
    EXPECT_EQ(waits_begun, waits_ended);
    EXPECT_TRUE(recorder.messages.empty());
    CloseHandle(chunk_paused);
}

TEST_F(WorkerTest, StartWhileRunningAndStopWhileIdleChangeNothing)
{
    stop_worker(engine);
    EXPECT_EQ(waits_begun, 0);
    EXPECT_TRUE(recorder.messages.empty());

    engine.settings.data_time = 60;
    ASSERT_EQ(start_worker(engine), 0);  // an empty list: steps that only end it
    void* first = engine.worker_thread.get();
    engine.flags.error_pending = 1;
    EXPECT_EQ(start_worker(engine), 0);
    EXPECT_EQ(engine.worker_thread.get(), first);
    EXPECT_EQ(engine.flags.error_pending.load(), 1);
    EXPECT_LT(timed_stop(), 2000u);
}

// A stop while the run walks a tree of many folders (here about two seconds
// under Wine) ends the walk at once. The table cut short is dropped, so the
// next run walks the whole tree again and misses nothing.
TEST_F(WorkerTest, StopDuringTheWalkOfALargeTreeEndsItAndTheNextRunWalksAgain)
{
    std::string source = dir / "src";
    make_folder(source);
    make_wide_tree(source, 80, 100);
    write_file(source + "\\f79\\g99\\last.txt", "last");
    add_entry(engine.list, "*.*", source, dir / "dst");
    engine.flags.run_mode = 1;
    ASSERT_EQ(start_worker(engine), 0);
    Sleep(100);
    stop_worker(engine);
    EXPECT_FALSE(engine.worker_thread) << "the worker ended within the stop's wait";
    EXPECT_EQ(engine.progress.folder_search_flag.load(), 0) << "the walk had ended";
    EXPECT_EQ(engine.folders.count(), 0);

    engine.flags.list_finished = 0;
    ASSERT_EQ(start_worker(engine), 0);
    ASSERT_TRUE(wait_for([this] { return engine.flags.list_finished == 1; }, 60000));
    EXPECT_EQ(engine.folders.count(), 8081);
    EXPECT_EQ(read_file(dir / "dst\\f79\\g99\\last.txt"), "last");
    EXPECT_TRUE(recorder.messages.empty());
}

// Takes the full wait of a stop: 30 seconds.
TEST_F(WorkerTest, StuckWorkerIsGivenUpAndStillTracked)
{
    write_file(dir / "a.txt", "a");
    add_entry(engine.list, "a.txt", dir.path(), dir / "out");
    HANDLE entered = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    engine_seams().copy_probe.before_write = [entered, release](int) {
        SetEvent(entered);
        WaitForSingleObject(release, INFINITE);  // a copy that hangs on its disk
        return true;
    };
    ASSERT_EQ(start_worker(engine), 0);
    ASSERT_EQ(WaitForSingleObject(entered, 10000), WAIT_OBJECT_0);

    stop_worker(engine);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text, "Threadを強制終了しました。");
    EXPECT_EQ(recorder.messages[0].caption, "Quillsave");
    EXPECT_EQ(recorder.messages[0].kind, MessageKind::plain);
    EXPECT_EQ(recorder.messages[0].owner, MessageOwner::none) << "the main window may be going away";
    EXPECT_EQ(waits_ended, 1) << "the wait window is closed before the message";
    EXPECT_EQ(engine.flags.running.load(), 0);
    ASSERT_TRUE(engine.worker_thread) << "the worker is still tracked";

    EXPECT_NE(start_worker(engine), 0) << "no second worker beside a live one";
    EXPECT_EQ(engine.flags.running.load(), 0);

    SetEvent(release);
    ASSERT_EQ(WaitForSingleObject(engine.worker_thread.get(), 10000), WAIT_OBJECT_0);
    engine_seams().copy_probe.before_write = nullptr;
    EXPECT_EQ(cell_text(engine.list, 0, col_file_status), "未") << "the late step wrote nothing after the stop";

    ASSERT_EQ(start_worker(engine), 0) << "once it has ended, a run starts again";
    ASSERT_TRUE(wait_for([this] { return engine.flags.list_finished == 1; }, 10000));
    EXPECT_EQ(read_file(dir / "out\\a.txt"), "a");
    EXPECT_LT(timed_stop(), 2000u);
    EXPECT_EQ(recorder.messages.size(), 1u);
    CloseHandle(entered);
    CloseHandle(release);
}
