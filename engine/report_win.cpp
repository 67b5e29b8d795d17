// Appends the lines of quillsave.log. Each line is opened, written and
// closed, so a crash or the end of the session loses at most the line being
// written, and nothing holds the file between lines: the user can open it in
// an editor during a run. A report that cannot be opened or written (held, a
// read-only folder) is passed over without a word: it must never stop, slow
// or interrupt a backup with a box.
#include <windows.h>

#include <algorithm>

#include "base/handle_win.h"
#include "engine/engine.h"
#include "engine/run_report.h"

namespace {

// The report lives beside the program's other files in the working folder.
// It is named by its whole path instead of entering that folder, because the
// worker writes it while the user-interface thread may be using the current
// directory. Before the folder is recorded there is no report: it never
// lands in whatever folder happens to be current.
bool report_path(const Engine& engine, const char* name, char (&out)[kFieldSize])
{
    return engine.workdir.path[0] != 0 && join_path(out, engine.workdir.path, name);
}

}  // namespace

namespace {

// Past the bound the report becomes quillsave.log.old, replacing the one
// before, so the two never take much more than twice the bound. It turns
// only where a pass begins (or between passes), so the last whole pass is
// always in one of the two files.
void rotate_if_full(Engine& engine, const char* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return;
    std::uint64_t size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    char old[kFieldSize];
    if (size >= kReportLimit && report_path(engine, kOldReportName, old))
        MoveFileExA(path, old, MOVEFILE_REPLACE_EXISTING);
}

void append_line(Engine& engine, const std::string& line, bool may_turn)
{
    char path[kFieldSize];
    if (!report_path(engine, kReportName, path))
        return;
    std::lock_guard<std::mutex> hold(engine.report.lock);
    DWORD saved_error = GetLastError();  // the copies' callers may still want theirs
    if (may_turn)
        rotate_if_full(engine, path);
    ScopedHandle file(CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file.valid())
        WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    SetLastError(saved_error);
}

}  // namespace

// An event line (from either thread) never turns the report: that is the
// worker's, where a pass begins.
void write_report_line(Engine& engine, const std::string& line)
{
    append_line(engine, line, false);
}

ReportTime report_now()
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    return ReportTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

namespace {

// A line of the pass, after its begin line.
void write_pass_line(Engine& engine, const std::string& line)
{
    RunReport& r = engine.report;
    if (r.pass_open && !r.begin_written) {
        r.begin_written = true;
        append_line(engine, r.begin_line, true);
    }
    append_line(engine, line, false);
}

}  // namespace

void begin_pass_report(Engine& engine, int run_mode, bool resumed, int missed_so_far)
{
    RunReport& r = engine.report;
    if (r.pass_open)
        return;
    StartKind kind = static_cast<StartKind>(r.start_kind.load());
    r.pass_open = true;
    r.repeat_pass = !r.first_pass_of_run || kind == StartKind::after_error;
    r.first_pass_of_run = false;
    r.begin_written = false;
    r.begin_line = format_pass_begin(report_now(), run_mode, kind, resumed);
    r.tally = PassTally{};
    r.tally.missed = missed_so_far;
    r.full_told = false;
    if (!r.repeat_pass)
        r.notes_told.clear();
    r.started_ms = GetTickCount();
    r.missed_told = 0;
}

void end_pass_report(Engine& engine, bool stopped)
{
    RunReport& r = engine.report;
    if (!r.pass_open)
        return;
    r.tally.seconds = (GetTickCount() - r.started_ms) / 1000;
    bool quiet = r.repeat_pass && !r.begin_written && r.tally.copied == 0 && r.tally.missed == 0;
    if (!quiet)
        write_pass_line(engine, format_pass_end(report_now(), stopped, r.tally));
    r.pass_open = false;
    if (!stopped) {
        r.missed_told = r.tally.missed;
        r.passes_ended.fetch_add(1);
    }
}

void report_not_backed_up(Engine& engine, const char* status, int row, const char* source_folder, const char* path,
                          const Failure& failure)
{
    engine.report.tally.missed += 1;
    write_pass_line(engine, format_not_backed_up(report_now(), status, row, source_folder, path, failure));
}

void report_note(Engine& engine, const char* status, int row, const char* source_folder, const char* path,
                 const Failure& failure)
{
    write_pass_line(engine, format_not_backed_up(report_now(), status, row, source_folder, path, failure));
}

// Told once until a copy succeeds again, also over restarts after an error.
void report_waiting(Engine& engine, const char* status, int row, const char* source_folder, const char* path,
                    const Failure& failure)
{
    if (engine.report.waiting_told)
        return;
    engine.report.waiting_told = true;
    write_pass_line(engine, format_waiting(report_now(), status, row, source_folder, path, failure));
}

void report_note_once(Engine& engine, const char* status, int row, const char* source_folder, const char* path,
                      const Failure& failure)
{
    std::string key = std::to_string(row) + "\t" + status + "\t" + path;
    std::vector<std::string>& told = engine.report.notes_told;
    if (std::find(told.begin(), told.end(), key) != told.end())
        return;
    if (told.size() < 1000)
        told.push_back(key);
    report_note(engine, status, row, source_folder, path, failure);
}
