// The user interface's process-wide state (App) beside the program's one
// Engine, and what every part of app/ shares: the message boxes and the
// engine's way to the windows. Everything here runs on the user-interface
// thread, except the atomics of App.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <atomic>

#include "engine/engine.h"

// Named App, not after the Explorer shell whose tray it deals with: the
// record is this program's windows and what they show of the engine.
struct App {
    HINSTANCE instance = nullptr;
    HWND main_window = nullptr;
    HWND list_view = nullptr;
    HWND status_bar = nullptr;
    HWND wait_dialog = nullptr;  // the thread wait dialog while a stop waits
    DWORD ui_thread = 0;
    // 0 no switch; 1..3 the switch found; -1 hidden to the tray at the first
    // paint, automatic start pending until the start-up timer fires.
    int auto_start = 0;
    int in_tray = 0;
    // The window should be in the tray but the shell took no icon: it waits
    // minimized on the taskbar until the shell announces itself.
    int tray_pending = 0;
    // The message the shell broadcasts when it starts ("TaskbarCreated").
    UINT taskbar_created = 0;
    NOTIFYICONDATAA tray{};
    // Message boxes open that the timers' own paths raised (the start failure
    // of a timed start, the power-off failures). A box runs its own message
    // loop, so timers arrive inside it; while one of these is open the timers
    // do nothing, so a failure that repeats cannot stack box upon box. Any
    // other box leaves them running: a scheduled start or the end of a run
    // must not be lost to a box the user left open.
    int timer_boxes_open = 0;
    // The power-off has been asked for the run that finished; cleared by
    // the next real start.
    bool power_off_asked = false;
    // The passes whose end the program has told, and the count of files not
    // backed up that the tray and the status bar show.
    int passes_seen = 0;
    int missed_shown = 0;
    // A refresh message is queued, or its refresh waits for the refresh
    // timer; at most one is. last_refresh: GetTickCount at the last refresh
    // the worker asked for.
    std::atomic<bool> refresh_posted{false};
    DWORD last_refresh = 0;
    // Windows is ending the session: nobody is left to answer a box, and one
    // would hold back every file written after it until Windows ends the
    // process, so the engine's messages are not shown from then on.
    std::atomic<bool> session_ending{false};
    // A restore is writing files: no run starts (run_control.cpp), and a
    // scheduled start that falls due meanwhile waits for its end.
    bool runs_held = false;
    bool start_due_while_held = false;
    // The restore window is open: a second one from the tray would stand
    // over the first.
    bool restore_open = false;
    char current_list_file[kFieldSize] = {};
    // The program's own entry clipboard: empty at start, never saved.
    EntryBuffer entry_buffer{};
};

App& app();
Engine& engine();

// The program's message boxes: owned by the main window while it exists.
// timer_message_box is the one for the timers' own paths, counted in
// timer_boxes_open.
int app_message_box(const char* text, const char* caption, UINT flags);
int timer_message_box(const char* text, const char* caption, UINT flags);
// Connects the engine's notifier to the program's windows.
void install_notifier();
// Before the first window: COM apartment-threaded on this thread, as the
// folder browsers (SHBrowseForFolderA) require, and the common controls.
void prepare_ui_thread();
