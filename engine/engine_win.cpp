// The Engine's lifetime, its stop event and the operations that reset a run.
#include "engine/engine.h"
#include "engine/seams.h"
#include "engine/watch_win.h"

#include <windows.h>

Engine::Engine()
{
    // Manual reset: once a stop is asked for, every later pause ends at once
    // too, until clear_stop.
    stop_event.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
}

Engine::~Engine() = default;

bool pause_unless_stopped(Engine& engine, unsigned ms)
{
    if (engine_seams().pause_override_ms >= 0)
        ms = static_cast<unsigned>(engine_seams().pause_override_ms);
    // A continuous run pauses 0 ms after each file. A stop clears running
    // before it sets the event, so the flag tells what a wait of 0 ms on the
    // event would, without the wineserver's round trip: a tenth of a fresh
    // small file's calls under Wine.
    if (ms == 0 && engine.watch == nullptr)
        return !run_active(engine.flags);
    if (!engine.stop_event) {
        Sleep(ms);  // no event could be made: an unbroken pause is still bounded
        return !run_active(engine.flags);
    }
    if (engine.watch != nullptr)
        return engine.watch->pause(engine.stop_event.get(), ms);
    return WaitForSingleObject(engine.stop_event.get(), ms) == WAIT_OBJECT_0;
}

void request_stop(Engine& engine)
{
    engine.flags.running = 0;
    if (engine.stop_event)
        SetEvent(engine.stop_event.get());
}

void clear_stop(Engine& engine)
{
    if (engine.stop_event)
        ResetEvent(engine.stop_event.get());
}

void set_copy_paths(CopyPaths& paths, const char* source, const char* destination)
{
    std::lock_guard<std::mutex> hold(paths.lock);
    copy_field(paths.source, source);
    copy_field(paths.destination, destination);
}

void get_copy_paths(const CopyPaths& paths, char (&source)[kFieldSize], char (&destination)[kFieldSize])
{
    std::lock_guard<std::mutex> hold(paths.lock);
    copy_field(source, paths.source);
    copy_field(destination, paths.destination);
}

void reset_progress(Engine& engine)
{
    ProgressState& p = engine.progress;
    p.fmove_point = 0;
    p.folder_count = 0;
    p.folder_max = 0;
    p.folder_search_flag = 0;
    p.file_count = 0;
    p.file_max = 0;
    p.file_search_flag = 0;
    p.try_count = 0;
    p.miss_count = 0;
    clear_folder_table(engine.folders);
    clear_file_table(engine.files);
}

void reset_status_columns(Engine& engine, int n)
{
    if (n == 0)
        n = list_row_count(engine.list);
    for (int row = 0; row < n; ++row) {
        list_set_cell(engine.list, row, col_file_status, "未");
        list_set_cell(engine.list, row, col_folder_status, "未");
    }
}

void notify_message(const Notifier& n, const char* text, const char* caption, MessageKind kind, MessageOwner owner)
{
    if (n.show_message)
        n.show_message(text, caption, kind, owner);
}
