// The information windows: each dialog procedure only dispatches; the open
// windows are kept in one list so the message loop can give them their keys.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "dialogs/info_windows_win.h"
#include "base/dc_win.h"
#include "base/dialog_paint_win.h"
#include "base/dpi_win.h"
#include "resources/resource.h"

namespace {

constexpr UINT_PTR kCopyNamesTimer = 1;
constexpr UINT kCopyNamesMs = 500;
// The picture's place and size in the about box, in pixels at 96 DPI.
constexpr int kPictureX = 40;
constexpr int kPictureWidth = 128;
constexpr int kPictureHeight = 64;

// Modeless windows live on the user-interface thread only.
std::vector<HWND>& open_windows()
{
    static std::vector<HWND> windows;
    return windows;
}

void remember_window(HWND window)
{
    open_windows().push_back(window);
}

void forget_window(HWND window)
{
    std::vector<HWND>& windows = open_windows();
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
}

// user goes into DWLP_USER before the window is shown, so before any paint.
HWND open_window(HWND owner, int template_id, DLGPROC procedure, const void* user = nullptr)
{
    HWND window = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(template_id), owner, procedure, 0);
    if (window == nullptr)
        return nullptr;
    if (user != nullptr)
        SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(user));
    ShowWindow(window, SW_SHOWNORMAL);
    return window;
}

// The button, Enter (IDOK while no button is the default) and Escape
// (IDCANCEL), as IsDialogMessageA sends them, close.
INT_PTR on_close_command(HWND window, int id, int button)
{
    if (id != button && id != IDOK && id != IDCANCEL)
        return FALSE;
    DestroyWindow(window);
    return TRUE;
}

INT_PTR on_init_dialog(HWND window)
{
    remember_window(window);
    return TRUE;
}

INT_PTR on_close(HWND window)
{
    DestroyWindow(window);
    return TRUE;
}

// Copy name window: its CopyPaths in DWLP_USER.

// Every paint restarts the same timer; the first one starts the refresh.
INT_PTR on_copy_names_paint(HWND window)
{
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    SetTimer(window, kCopyNamesTimer, kCopyNamesMs, nullptr);
    EndPaint(window, &paint);
    return TRUE;
}

// The pair is copied out under the engine's lock, so the worker can never
// show half a replaced path.
INT_PTR on_copy_names_timer(HWND window, WPARAM id)
{
    auto* paths = reinterpret_cast<const CopyPaths*>(GetWindowLongPtrA(window, DWLP_USER));
    if (id != kCopyNamesTimer || paths == nullptr)
        return FALSE;
    char source[kFieldSize], destination[kFieldSize];
    get_copy_paths(*paths, source, destination);
    SetDlgItemTextA(window, IDC_COPY_SOURCE, source);
    SetDlgItemTextA(window, IDC_COPY_DESTINATION, destination);
    return TRUE;
}

INT_PTR on_copy_names_destroy(HWND window)
{
    KillTimer(window, kCopyNamesTimer);
    forget_window(window);
    return TRUE;
}

INT_PTR CALLBACK copy_names_proc(HWND window, UINT message, WPARAM wparam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return on_init_dialog(window);
    case WM_PAINT: return on_copy_names_paint(window);
    case WM_TIMER: return on_copy_names_timer(window, wparam);
    case WM_COMMAND: return on_close_command(window, LOWORD(wparam), IDCANCEL);
    case WM_CLOSE: return on_close(window);
    case WM_DESTROY: return on_copy_names_destroy(window);
    default: return FALSE;
    }
}

// About box. Its bitmap is held in DWLP_USER from opening to destruction.

HBITMAP about_bitmap(HWND window)
{
    return reinterpret_cast<HBITMAP>(GetWindowLongPtrA(window, DWLP_USER));
}

