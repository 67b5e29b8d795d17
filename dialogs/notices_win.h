// The main window's two notices: the notice of an automatic start, which
// closes itself, and the thread wait dialog shown while a stop waits.
#pragma once
#include <windows.h>

// Modal; returns after the notice has been on screen 3 seconds.
void show_auto_start_notice(HWND owner);
// Modeless and painted at once: the caller's thread blocks in the stop that
// follows. Returns the dialog (null when it cannot be made); the caller
// destroys it.
HWND open_thread_wait_dialog_of(HWND owner);
