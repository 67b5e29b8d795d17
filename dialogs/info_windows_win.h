// The three information windows: the copy name window (dialog 7), the about
// box (dialog 2) and the mode explanation window (dialog 5). Each open makes
// a new modeless window owned by owner and shows it; any number may be open
// at once. They close by their button or close box.
#pragma once
#include <windows.h>

#include "engine/engine.h"

// The window shows the pair in paths, read whole every 500 ms from its first
// paint on; paths must outlive it. Each returns the window, or null.
HWND open_copy_name_window(HWND owner, const CopyPaths& paths);
HWND open_about_box(HWND owner);
HWND open_mode_help_window(HWND owner);

// For the message loop: a message for an open information window or one of
// its controls is handled as a dialog's (Tab, Enter, Escape) and true comes
// back; it must then not be dispatched again.
bool route_info_window_message(MSG& msg);
// How many information windows are open (the tests count them).
int open_info_window_count();
