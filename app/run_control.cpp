// When runs start and stop: the three timers of the main window, the start
// sequence shared by every start path, the menu graying during a run and the
// tray icon's notifications.
#include <windows.h>

#include "app/app.h"
#include "engine/schedule.h"
#include "engine/worker_win.h"
#include "resources/resource.h"

namespace {

void on_schedule_check()
{
    Engine& e = engine();
    if (run_active(e.flags) || !schedule_due(e.settings))
        return;
    e.flags.run_mode = 0;
    e.flags.list_finished = 0;
    start_run(StartBy::timer, StartKind::schedule);
    update_status_bar();
}

// The power-off of a finished continuous run is asked once per run. The
// request ends other programs without asking them, so the four files are
// written first: the session must survive even when this window never sees
// its WM_DESTROY.
void power_off_after_run()
{
    Shell& s = shell();
    if (s.power_off_asked)
        return;
    s.power_off_asked = true;
    save_program_files();
    s.power_off(s.main_window);
}

void on_end_of_list_check()
{
    Engine& e = engine();
    if (e.flags.list_finished.load() == 0)
        return;
    int run_mode = e.flags.run_mode.load();
    if (e.settings.set_t_mode != 0 || run_mode == 1) {
        stop_worker(e);
        update_status_bar();
        set_small_icon(shell().idle_icon);
        update_tray_icon(shell().main_window);
    }
    if (run_mode == 1 && e.settings.shutdown_mode != 0)
        power_off_after_run();
}

void on_copy_error_check()
{
    Engine& e = engine();
    Shell& s = shell();
    if (e.flags.error_pending.load() != 1)
        return;
    e.flags.error_pending = 0;
    stop_worker(e);
    set_small_icon(s.idle_icon);
    update_tray_icon(s.main_window);
    int mode = e.settings.rw_error_mode;
    if (mode == 1) {
        SetTimer(s.main_window, kRestartTimer, timer_ms(e.settings.restart_time), nullptr);
        e.flags.paused = 1;
    }
    update_status_bar();
    if (mode == 3) {
        if (s.in_tray)
            restore_from_tray(s.main_window);
        DestroyWindow(s.main_window);
    }
}

// A pass that ended with files not backed up is told without being looked
// for: the tray's tip says it while it holds, and once, a balloon when the
// program lives in the tray. The status bar reads the same count.
void on_pass_end_check()
{
    Engine& e = engine();
    Shell& s = shell();
    int ended = e.report.passes_ended.load();
    bool new_end = ended != s.passes_seen;
    s.passes_seen = ended;
    int missed = e.report.missed_told.load();
    if (new_end || missed != s.missed_shown) {
        s.missed_shown = missed;
        update_tray_icon(s.main_window);
        update_status_bar();
    }
    if (new_end && missed > 0 && s.in_tray)
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
    Shell& s = shell();
    KillTimer(s.main_window, kStartUpTimer);
    bool resume = e.progress.folder_count.load() != 0 || e.progress.file_count.load() != 0 ||
                  e.settings.set_t_mode == 0;
    if (resume && !run_active(e.flags) && s.auto_start == -1)
        start_run(StartBy::timer, StartKind::auto_start);
    SetTimer(s.main_window, kTickTimer, 1000, nullptr);
    s.auto_start = 0;
}

// Keeps firing until the pause is ended by hand; a start while the run is
// still active does nothing.
void on_restart_timer()
{
    Engine& e = engine();
    if (e.settings.rw_error_mode != 1)
        return;
    start_run(StartBy::timer, StartKind::after_error);
    e.flags.paused = 0;
}

}  // namespace

void set_small_icon(HICON icon)
{
    SendMessageA(shell().main_window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

UINT timer_ms(int seconds)
{
    constexpr int kLongest = 0x7FFFFFFF / 1000;  // USER_TIMER_MAXIMUM in seconds
    if (seconds < 0)
        seconds = 0;
    if (seconds > kLongest)
        seconds = kLongest;
    return static_cast<UINT>(seconds) * 1000u;
}

void start_run(StartBy by, StartKind kind)
{
    Engine& e = engine();
    Shell& s = shell();
    bool was_running = run_active(e.flags);
    if (!was_running)
        e.report.start_kind = static_cast<int>(kind);
    if (start_worker(e) != 0) {
        auto box = by == StartBy::timer ? timer_message_box : shell_message_box;
        box("スレッド起動に失敗しました", "Quillsave", MB_OK);
    } else {
        if (!was_running)
            s.power_off_asked = false;
        set_small_icon(s.running_icon);
    }
    update_tray_icon(s.main_window);
}

void on_timer(UINT_PTR id)
{
    // A box of a timer's own path is open: its loop delivers the timers, and
    // a reaction now could open the same failure again inside it.
    if (shell().timer_boxes_open > 0)
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

void on_tray_notify(WPARAM id, LPARAM mouse_message)
{
    if (id != kTrayIconId)
        return;
    HWND window = shell().main_window;
    if (mouse_message == WM_LBUTTONDBLCLK)
        restore_from_tray(window);
    else if (mouse_message == WM_RBUTTONDOWN)
        show_tray_menu(window);
}
