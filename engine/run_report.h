// The report of a run in quillsave.log: the state of the pass it tells, and
// the writer of its lines (report_win.cpp), which report.h makes.
#pragma once
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "engine/report.h"

struct Engine;

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
