// The program's start and end around its four files, and the power-off
// after a continuous run (lifetime.cpp).
#pragma once
#include <windows.h>

// How long the end of the session waits for the worker. Windows gives a
// program about five seconds after it announced the end before it ends the
// program or lists it as blocking the shutdown; the worker's stop is at
// once in every pause, and a chunk of a standby copy takes milliseconds, so
// two seconds leave the rest for the four files.
constexpr unsigned kSessionEndWaitMs = 2000;

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
// The real power-off, which app_seams().power_off calls unless a test
// replaced it.
int shut_down_system(HWND owner);
