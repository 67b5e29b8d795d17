// The tray icon, which shows whether a run is active while the main window
// is hidden, and the power-off after a finished continuous run (tray.cpp).
#pragma once
#include <windows.h>

// The tray icon's id and notification message.
constexpr UINT kTrayIconId = 901;
constexpr UINT kTrayMessage = WM_USER;

// True when the shell holds the icon.
bool add_tray_icon(HWND window);
// The icon of the run's state, for the tray and the window's small icon.
HICON run_icon();
void update_tray_icon();
// Out of the tray (the double click, the tray menu, a later start, and the
// ends from the tray): the icon removed, the window shown.
void restore_from_tray(HWND window);
// Hides the window in the tray, or minimizes it while no shell takes the
// icon; never leaves it hidden without one.
void send_to_tray(HWND window);
// The shell started again: the icon is added anew.
void on_taskbar_created(HWND window);
// The icon gone at the end of the session; the window stays as it is.
void remove_tray_icon();
// The double click brings the window back, the right button opens the tray
// menu.
void on_tray_notify(WPARAM id, LPARAM mouse_message);
// The one balloon after a pass that left files not backed up.
void show_missed_balloon(int missed);
