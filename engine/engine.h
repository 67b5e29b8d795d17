// Everything a backup run works on, in one place: the program keeps one
// instance for its life; tests make their own.
#pragma once
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/notify.h"
#include "base/owned_handle.h"
#include "base/workdir.h"
#include "engine/backup_list.h"
#include "engine/backup_names.h"
#include "engine/copy_rules.h"
#include "engine/copy_standby.h"
#include "engine/run_report.h"
#include "engine/run_state.h"
#include "engine/settings.h"
#include "engine/tables.h"

// The pair of paths of the copy under way, shown by the copy name window.
// Readers always get both texts whole, never half replaced.
struct CopyPaths {
    mutable std::mutex lock;
    char source[kFieldSize] = {};
    char destination[kFieldSize] = {};
};
void set_copy_paths(CopyPaths& paths, const char* source, const char* destination);
void get_copy_paths(const CopyPaths& paths, char (&source)[kFieldSize], char (&destination)[kFieldSize]);

class SourceWatch;

struct Engine {
    Settings settings{};
    ProgressState progress;
    RunFlags flags;
    BackupList list;
    FolderTable folders;  // the run's tables
    FileTable files;
    CopyPaths copy_paths;
    BackupNames backup_names;  // of the backup folder last checked
    std::unique_ptr<char[]> copy_buffer{new char[kCopyBufferSize]};
    Notifier notifier;
    WorkingDirectory workdir;
    // Program files (set.ini, quillsave.ini) that were there at their load
    // but could not be read: they are not saved, so the user's file is not
    // replaced by defaults or deleted as an empty list.
    std::vector<std::string> unread_files;
    // Manual-reset event, signalled while a stop is asked for: every pause of
    // the worker and of the standby copy waits on it instead of sleeping.
    OwnedHandle stop_event;
    // The worker thread, kept until it has really ended (also after a stop
    // gave up waiting), so that no second worker starts beside it.
    OwnedHandle worker_thread;
    RunReport report;        // the pass under way, for quillsave.log
    // What the walks of the entry at walk_rules_row leave out: made when its
    // tree is walked, or when a pass resumed inside it takes its first step
    // there (-1: none made yet).
    WalkRules walk_rules;
    int walk_rules_row = -1;
    // The watch of the standby run under way (worker only; null otherwise):
    // every pause of the worker takes in what it reports.
    SourceWatch* watch = nullptr;
    bool watch_sources = true;  // off only in the bench, to measure a pass alone

    Engine();
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;
};

// What the walks of every entry leave out under these settings, with
// Windows' own lists as the registry holds them now (walk_win.cpp).
WalkRules make_walk_rules(const Settings& settings);

// Pause of ms milliseconds that ends at once when a stop is asked for.
// Returns true when it was cut short by a stop.
bool pause_unless_stopped(Engine& engine, unsigned ms);
// Clears running and wakes every pause (what stop_worker does first).
void request_stop(Engine& engine);
// Lets pauses wait again after a stop; start_worker calls it before it sets
// running.
void clear_stop(Engine& engine);

// reset_progress: the seven run-position fields to 0 (dmove_point kept) and
// both tables emptied. reset_status_columns: "未" in columns 3 and 4 of the
// first n rows (n 0: every row).
void reset_progress(Engine& engine);
void reset_status_columns(Engine& engine, int n);
