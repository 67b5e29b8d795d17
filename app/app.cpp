// The program's one App, Engine and AppSeams, and what the engine asks of
// the user interface: message boxes, refreshes and the thread wait dialog.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/app.h"
#include "app/main_window.h"
#include "app/seams.h"
#include "base/notify_win.h"
#include "dialogs/notices_win.h"

namespace {

// A message from the worker is shown without owner: a box owned by a window
// of the other thread would tie the two threads' input together.
void show_engine_message(const char* text, const char* caption, MessageKind kind, MessageOwner owner)
{
    if (app().session_ending.load())
        return;
    if (owner == MessageOwner::main_window && GetCurrentThreadId() == app().ui_thread)
        app_message_box(text, caption, message_box_flags(kind));
    else
        MessageBoxA(nullptr, text, caption, message_box_flags(kind));
}

}  // namespace

App& app()
{
    static App the_app;
    return the_app;
}

Engine& engine()
{
    static Engine the_engine;
    return the_engine;
}

AppSeams& app_seams()
{
    static AppSeams the_seams;
    return the_seams;
}

int app_message_box(const char* text, const char* caption, UINT flags)
{
    return MessageBoxA(app().main_window, text, caption, flags);
}

int timer_message_box(const char* text, const char* caption, UINT flags)
{
    App& a = app();
    ++a.timer_boxes_open;
    int answer = app_message_box(text, caption, flags);
    --a.timer_boxes_open;
    return answer;
}

void prepare_ui_thread()
{
    // Kept for the life of the process: the thread is the program's.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    InitCommonControls();
}

void open_thread_wait_dialog(HWND owner)
{
    app().wait_dialog = open_thread_wait_dialog_of(owner);
}

void close_thread_wait_dialog()
{
    App& a = app();
    if (a.wait_dialog != nullptr)
        DestroyWindow(a.wait_dialog);
    a.wait_dialog = nullptr;
}

void install_notifier()
{
    Notifier& n = engine().notifier;
    n.show_message = show_engine_message;
    n.request_refresh = request_list_refresh;
    n.begin_stop_wait = [] { open_thread_wait_dialog(app().main_window); };
    n.end_stop_wait = close_thread_wait_dialog;
}
