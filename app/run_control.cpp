// When runs start and stop: the three timers of the main window, the start
// and the stop shared by every path, the run's look, and the menu graying
// during a run.
#include <windows.h>

#include "app/run_control.h"
#include "app/app.h"
#include "app/lifetime.h"
#include "app/main_window.h"
#include "app/seams.h"
#include "app/tray.h"
#include "engine/schedule.h"
#include "engine/settings_table.h"
#include "engine/worker.h"
#include "resources/resource.h"

namespace {

void on_schedule_check()
{
    Engine& e = engine();
    if (run_active(e.flags) || !schedule_due(e.settings))
        return;
    // The schedule's start lasts five seconds of its minute: a restore
    // longer than that would lose it.
    if (app().runs_held) {
        app().start_due_while_held = true;
        return;
    }
    start_run(StartBy::timer, StartKind::schedule, RunMode::standby);
}

// The power-off of a finished continuous run is asked once per run. The
// request ends other programs without asking them, so the four files are
// written first: the session must survive even when this window never sees
// its WM_DESTROY.
void power_off_after_run()
{
    App& a = app();
    if (a.power_off_asked)
        return;
    a.power_off_asked = true;
    save_program_files();
    app_seams().power_off(a.main_window);
}

void on_end_of_list_check()
{
    Engine& e = engine();
    if (e.flags.list_finished.load() == 0)
        return;
    int run_mode = e.flags.run_mode.load();
    if (e.settings.set_t_mode != 0 || run_mode == 1)
        stop_run();
    if (run_mode == 1 && e.settings.shutdown_mode != 0)
        power_off_after_run();
}

void on_copy_error_check()
{
    Engine& e = engine();
    App& a = app();
    if (e.flags.error_pending.load() != 1)
        return;
    e.flags.error_pending = 0;
    int mode = e.settings.rw_error_mode;
    stop_run(mode == 1 ? Pause::begin : Pause::keep);
    if (mode == 3) {
        if (a.in_tray)
            restore_from_tray(a.main_window);
        DestroyWindow(a.main_window);
    }
}

// A pass that ended with files not backed up is told without being looked
// for: the tray's tip says it while it holds, and once, a balloon when the
// program lives in the tray. The status bar reads the same count.
void on_pass_end_check()
{
    Engine& e = engine();
    App& a = app();
    int ended = e.report.passes_ended.load();
    bool new_end = ended != a.passes_seen;
    a.passes_seen = ended;
    int missed = e.report.missed_told.load();
    if (new_end || missed != a.missed_shown) {
        a.missed_shown = missed;
        show_run_state();
    }
    if (new_end && missed > 0 && a.in_tray)
        show_missed_balloon(missed);
}

void on_tick_timer()
{
    on_schedule_check();
    on_end_of_list_check();
    on_copy_error_check();
    on_pass_end_check();
}

// After an automatic start the run begins here, but only to resume an
// interrupted walk or for the never-ending schedule; its later firings only
// arm the tick timer.
void on_start_up_timer()
{
    Engine& e = engine();
    App& a = app();
    KillTimer(a.main_window, kStartUpTimer);
    bool resume = e.progress.folder_count.load() != 0 || e.progress.file_count.load() != 0 ||
                  e.settings.set_t_mode == 0;
    if (resume && !run_active(e.flags) && a.auto_start == -1)
        start_run(StartBy::timer, StartKind::auto_start, RunMode::as_before);
    SetTimer(a.main_window, kTickTimer, 1000, nullptr);
    a.auto_start = 0;
}

// Keeps firing until the pause is ended by hand; a start while the run is
// still active does nothing.
void on_restart_timer()
{
    Engine& e = engine();
    if (e.settings.rw_error_mode != 1)
        return;
    start_run(StartBy::timer, StartKind::after_error, RunMode::as_before);
    e.flags.paused = 0;
}

}  // namespace

void show_run_state()
{
    HICON icon = run_icon();
    SendMessageA(app().main_window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    update_tray_icon();
    update_status_bar();
}

UINT timer_ms(int seconds)
{
    return static_cast<UINT>(kept_in(kTimer, seconds)) * 1000u;
}

void start_run(StartBy by, StartKind kind, RunMode mode)
{
    Engine& e = engine();
    if (app().runs_held)
        return;
    bool was_running = run_active(e.flags);
    if (!was_running) {
        e.report.start_kind = static_cast<int>(kind);
        if (mode != RunMode::as_before) {
            e.flags.run_mode = static_cast<int>(mode);
            e.flags.list_finished = 0;
        }
    }
    if (start_worker(e) != 0) {
        auto box = by == StartBy::timer ? timer_message_box : app_message_box;
        box("スレッド起動に失敗しました", "Quillsave", MB_OK);
    } else if (!was_running) {
        app().power_off_asked = false;
    }
    show_run_state();
}

// The restart timer goes with the pause it serves: armed where a copy error
// begins one, killed where the user ends it.
void stop_run(Pause pause)
{
    Engine& e = engine();
    HWND window = app().main_window;
    stop_worker(e);
    if (pause == Pause::begin) {
        SetTimer(window, kRestartTimer, timer_ms(e.settings.restart_time), nullptr);
        e.flags.paused = 1;
    } else if (pause == Pause::end) {
        KillTimer(window, kRestartTimer);
        e.flags.paused = 0;
    }
    show_run_state();
}

void hold_runs()
{
    app().runs_held = true;
    app().start_due_while_held = false;
}

bool release_runs()
{
    App& a = app();
    a.runs_held = false;
    bool due = a.start_due_while_held;
    a.start_due_while_held = false;
    return due;
}

void on_timer(UINT_PTR id)
{
    // The refresh shows what is, so it may come under any box.
    if (id == kRefreshTimer) {
        on_refresh_timer(app().main_window);
        return;
    }
    // A box of a timer's own path is open: its loop delivers the timers, and
    // a reaction now could open the same failure again inside it.
    if (app().timer_boxes_open > 0)
        return;
    // Both keep firing, so their start comes once the hold ends.
    if (app().runs_held && (id == kStartUpTimer || id == kRestartTimer))
        return;
    switch (id) {
    case kTickTimer: on_tick_timer(); break;
    case kStartUpTimer: on_start_up_timer(); break;
    case kRestartTimer: on_restart_timer(); break;
    default: break;
    }
}

void on_init_menu_popup(HMENU menu)
{
    gray_refused_commands(menu);
    EnableMenuItem(menu, IDM_STOP, MF_BYCOMMAND | (run_active(engine().flags) ? MF_ENABLED : MF_GRAYED));
}