// A missing picture is told once; the box still opens, without it.
INT_PTR on_about_init(HWND window)
{
    remember_window(window);
    HANDLE bitmap = LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_ABOUT), IMAGE_BITMAP, 0, 0,
                               LR_CREATEDIBSECTION);
    if (bitmap == nullptr)
        MessageBoxA(window, "画像が読み込み出来ません。", "ImageLoad", MB_OK);
    SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(bitmap));
    return TRUE;
}

// At 96 DPI the picture is copied as it is; at any other DPI it is drawn at
// the scaled size, its pixels averaged rather than repeated as blocks.
void draw_picture(HDC dc, HDC memory)
{
    int width = scale_pixels(kPictureWidth);
    int height = scale_pixels(kPictureHeight);
    if (width == kPictureWidth && height == kPictureHeight) {
        BitBlt(dc, kPictureX, 0, kPictureWidth, kPictureHeight, memory, 0, 0, SRCCOPY);
        return;
    }
    int previous = SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, scale_pixels(kPictureX), 0, width, height, memory, 0, 0, kPictureWidth, kPictureHeight, SRCCOPY);
    SetStretchBltMode(dc, previous);
}

// A memory context that could not be made is told and the paint goes on,
// without the picture. One such box at a time: the paints its own loop
// brings would otherwise stack box upon box.
void draw_about_bitmap(HWND window, HDC dc)
{
    static bool telling = false;
    MemoryDC memory(CreateCompatibleDC(nullptr));
    if (memory.get() == nullptr) {
        if (!telling) {
            telling = true;
            MessageBoxA(window, "失敗しました。", "CreateCompatibleDC", MB_OK);
            telling = false;
        }
        return;
    }
    HBITMAP bitmap = about_bitmap(window);
    if (bitmap != nullptr) {
        SelectedObject picture(memory.get(), bitmap);
        draw_picture(dc, memory.get());
    }
}

INT_PTR on_about_paint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    draw_about_bitmap(window, dc);
    EndPaint(window, &paint);
    return TRUE;
}

INT_PTR on_about_destroy(HWND window)
{
    HBITMAP bitmap = about_bitmap(window);
    SetWindowLongPtrA(window, DWLP_USER, 0);
    if (bitmap != nullptr)
        DeleteObject(bitmap);
    forget_window(window);
    return TRUE;
}

INT_PTR CALLBACK about_proc(HWND window, UINT message, WPARAM wparam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return on_about_init(window);
    case WM_PAINT: return on_about_paint(window);
    case WM_COMMAND: return on_close_command(window, LOWORD(wparam), IDC_ABOUT_OK);
    case WM_CLOSE: return on_close(window);
    case WM_DESTROY: return on_about_destroy(window);
    default: return FALSE;
    }
}

// Mode explanation window: only the template.

INT_PTR on_mode_help_destroy(HWND window)
{
    forget_window(window);
    return TRUE;
}

INT_PTR CALLBACK mode_help_proc(HWND window, UINT message, WPARAM wparam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: return on_init_dialog(window);
    case WM_PAINT: return validate_dialog_paint(window);
    case WM_COMMAND: return on_close_command(window, LOWORD(wparam), IDC_MODE_CLOSE);
    case WM_CLOSE: return on_close(window);
    case WM_DESTROY: return on_mode_help_destroy(window);
    default: return FALSE;
    }
}

}  // namespace

HWND open_copy_name_window(HWND owner, const CopyPaths& paths)
{
    return open_window(owner, IDD_COPY_NAMES, copy_names_proc, &paths);
}

HWND open_about_box(HWND owner)
{
    return open_window(owner, IDD_ABOUT, about_proc);
}

HWND open_mode_help_window(HWND owner)
{
    return open_window(owner, IDD_MODE_HELP, mode_help_proc);
}

bool route_info_window_message(MSG& msg)
{
    // A copy: a dialog that closes inside IsDialogMessageA leaves the list.
    std::vector<HWND> windows = open_windows();
    for (HWND window : windows) {
        if (IsWindow(window) && IsDialogMessageA(window, &msg))
            return true;
    }
    return false;
}

int open_info_window_count()
{
    return static_cast<int>(open_windows().size());
}
