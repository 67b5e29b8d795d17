// Appends the lines of quillsave.log. Each line is opened, written and
// closed, so a crash or the end of the session loses at most the line being
// written, and nothing holds the file between lines: the user can open it in
// an editor during a run. A report that cannot be opened or written (held, a
// read-only folder) is passed over without a word: it must never stop, slow
// or interrupt a backup with a box.
#include <windows.h>

#include "engine/engine.h"
#include "engine/handle_win.h"

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

void write_report_line(Engine& engine, const std::string& line)
{
    char path[kFieldSize];
    if (!report_path(engine, kReportName, path))
        return;
    std::lock_guard<std::mutex> hold(engine.report.lock);
    DWORD saved_error = GetLastError();  // the copies' callers may still want theirs
    LARGE_INTEGER size{};
    bool full = false;
    {
        ScopedHandle file(CreateFileA(path, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (file.valid() && WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr))
            full = GetFileSizeEx(file.get(), &size) && static_cast<std::uint64_t>(size.QuadPart) >= kReportLimit;
    }
    // Past the bound the report becomes quillsave.log.old, replacing the one
    // before, so the two never take much more than twice the bound.
    char old[kFieldSize];
    if (full && report_path(engine, kOldReportName, old))
        MoveFileExA(path, old, MOVEFILE_REPLACE_EXISTING);
    SetLastError(saved_error);
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
        write_report_line(engine, r.begin_line);
    }
    write_report_line(engine, line);
}

}  // namespace

void begin_pass_report(Engine& engine, int run_mode, bool resumed)
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
