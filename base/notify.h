// What the engine and the file readers need from the user-interface layer.
// The layer above supplies these; tests supply recorders. The engine itself
// never shows a window.
#pragma once
#include <functional>

enum class MessageKind {
    plain,        // MB_OK
    warning,      // MB_ICONWARNING
    exclamation,  // MB_ICONEXCLAMATION
};

enum class MessageOwner {
    main_window,  // the main window while it exists (worker thread: none)
    none,         // no owner: also shown while the main window goes away
};

struct Notifier {
    // A modal message to the user.
    std::function<void(const char* text, const char* caption, MessageKind kind, MessageOwner owner)> show_message;
    // Ask the user-interface thread to repaint the changed rows and the
    // status bar. Must not block; called from the worker after each step.
    std::function<void()> request_refresh;
    // The thread wait window while a stop waits for the worker.
    std::function<void()> begin_stop_wait;
    std::function<void()> end_stop_wait;
};

// Calls the function when it is set.
void notify_message(const Notifier& n, const char* text, const char* caption, MessageKind kind,
                    MessageOwner owner = MessageOwner::main_window);
