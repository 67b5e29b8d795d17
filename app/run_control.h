// When runs start and stop, and how the run looks (run_control.cpp).
#pragma once
#include <windows.h>

#include "engine/report.h"

// Milliseconds of a timer of `seconds` (start_time, restart_time). A
// hand-edited set.ini can hold any number: a negative one would wrap to a
// timer of weeks and the tick timer would never come, so the seconds are
// kept to 0 .. 2147483 (the longest timer Windows keeps).
UINT timer_ms(int seconds);
// Who asks for the start: a start failure of a timer mutes the timers while
// its box is open.
enum class StartBy { user, timer };
// The mode a start gives the run: standby or continuous for a new run, whose
// list's end is still to come; the starts that take a run up again (the
// automatic start, the restart after an error) keep the mode it had.
enum class RunMode { standby = 0, continuous = 1, as_before };
// kind is what the report says of how the run started. A start while a run
// is active leaves that run as it is.
void start_run(StartBy by, StartKind kind, RunMode mode);
// What a stop does to a pause after an error: a plain stop leaves it and its
// restart timer as they are, a copy error begins one, the user ends it.
enum class Pause { keep, begin, end };
void stop_run(Pause pause = Pause::keep);
// While held, no run starts: a start by hand or by a timer does nothing, the
// start-up and restart timers wait for the end of the hold, and a scheduled
// start that falls due is kept. The release returns whether one fell due.
void hold_runs();
bool release_runs();
// The run as the user sees it, from the run flags alone: the window's small
// icon (title bar and taskbar), the tray's icon and tip, and the status bar.
// Called after every start and stop.
void show_run_state();
void on_timer(UINT_PTR id);
// The menu's items as the run and the worker allow them.
void on_init_menu_popup(HMENU menu);
