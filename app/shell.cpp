// The shell's one Engine and its state, and what the engine asks of the
// user interface: message boxes, refreshes and the thread wait dialog.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/app.h"
#include "engine/notify_win.h"

namespace {

// A message from the worker is shown without owner: a box owned by a window
// of the other thread would tie the two threads' input together.
void show_engine_message(const char* text, const char* caption, MessageKind kind, MessageOwner owner)
{
    if (shell().session_ending.load())
        return;
    if (owner == MessageOwner::main_window && GetCurrentThreadId() == shell().ui_thread)
        shell_message_box(text, caption, message_box_flags(kind));
    else
        MessageBoxA(nullptr, text, caption, message_box_flags(kind));
}

}  // namespace

Shell& shell()
{
    static Shell the_shell;
    return the_shell;
}

Engine& engine()
{
    static Engine the_engine;
    return the_engine;
}

int shell_message_box(const char* text, const char* caption, UINT flags)
{
    return MessageBoxA(shell().main_window, text, caption, flags);
}

int timer_message_box(const char* text, const char* caption, UINT flags)
{
    Shell& s = shell();
    ++s.timer_boxes_open;
    int answer = shell_message_box(text, caption, flags);
    --s.timer_boxes_open;
    return answer;
}

void prepare_ui_thread()
{
    // Kept for the life of the process: the thread is the program's.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    InitCommonControls();
}

void install_notifier()
{
    Notifier& n = engine().notifier;
    n.show_message = show_engine_message;
    n.request_refresh = request_list_refresh;
    n.begin_stop_wait = [] { open_thread_wait_dialog(shell().main_window); };
    n.end_stop_wait = close_thread_wait_dialog;
}
