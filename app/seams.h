// The test seams of app/: one record, reached by app_seams(), whose default
// values are the program's behaviour. They are the two ends no test may
// really make, called through these pointers so that a test puts a
// recorder in their place: the power-off after a continuous run would end
// every program of the session, and the end of the process after a stop the
// worker outlived would end the test. The fault suite's program
// (test_seams.cpp) replaces the power-off too. A test puts the record back
// to AppSeams{} at its end.
#pragma once
#include <windows.h>

#include "app/lifetime.h"

struct AppSeams {
    int (*power_off)(HWND owner) = shut_down_system;
    void(WINAPI* exit_process)(UINT code) = ExitProcess;
};

AppSeams& app_seams();
