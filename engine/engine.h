// Everything a backup run works on, in one place: the program keeps one
// instance for its life; tests make their own.
#pragma once
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/notify.h"
#include "base/owned_handle.h"
#include "base/workdir.h"
#include "engine/backup_list.h"
#include "engine/copy.h"
#include "engine/report.h"
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

// The pass under way as quillsave.log tells it. The worker alone writes the
// plain fields; the main window sets start_kind before a start and reads
// the atomics.
struct RunReport {
    std::mutex lock;  // one line at a time into the file, from either thread
    std::atomic<int> start_kind{0};  // StartKind of the run being started
    bool pass_open = false;          // a pass has begun, its end is not told yet
    // The begin line waits for the pass's first line or its end: a pass
    // that repeats one before it (the list begun again by a never-ending
    // standby run, a restart after an error) and has nothing to tell, no copy
    // and nothing missed, writes no line at all, so waiting for a drive or a
    // small list run round the clock does not fill the report.
    bool first_pass_of_run = false;
    bool repeat_pass = false;
    bool begin_written = false;
    std::string begin_line;
    PassTally tally;
    unsigned long started_ms = 0;
    bool waiting_told = false;  // the wait for the backup drive or a writable disk is told
    bool full_told = false;     // a disk full for every file is told, once per pass
    // Notes that a never-ending run would repeat at every pass (a backup
    // folder left out of its source), told since the run began.
    std::vector<std::string> notes_told;
    // Files the last pass that ended did not back up, told by the status bar
    // and the tray until the next pass begins.
    std::atomic<int> missed_told{0};
    std::atomic<int> passes_ended{0};
};

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
    CopyDetail copy_detail;  // of the last copy, written by the copies
    // Where the backup the next copy replaces goes: a path in the folder of
    // old versions, set by the step before each copy; empty: it is replaced
    // (deleted) as before.
    char keep_as[kFieldSize] = {};
    // The last step's file failed and is kept for a next try, or the last
    // step copied a file (worker only): what the pause after it follows.
    bool last_step_failed = false;
    bool last_step_copied = false;
    // The copy under way was brought forward by the watch: its last chunk is
    // moved into place before the pause rather than after it, and the
    // step's own pause follows, so a saved file is protected that much
    // sooner at the same pace of data (worker only).
    bool brought_forward = false;
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

// quillsave.log in the working folder (report_win.cpp). None of these ever
// stops or slows a run: a report that cannot be written is left unwritten.
void write_report_line(Engine& engine, const std::string& line);
ReportTime report_now();
// The begin line, once per pass; the end line, once, when the pass ends or
// the run stops before its end. missed_so_far: what a resumed pass had not
// backed up before the position, so that its count goes on.
void begin_pass_report(Engine& engine, int run_mode, bool resumed, int missed_so_far = 0);
void end_pass_report(Engine& engine, bool stopped);
// A file or folder of the pass not backed up (counted), or the wait for the
// backup drive or space (told once until a copy succeeds again).
void report_not_backed_up(Engine& engine, const char* status, int row, const char* source_folder, const char* path,
                          const Failure& failure);
void report_waiting(Engine& engine, const char* status, int row, const char* source_folder, const char* path,
                    const Failure& failure);
// A line of the pass that counts nothing: what the user should know of a
// file or folder that was not a failure to back it up.
void report_note(Engine& engine, const char* status, int row, const char* source_folder, const char* path,
                 const Failure& failure);
// The same, told once in a run: a note each pass of a never-ending run
// would repeat word for word.
void report_note_once(Engine& engine, const char* status, int row, const char* source_folder, const char* path,
                      const Failure& failure);

// reset_progress: the seven run-position fields to 0 (dmove_point kept) and
// both tables emptied. reset_status_columns: "未" in columns 3 and 4 of the
// first n rows (n 0: every row).
void reset_progress(Engine& engine);
void reset_status_columns(Engine& engine, int n);
