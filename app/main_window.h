// The main window and what it is made of: its messages and timers, the list
// view and the status bar, the menu commands and the two dialogs it owns.
#pragma once
#include <windows.h>

// Private message of the main window: the worker asked for a refresh of the
// list view's changed rows and of the status bar.
constexpr UINT kRefreshMessage = WM_APP + 1;
// Private message of the main window: a later start in the same working
// folder asks for the window.
constexpr UINT kShowMessage = WM_APP + 2;

// Timers of the main window.
constexpr UINT_PTR kTickTimer = 1;
constexpr UINT_PTR kStartUpTimer = 2;
constexpr UINT_PTR kRestartTimer = 3;
constexpr UINT_PTR kRefreshTimer = 4;

// The program's entry after WinMain (main_window.cpp).
int run_program(HINSTANCE instance, const char* arguments, int show);

// List view and status bar (list_view.cpp, status_bar.cpp).
HWND create_list_view(HWND parent);
HWND create_status_bar(HWND parent);
void on_list_get_disp_info(NMHDR* header);
// Repaints the rows changed since the last refresh (all of them when rows
// were added or removed) and the status bar; never the main window.
void refresh_list_view();
void update_status_bar();
// Any thread: queues one refresh message unless one is queued already.
void request_list_refresh();
// The worker's refresh message and the refresh timer: the refresh now, or
// on the timer when the last one was too recent.
void on_refresh_request(HWND window);
void on_refresh_timer(HWND window);

// Menu commands (commands.cpp).
void on_command(int id);
// A run is active or a worker is still alive (a stop gave up waiting for it):
// the one test of whether a command may change what the worker works on.
// Refused commands do nothing and say nothing; their menu items are grayed.
bool list_locked();
// Grays the items of the commands refused now, and enables the others.
void gray_refused_commands(HMENU menu);

// The thread wait dialog (dialogs/notices_win.h) while a stop waits for the
// worker, held in app().wait_dialog.
void open_thread_wait_dialog(HWND owner);
void close_thread_wait_dialog();
