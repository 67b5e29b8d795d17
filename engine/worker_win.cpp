// The worker thread: backup steps one after the other until the run stops.
//
// A worker that outlived the wait of a stop keeps its handle in
// engine.worker_thread. start_worker refuses (returns failure) while that
// thread is alive instead of waiting for it: the user-interface thread must
// not block, and the old worker is on its way out (running is 0 and every
// pause is cut short by the stop event), so a later start, by hand or by a
// timer, succeeds. Two workers never run steps on one position.
#include "engine/worker.h"

#include <windows.h>

#include "engine/backup_step.h"
#include "engine/engine.h"
#include "engine/run_report.h"
#include "engine/settings_table.h"
#include "engine/step_file.h"
#include "engine/watch_win.h"

namespace {

constexpr DWORD kEndOfListPauseMs = 3000;
constexpr int kStopTests = 31;  // one second apart: at most 30 seconds of waiting
// Between two tries of a file that failed in a continuous run, which has no
// pause of its own: a try is a few file calls, and without this a file
// kept by "0:維持" would be tried thousands of times a second.
constexpr DWORD kRetryPauseMs = 1000;
constexpr DWORD kLookPauseMs = 40;
// How often a worker whose copy error waits for the window looks again.
constexpr DWORD kErrorWaitMs = 100;

DWORD WINAPI worker_start_routine(LPVOID param)
{
    return static_cast<DWORD>(worker_loop(*static_cast<Engine*>(param)));
}

// data_time seconds between steps of a standby run; outside the dialog's
// range (a hand-edited set.ini) the default, as kStepPause says.
DWORD standby_pause_ms(int data_time)
{
    return static_cast<DWORD>(kept_in(kStepPause, data_time)) * 1000;
}

// After a standby step that copied a file, data_time as ever: the pauses
// pace the data a standby run copies, so that the PC stays usable. A step
// that copied nothing (an up-to-date file, a folder's first look, an empty
// folder) pauses only kLookPauseMs: looking at a file costs a millisecond or
// two, and three seconds after each look made a pass over an unchanged
// tree of 20,000 files last 17 hours, so that a change waited days for its
// backup. 40 ms keeps the looks under 25 a second, a light load for a hard
// disk's seeks and the processor, and a pass over 10,000 unchanged files
// within about seven minutes. A failed file is tried again after a second in
// both kinds, so that three tries neither spin nor take long.
DWORD pause_after_step(const Engine& engine, const StepEnd& step)
{
    if (step.kept_to_retry)
        return kRetryPauseMs;
    if (engine.flags.run_mode.load() != 0)
        return 0;
    return step.copied ? standby_pause_ms(engine.settings.data_time) : kLookPauseMs;
}

// Forgets a tracked worker that has ended. False while it is still alive.
bool release_ended_worker(Engine& engine)
{
    if (!engine.worker_thread)
        return true;
    if (WaitForSingleObject(engine.worker_thread.get(), 0) != WAIT_OBJECT_0)
        return false;
    engine.worker_thread.reset();
    return true;
}

}  // namespace

int start_worker(Engine& engine)
{
    if (run_active(engine.flags))
        return 0;
    if (!release_ended_worker(engine))
        return 1;

    clear_stop(engine);
    // Both flags are set before the thread exists: its first test must find
    // running at 1, and an error of its first step must not be cleared after.
    int earlier_error = engine.flags.error_pending.exchange(0);
    engine.flags.running = 1;
    HANDLE thread = CreateThread(nullptr, 0, worker_start_routine, &engine, 0, nullptr);
    if (thread == nullptr) {
        engine.flags.running = 0;
        engine.flags.error_pending = earlier_error;
        return 1;
    }
    engine.worker_thread.reset(thread);
    return 0;
}

bool worker_alive(Engine& engine)
{
    return !release_ended_worker(engine);
}

