// The two ends no test may really make, called through these pointers so
// that a test puts a recorder in their place: the power-off after a
// continuous run would end every program of the session, and the end of the
// process after a stop the worker outlived would end the test. The fault
// suite's program (test_seams.cpp) replaces the power-off too.
#pragma once
#include <windows.h>

#include "app/lifetime.h"

struct TestHooks {
    int (*power_off)(HWND owner) = shut_down_system;
    void(WINAPI* exit_process)(UINT code) = ExitProcess;
};

TestHooks& test_hooks();
