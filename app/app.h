// The shell's process-wide state and the operations the main window, its
// timers, the tray and the menu commands share. Everything here runs on the
// user-interface thread, except request_list_refresh (any thread).
#pragma once
#include <windows.h>
#include <shellapi.h>

#include <atomic>

#include "engine/engine.h"

// Private message of the main window: the worker asked for a refresh of the
// list view's changed rows and of the status bar.
constexpr UINT kRefreshMessage = WM_APP + 1;
// Private message of the main window: a later start in the same working
// folder asks for the window.
constexpr UINT kShowMessage = WM_APP + 2;
// The tray icon's id and notification message.
constexpr UINT kTrayIconId = 901;
constexpr UINT kTrayMessage = WM_USER;

// Timers of the main window.
constexpr UINT_PTR kTickTimer = 1;
constexpr UINT_PTR kStartUpTimer = 2;
constexpr UINT_PTR kRestartTimer = 3;

// How long the end of the session waits for the worker. Windows gives a
// program about five seconds after it announced the end before it ends the
// program or lists it as blocking the shutdown; the worker's stop is at
// once in every pause, and a chunk of a standby copy takes milliseconds, so
// two seconds leave the rest for the four files.
constexpr unsigned kSessionEndWaitMs = 2000;

int shut_down_system(HWND owner);

struct Shell {
    HINSTANCE instance = nullptr;
    HWND main_window = nullptr;
    HWND list_view = nullptr;
    HWND status_bar = nullptr;
    HWND wait_dialog = nullptr;  // the thread wait dialog while a stop waits
    HICON idle_icon = nullptr;
    HICON running_icon = nullptr;
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
    // The passes whose end the shell has told, and the count of files not
    // backed up that the tray and the status bar show.
    int passes_seen = 0;
    int missed_shown = 0;
    // How the power-off is asked for; tests put a recorder here, since the
    // real request would end every program of the session.
    int (*power_off)(HWND owner) = shut_down_system;
    // How the program ends at once when its worker outlived the last stop;
    // tests put a recorder here.
    void(WINAPI* exit_process)(UINT code) = ExitProcess;
    // A refresh message is queued; at most one is.
    std::atomic<bool> refresh_posted{false};
    // Windows is ending the session: nobody is left to answer a box, and one
    // would hold back every file written after it until Windows ends the
    // process, so the engine's messages are not shown from then on.
    std::atomic<bool> session_ending{false};
    char current_list_file[kFieldSize] = {};
    // The program's own entry clipboard: empty at start, never saved.
    EntryBuffer entry_buffer{};
};

Shell& shell();
Engine& engine();

// Main window (main_window.cpp).
int run_program(HINSTANCE instance, const char* arguments, int show);

// The program's start and end (lifetime.cpp).
// Makes this program the one of its working folder (the current directory,
// compared as Windows compares paths). False when another program already
// runs there: this start must then touch none of the four files, show
// nothing and end; without a switch it has asked that program to show its
// main window first.
bool claim_working_folder(int auto_start);
// The main window that a later start in this folder asks to show.
void publish_main_window(HWND window);
// A later start asked for the window: out of the tray or the taskbar, to
// the front.
void show_main_window(HWND window);
void load_program_files();
void save_program_files();
// The end of the program, from WM_DESTROY: the run stopped, the timers
// killed, the four files written; then, if the worker is still alive, the
// process ends at once (exit code 0) instead of freeing the engine under it.
void finish_program(HWND window);
// The end of the Windows session (WM_ENDSESSION with TRUE): the same end
// with at most kSessionEndWaitMs of waiting for the worker and no box, the
// tray icon removed; then the process ends (exit code 0).
void end_session(HWND window);

// Message boxes of the shell: owned by the main window while it exists.
// timer_message_box is the one for the timers' own paths, counted in
// timer_boxes_open.
int shell_message_box(const char* text, const char* caption, UINT flags);
int timer_message_box(const char* text, const char* caption, UINT flags);
// Connects the engine's notifier to this shell's windows.
void install_notifier();
// Before the first window: COM apartment-threaded on this thread, as the
// folder browsers (SHBrowseForFolderA) require, and the common controls.
void prepare_ui_thread();
// Any thread: queues one refresh message unless one is queued already.
void request_list_refresh();

// List view and status bar (list_view.cpp, status_bar.cpp).
HWND create_list_view(HWND parent);
HWND create_status_bar(HWND parent);
void on_list_get_disp_info(NMHDR* header);
// Repaints the rows changed since the last refresh (all of them when rows
// were added or removed) and the status bar; never the main window.
void refresh_list_view();
void update_status_bar();

// Run control (run_control.cpp).
// Milliseconds of a timer of `seconds` (start_time, restart_time). A
// hand-edited set.ini can hold any number: a negative one would wrap to a
// timer of weeks and the tick timer would never come, so the seconds are
// kept to 0 .. 2147483 (the longest timer Windows keeps).
UINT timer_ms(int seconds);
// Who asks for the start: a start failure of a timer mutes the timers while
// its box is open.
enum class StartBy { user, timer };
// kind is what the report says of how the run started.
void start_run(StartBy by, StartKind kind = StartKind::by_hand);
void set_small_icon(HICON icon);
void on_timer(UINT_PTR id);
void on_init_menu_popup(HMENU menu);
void on_tray_notify(WPARAM id, LPARAM mouse_message);

// Menu commands (commands.cpp).
void on_command(int id);
// A run is active or a worker is still alive (a stop gave up waiting for it):
// the one test of whether a command may change what the worker works on.
// Refused commands do nothing and say nothing; their menu items are grayed.
bool list_locked();
// Grays the items of the commands refused now, and enables the others.
void gray_refused_commands(HMENU menu);

// Tray and shutdown (tray.cpp).
// True when the shell holds the icon.
bool add_tray_icon(HWND window);
void update_tray_icon(HWND window);
void restore_from_tray(HWND window);
// restore_from_tray with the small icon set by the run.
void leave_tray(HWND window);
// Hides the window in the tray, or minimizes it while no shell takes the
// icon; never leaves it hidden without one.
void send_to_tray(HWND window);
// The shell started again: the icon is added anew.
void on_taskbar_created(HWND window);
// The icon gone at the end of the session; the window stays as it is.
void remove_tray_icon();
void show_tray_menu(HWND window);
// The one balloon after a pass that left files not backed up.
void show_missed_balloon(int missed);

// Dialogs of the shell (shell_dialogs.cpp).
void show_auto_start_notice(HWND owner);
void open_thread_wait_dialog(HWND owner);
void close_thread_wait_dialog();
