// The program's entry sequence and the main window: its class, creation,
// layout, painting and end, and the message loop.
#include <windows.h>
#include <commctrl.h>

#include "app/main_window.h"
#include "app/app.h"
#include "app/lifetime.h"
#include "app/run_control.h"
#include "app/switches.h"
#include "app/tray.h"
#include "base/dc_win.h"
#include "base/dpi_win.h"
#include "dialogs/info_windows_win.h"
#include "dialogs/notices_win.h"
#include "resources/resource.h"
#include "resources/version.h"

namespace {

const char kMainClass[] = "Main Window";
const char kMainTitle[] = "Quillsave Ver" QS_VERSION;
// At 96 DPI; both grow with the display's DPI, as the fonts inside do.
constexpr int kMainSize = 600;
constexpr int kStatusBarHeight = 20;  // the list view leaves this much below it

const char kStartQuestion[] =
    "情報漏洩について作者からのお願い\r\n"
    "このソフトはＨＤＤの破損時に困らないようにバックアップするものです。\r\n"
    "情報漏洩の目的で使用しないでください\r\n"
    "このソフトはバックアップのみに使用しますか？";

// Without a switch the program asks on every start; "No" ends it at once,
// after the files just loaded have been written back (WM_DESTROY).
void ask_start_question(HWND window)
{
    if (app_message_box(kStartQuestion, "Quillsave", MB_YESNO) == IDNO)
        DestroyWindow(window);
}

LRESULT on_create(HWND window)
{
    App& a = app();
    a.main_window = window;
    publish_main_window(window);
    a.list_view = create_list_view(window);
    a.status_bar = create_status_bar(window);
    load_program_files();
    refresh_list_view();
    show_run_state();
    if (a.auto_start > 0)
        show_auto_start_notice(window);
    else
        ask_start_question(window);
    return 0;
}

LRESULT on_destroy(HWND window)
{
    finish_program(window);
    PostQuitMessage(0);
    app().main_window = nullptr;
    return 0;
}

// Every paint re-arms the start-up timer; the first paint after a switch
// sends the window to the tray.
LRESULT on_paint(HWND window)
{
    App& a = app();
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    SetTimer(window, kStartUpTimer, timer_ms(engine().settings.start_time), nullptr);
    if (a.auto_start > 0) {
        send_to_tray(window);
        a.auto_start = -1;
    }
    update_status_bar();
    EndPaint(window, &paint);
    return 0;
}

LRESULT on_size(HWND window, WPARAM wparam, LPARAM lparam)
{
    App& a = app();
    int width = LOWORD(lparam);
    int height = HIWORD(lparam) - scale_pixels(kStatusBarHeight);
    MoveWindow(a.list_view, 0, 0, width, height < 0 ? 0 : height, TRUE);
    SendMessageA(a.list_view, LVM_ARRANGE, LVA_ALIGNLEFT, 0);
    SendMessageA(a.status_bar, WM_SIZE, wparam, lparam);
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    return 0;
}

LRESULT on_notify(LPARAM lparam)
{
    NMHDR* header = reinterpret_cast<NMHDR*>(lparam);
    if (header->idFrom == IDC_LIST_VIEW)
        on_list_get_disp_info(header);
    return 0;
}

// The session may end in the middle of anything, a box or a dialog
// included; it is never refused. A cancelled end changes nothing.
LRESULT on_end_session(HWND window, WPARAM ending)
{
    if (ending)
        end_session(window);
    return 0;
}

// Messages registered at run time cannot be cases of the switch.
LRESULT on_other_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message != 0 && message == app().taskbar_created) {
        on_taskbar_created(window);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_CREATE: return on_create(window);
    case WM_DESTROY: return on_destroy(window);
    case WM_PAINT: return on_paint(window);
    case WM_SIZE: return on_size(window, wparam, lparam);
    case WM_NOTIFY: return on_notify(lparam);
    case WM_COMMAND: on_command(LOWORD(wparam)); return 0;
    case WM_TIMER: on_timer(wparam); return 0;
    case WM_INITMENUPOPUP: on_init_menu_popup(reinterpret_cast<HMENU>(wparam)); return 0;
    case kTrayMessage: on_tray_notify(wparam, lparam); return 0;
    case kRefreshMessage: on_refresh_request(window); return 0;
    case kShowMessage: show_main_window(window); return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION: return on_end_session(window, wparam);
    case WM_ACTIVATE:
    case WM_QUERYNEWPALETTE: return 0;
    default: return on_other_message(window, message, wparam, lparam);
    }
}

bool register_main_class(HINSTANCE instance)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_BYTEALIGNCLIENT;
    wc.lpfnWndProc = main_window_proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_IDLE));
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszMenuName = MAKEINTRESOURCEA(IDM_MAIN);
    wc.lpszClassName = kMainClass;
    return RegisterClassExA(&wc) != 0;
}

// Centred on the screen; on a screen smaller than the window the position
// goes negative, as the integer division gives it.
HWND create_main_window(HINSTANCE instance)
{
    int size = scale_pixels(kMainSize);
    WindowDC screen(nullptr);
    int x = (GetDeviceCaps(screen.get(), HORZRES) - size) / 2;
    int y = (GetDeviceCaps(screen.get(), VERTRES) - size) / 2;
    return CreateWindowExA(0, kMainClass, kMainTitle, WS_OVERLAPPEDWINDOW, x, y, size, size, nullptr, nullptr,
                           instance, nullptr);
}

// Waits for messages without polling. The information windows are modeless:
// their keys (Tab, Enter, Escape) go through IsDialogMessageA first.
int run_message_loop()
{
    MSG msg;
    for (;;) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            WaitMessage();
            continue;
        }
        if (GetMessageA(&msg, nullptr, 0, 0) <= 0)
            return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
        if (route_info_window_message(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace

int run_program(HINSTANCE instance, const char* arguments, int show)
{
    App& a = app();
    a.instance = instance;
    a.ui_thread = GetCurrentThreadId();
    a.auto_start = parse_switches(arguments);
    if (!claim_working_folder(a.auto_start))
        return 0;
    a.taskbar_created = RegisterWindowMessageA("TaskbarCreated");
    install_notifier();
    prepare_ui_thread();
    if (!register_main_class(instance))
        return 0;
    // The "No" answer destroys the window inside its creation; the quit
    // message it posted then ends the loop at once.
    HWND window = create_main_window(instance);
    if (window == nullptr || !IsWindow(window)) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            if (msg.message == WM_QUIT)
                return static_cast<int>(msg.wParam);
        return 0;
    }
    ShowWindow(window, show);
    UpdateWindow(window);
    record_working_directory(engine().workdir);
    return run_message_loop();
}