namespace {

// The notes of the watch, told once in the run for each entry.
void tell_watch_notes(Engine& engine, SourceWatch& watch)
{
    for (const WatchNote& n : watch.take_notes()) {
        Failure why{n.reason, n.code};
        report_note_once(engine, "見張り", n.row, n.source.c_str(), n.source.c_str(), why);
    }
}

// A file the watch saw saved goes ahead of the pass's next step, by the
// same rules as any step; the pass's position stays where it was. False
// when no change is due, or its entry is no longer the one watched (the
// list was edited): the pass finds it. A failure is the pass's to try
// again, so step tells only whether the file was copied.
bool back_up_watched_change(Engine& engine, SourceWatch& watch, StepEnd& step)
{
    tell_watch_notes(engine, watch);
    WatchedChange change;
    if (!watch.take_due(change))
        return false;
    char name[kFieldSize], source[kFieldSize], destination[kFieldSize];
    list_get_cell(engine.list, change.row, col_file_name, name);
    list_get_cell(engine.list, change.row, col_source, source);
    list_get_cell(engine.list, change.row, col_destination, destination);
    if (change.row >= list_row_count(engine.list) || change.entry_source != source || change.entry_name != name ||
        destination[0] == 0)
        return false;
    bool tree = name[0] == '*';
    Outcome out = copy_changed_file(engine, change.row, change.folder.c_str(), destination, change.relative.c_str(),
                                    change.name.c_str(), source, tree ? nullptr : name);
    step = StepEnd{};
    step.copied = out.copied;
    return true;
}

}  // namespace

unsigned long worker_loop(Engine& engine)
{
    engine.report.first_pass_of_run = true;
    // Only a standby run watches: a continuous run copies at full speed to
    // its end, and between scheduled runs nothing runs.
    SourceWatch watch;
    if (engine.flags.run_mode.load() == 0 && engine.watch_sources) {
        watch.start(engine);
        engine.watch = &watch;
    }
    while (run_active(engine.flags)) {
        // A copy error waits for the window's reaction (at its next tick)
        // instead of trying the file again meanwhile: each reaction is one
        // try of the three after which a file is passed.
        if (engine.flags.error_pending.load() != 0) {
            pause_unless_stopped(engine, kErrorWaitMs);
            continue;
        }
        StepEnd step;
        if (engine.watch == nullptr || !back_up_watched_change(engine, watch, step))
            step = backup_step(engine);
        pause_unless_stopped(engine, pause_after_step(engine, step));
        // Gives the window's tick timer time to see the end of the list and
        // stop the run before the next step begins the list anew. A folder
        // deleted and made again is watched again from the next pass.
        if (engine.flags.list_finished.load() == 1) {
            pause_unless_stopped(engine, kEndOfListPauseMs);
            watch.revive(engine);
        }
    }
    engine.watch = nullptr;
    end_pass_report(engine, true);  // a stop before the end of the pass
    return 0;
}

void stop_worker(Engine& engine)
{
    if (!run_active(engine.flags))
        return;
    request_stop(engine);

    // Only 0 asks for it: the settings dialog shows any other value as
    // "スレッド終了処理中の表示をしない" checked.
    bool dialog = engine.settings.thread_dialog_mode == 0;
    if (dialog && engine.notifier.begin_stop_wait)
        engine.notifier.begin_stop_wait();
    bool ended = !engine.worker_thread;
    for (int test = 1; !ended && test <= kStopTests; ++test)
        ended = WaitForSingleObject(engine.worker_thread.get(), test < kStopTests ? 1000 : 0) == WAIT_OBJECT_0;
    if (ended)
        release_ended_worker(engine);
    if (dialog && engine.notifier.end_stop_wait)
        engine.notifier.end_stop_wait();

    // The handle stays in engine.worker_thread, so no second worker starts
    // while this one still finishes its step. Without owner: at the end of
    // the program the main window is being destroyed.
    if (!ended)
        notify_message(engine.notifier, "Threadを強制終了しました。", "Quillsave", MessageKind::plain,
                       MessageOwner::none);
}

bool stop_worker_within(Engine& engine, unsigned ms)
{
    if (run_active(engine.flags))
        request_stop(engine);
    if (engine.worker_thread)
        WaitForSingleObject(engine.worker_thread.get(), ms);
    return release_ended_worker(engine);
}
