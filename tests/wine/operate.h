// Operating the program's modal dialogs from a second thread, as a user
// would: the thread waits for the window, then acts on it through its
// control ids while the program's thread runs the dialog.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "base/text.h"

inline BOOL CALLBACK close_thread_window(HWND window, LPARAM)
{
    PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

// Runs action on the first window that find returns within a minute (the
// first dialog of a new prefix is slow). A window that never comes fails the
// test, and whatever ui_thread shows is closed so it cannot hang.
inline std::thread operate(DWORD ui_thread, std::function<HWND()> find, std::function<void(HWND)> action,
                           const std::string& what)
{
    return std::thread([=] {
        HWND window = nullptr;
        for (int i = 0; i < 3000 && !window; ++i) {
            Sleep(20);
            window = find();
        }
        if (!window) {
            ADD_FAILURE() << "no window: " << what;
            EnumThreadWindows(ui_thread, close_thread_window, 0);
            return;
        }
        Sleep(150);  // let it fill its controls first
        action(window);
    });
}

inline std::thread operate_titled(DWORD ui_thread, const char* title, std::function<void(HWND)> action)
{
    return operate(ui_thread, [=] { return FindWindowA("#32770", title); }, action, title);
}

inline void press(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

inline std::string field(HWND dialog, int id)
{
    char text[kFieldSize] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}
