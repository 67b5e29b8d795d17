// The main window's two dialogs: the notice of an automatic start, which
// closes itself, and the thread wait dialog shown while a stop waits.
#include "dialogs/notices_win.h"

#include "base/dialog_paint_win.h"
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
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_AUTO_START), owner, notice_proc, 0);
}

HWND open_thread_wait_dialog_of(HWND owner)
{
    HWND dialog =
        CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_THREAD_WAIT), owner, thread_wait_proc, 0);
    if (dialog == nullptr)
        return nullptr;
    ShowWindow(dialog, SW_SHOWNORMAL);
    // The stop blocks this thread until the worker has ended, so no message
    // would paint the dialog: it is painted here, or it shows empty.
    UpdateWindow(dialog);
    return dialog;
}
