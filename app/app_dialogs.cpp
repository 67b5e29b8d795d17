// The main window's two dialogs: the notice of an automatic start, which
// closes itself, and the thread wait dialog shown while a stop waits.
#include <windows.h>

#include "dialogs/dialog_paint_win.h"
#include "app/app.h"
#include "app/main_window.h"
#include "resources/resource.h"

namespace {

constexpr UINT_PTR kNoticeTimer = 1;
constexpr UINT kNoticeMs = 3000;

// Counted from the last paint, so the notice stays 3 seconds on screen.
INT_PTR on_notice_paint(HWND dialog)
{
    SetTimer(dialog, kNoticeTimer, kNoticeMs, nullptr);
    return FALSE;  // the dialog paints itself as usual
}

INT_PTR on_notice_timer(HWND dialog, WPARAM id)
{
    if (id != kNoticeTimer)
        return FALSE;
    KillTimer(dialog, kNoticeTimer);
    EndDialog(dialog, 1);
    return TRUE;
}

// No buttons and no system menu: the user cannot close it, and commands are
// ignored.
INT_PTR CALLBACK notice_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_PAINT: return on_notice_paint(dialog);
    case WM_TIMER: return on_notice_timer(dialog, wparam);
    default: return FALSE;
    }
}

INT_PTR CALLBACK thread_wait_proc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_PAINT: return validate_dialog_paint(dialog);
    default: return FALSE;
    }
}

}  // namespace

void show_auto_start_notice(HWND owner)
{
    DialogBoxParamA(app().instance, MAKEINTRESOURCEA(IDD_AUTO_START), owner, notice_proc, 0);
}

void open_thread_wait_dialog(HWND owner)
{
    App& a = app();
    a.wait_dialog = CreateDialogParamA(a.instance, MAKEINTRESOURCEA(IDD_THREAD_WAIT), owner, thread_wait_proc, 0);
    if (a.wait_dialog == nullptr)
        return;
    ShowWindow(a.wait_dialog, SW_SHOWNORMAL);
    // The stop blocks this thread until the worker has ended, so no message
    // would paint the dialog: it is painted here, or it shows empty.
    UpdateWindow(a.wait_dialog);
}

void close_thread_wait_dialog()
{
    App& a = app();
    if (a.wait_dialog != nullptr)
        DestroyWindow(a.wait_dialog);
    a.wait_dialog = nullptr;
}
