// The tray icon, which shows whether a run is active while the main window
// is hidden, and the power-off after a finished continuous run.
#include <windows.h>
#include <shellapi.h>

#include "app/tray.h"
#include "app/app.h"
#include "base/handle_win.h"
#include "resources/resource.h"

namespace {

// "Quillsave", or after a pass that left files not backed up, their count
// too, until the next pass begins. Within the 64 bytes of the first form.
void set_tip_for_run(NOTIFYICONDATAA& tray)
{
    int missed = engine().report.missed_told.load();
    if (missed > 0)
        wsprintfA(tray.szTip, "Quillsave - %d件バックアップできませんでした", missed);
    else
        copy_field(tray.szTip, "Quillsave");
}

void show_tray_menu(HWND window)
{
    HMENU menu = LoadMenuA(app().instance, MAKEINTRESOURCEA(IDM_TRAY));
    if (menu == nullptr)
        return;
    // The restore window is modal over the main window only: the tray could
    // open a second one over it.
    EnableMenuItem(menu, IDM_TRAY_RESTORE_FILES, MF_BYCOMMAND | (app().restore_open ? MF_GRAYED : MF_ENABLED));
    POINT cursor = {};
    GetCursorPos(&cursor);
    // Foreground first, so that the menu closes when the user clicks
    // elsewhere.
    SetForegroundWindow(window);
    TrackPopupMenu(GetSubMenu(menu, 0), TPM_BOTTOMALIGN, cursor.x, cursor.y, 0, window, nullptr);
    DestroyMenu(menu);
}

}  // namespace

// LoadIconA hands out one shared handle per icon, so the window's small icon
// and the tray's are the same handles however often they are set.
HICON run_icon()
{
    int id = run_active(engine().flags) ? IDI_RUNNING : IDI_IDLE;
    return LoadIconA(app().instance, MAKEINTRESOURCEA(id));
}

// The record keeps its first, 88-byte form (64-byte tip), which every
// version of the shell accepts. An icon the shell still holds from before
// (it announced itself again without losing its icons) refuses the add but
// takes the change, and counts as added.
bool add_tray_icon(HWND window)
{
    NOTIFYICONDATAA& tray = app().tray;
    tray = NOTIFYICONDATAA{};
    tray.cbSize = NOTIFYICONDATAA_V1_SIZE;
    tray.hWnd = window;
    tray.uID = kTrayIconId;
    tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    tray.uCallbackMessage = kTrayMessage;
    tray.hIcon = run_icon();
    set_tip_for_run(tray);
    return Shell_NotifyIconA(NIM_ADD, &tray) || Shell_NotifyIconA(NIM_MODIFY, &tray);
}

void update_tray_icon()
{
    App& a = app();
    a.tray.hIcon = run_icon();
    set_tip_for_run(a.tray);
    if (a.in_tray)
        Shell_NotifyIconA(NIM_MODIFY, &a.tray);
}

// The balloon needs the record's second form; the kept record stays in the
// first, which every shell takes.
void show_missed_balloon(int missed)
{
    NOTIFYICONDATAA balloon = app().tray;
    balloon.cbSize = NOTIFYICONDATAA_V2_SIZE;
    balloon.uFlags = NIF_INFO;
    balloon.dwInfoFlags = NIIF_WARNING;
    copy_field(balloon.szInfoTitle, "Quillsave");
    wsprintfA(balloon.szInfo, "%d件のファイルをバックアップできませんでした。理由はメニューの「報告を開く」で見られます。",
              missed);
    Shell_NotifyIconA(NIM_MODIFY, &balloon);
}

// The small icon needs no setting here: every start and stop sets it while
// the window is hidden too.
void restore_from_tray(HWND window)
{
    App& a = app();
    Shell_NotifyIconA(NIM_DELETE, &a.tray);
    ShowWindow(window, SW_SHOWNORMAL);
    a.in_tray = 0;
}

// At logon the program may start before the shell, and the shell may be
// restarting: the window then stays minimized on the taskbar, where the
// user can reach it, until the shell announces itself.
void send_to_tray(HWND window)
{
    App& a = app();
    if (add_tray_icon(window)) {
        ShowWindow(window, SW_HIDE);
        a.in_tray = 1;
        a.tray_pending = 0;
        return;
    }
    a.in_tray = 0;
    a.tray_pending = 1;
    ShowWindow(window, SW_MINIMIZE);
}

// A new shell starts with an empty tray. A window the user brought back
// from the taskbar meanwhile stays where it is.
void on_taskbar_created(HWND window)
{
    App& a = app();
    if (a.in_tray || (a.tray_pending && IsIconic(window)))
        send_to_tray(window);
}

void remove_tray_icon()
{
    App& a = app();
    if (a.in_tray)
        Shell_NotifyIconA(NIM_DELETE, &a.tray);
    a.in_tray = 0;
}

void on_tray_notify(WPARAM id, LPARAM mouse_message)
{
    if (id != kTrayIconId)
        return;
    HWND window = app().main_window;
    if (mouse_message == WM_LBUTTONDBLCLK)
        restore_from_tray(window);
    else if (mouse_message == WM_RBUTTONDOWN)
        show_tray_menu(window);
}
