// The copy of one file within a backup step: its paths, the backup folder
// made sure of, the copy the run's mode asks for, room made on a full disk,
// and the outcome settled into the pass's count and the report.
//
// Choices where the entry cannot be used as it is:
// - An empty source folder text names no file: the file gets "読e" and the
//   run moves on, as for a missing source.
// - An empty destination folder text gets "棚e": joining a name to it would
//   copy into whatever folder happens to be current.
// - A joined path over 259 bytes is never cut: a source path that does not fit
//   gives "読e" (the file cannot be read by that name, the run moves on), a
//   destination path that does not fit gives "作e" (the copy cannot be made,
//   and the error reaches the user by rw_error_mode).
//
// One file never holds the rest back: a file that failed three tries in a
// row (results 2, 3 and 5; a stop is no try) is passed, told and tried again
// at the next pass. The tries are counted with the run position, so restarts
// and new starts of the program count too. A failure that every file of the
// backup folder would meet (its drive or share gone) passes nothing: the run
// waits, and the report tells once what for.
#include "engine/step_file.h"

#include <cstring>
#include <string>

#include "base/listed_name.h"
#include "engine/backup_folder.h"
#include "engine/copy_continuous.h"
#include "engine/copy_standby.h"
#include "engine/engine.h"
#include "engine/run_report.h"
#include "engine/versions.h"

namespace {

// Tries of one file before it is passed.
constexpr int kTriesBeforePassing = 3;
constexpr unsigned long kAccessDenied = 5;  // ERROR_ACCESS_DENIED

bool failure_of(Outcome& out, CopyResult result, ReportReason reason, unsigned long code = 0)
{
    out.result = result;
    out.why = Failure{reason, code};
    return false;
}

// Builds the source path (source folder, name), the destination's folder
// (destination folder, relative folder) and its path (that folder, name).
// True when all fit, otherwise false with the result the file gets instead
// of a copy, and why, in out.
bool make_copy_paths(Outcome& out, char (&source)[kFieldSize], char (&folder)[kFieldSize],
                     char (&destination)[kFieldSize], const char* source_folder, const char* destination_folder,
                     const char* relative, const char* name)
{
    if (source_folder[0] == 0)
        return failure_of(out, copy_read_error, ReportReason::system_error, kPathNotFound);
    if (is_unreachable_name(name))
        return failure_of(out, copy_read_error, ReportReason::unreachable_name);
    if (!join_path(source, source_folder, name))
        return failure_of(out, copy_read_error, ReportReason::source_too_long);
    if (destination_folder[0] == 0)
        return failure_of(out, copy_folder_error, ReportReason::system_error, kPathNotFound);
    if (!append_path(folder, destination_folder, relative) || !join_path(destination, folder, name))
        return failure_of(out, copy_create_error, ReportReason::backup_too_long);
    return true;
}

// The destination folder that check_destination last made sure of on this
// thread. The files of one folder share it, and under Wine every level the
// check enters costs a SetCurrentDirectoryA of about 0.2 ms, more than the
// whole test of an up-to-date file; so the check is made once per folder. A
// folder removed since shows as a failed create, and the check is then made
// after all. Per thread: each run's worker starts without it.
thread_local char checked_folder[kFieldSize];

// The check leaves the current directory in the backup folder; it goes
// back to the working folder at once, because a process's current directory
// holds its folder open and a backup drive could not be ejected (unmounted)
// between steps or after the run. The copies use whole paths. A folder
// that cannot be made gives "棚e" in not_made, with the system's code.
bool make_destination_folder(Engine& engine, const char* folder, const char* destination, CopyOutcome& not_made)
{
    int checked = check_destination(destination);
    unsigned long error = last_system_error();
    make_working_directory_current(engine.workdir);
    if (checked != 0) {
        checked_folder[0] = 0;
        not_made.result = copy_folder_error;
        not_made.detail.error = error;
        return false;
    }
    copy_field(checked_folder, folder);
    // Only a continuous copy takes the hint; a standby copy opens both files
    // anyway.
    if (engine.flags.run_mode.load() == 0)
        engine.backup_names.forget();
    else
        engine.backup_names.list(folder);
    return true;
}

// A standby copy is never forced; a continuous one is as conut_save_mode
// says, and takes what the folder's listing says of the name.
CopyOutcome copy_by_mode(Engine& engine, CopyRequest request, const char* folder, const char* name)
{
    if (engine.flags.run_mode.load() == 0)
        return copy_standby(engine, request);
    request.force = engine.settings.conut_save_mode;
    request.hint = engine.backup_names.hint(folder, name);
    return copy_continuous(engine, request);
}

CopyOutcome copy_the_pair(Engine& engine, const CopyRequest& request, const char* folder, const char* name)
{
    set_copy_paths(engine.copy_paths, request.source, request.destination);
    bool known = std::strcmp(folder, checked_folder) == 0;
    CopyOutcome not_made;
    if (!known && !make_destination_folder(engine, folder, request.destination, not_made))
        return not_made;
    CopyOutcome copy = copy_by_mode(engine, request, folder, name);
    if (copy.result == copy_create_error && known) {
        // Perhaps the folder went away after it was checked: as if the
        // check had been made before this file.
        if (!make_destination_folder(engine, folder, request.destination, not_made))
            return not_made;
        copy = copy_by_mode(engine, request, folder, name);
    }
    return copy;
}

}  // namespace

// The file's path as the report names it, also when it is too long to use.
std::string reported_path(const char* folder, const char* name)
{
    std::string path = folder;
    if (!ends_in_separator(folder))
        path += '\\';
    return path + name;
}

namespace {

// Free space asked for beyond the file itself: the file system's own
// records of the new file and its folder. A disk with less than this free
// is full for every file.
constexpr unsigned long long kRoomMargin = 64 * 1024;

// A file that does not fit is passed at once: another file may fit, and
// waiting would hold every later file back until the user makes room. A
// disk full for every file is told once per pass; each file still counts.
void pass_what_does_not_fit(Engine& engine, Outcome& out, int row, const char* entry_source, const char* path)
{
    ProgressState& p = engine.progress;
    RunReport& r = engine.report;
    p.try_count = 0;
    out.passed = true;
    p.miss_count += 1;
    if (out.why.free_known && out.why.free < kRoomMargin) {
        out.why.reason = ReportReason::disk_full;
        if (r.full_told) {
            r.tally.missed += 1;
            return;
        }
        r.full_told = true;
    }
    report_not_backed_up(engine, copy_result_text(out.result), row, entry_source, path, out.why);
}

// Whether every file of the backup folder would fail so: its drive or share
// gone, or a disk that takes no writing (a card's lock, a read-only share).
bool backup_wide(const Outcome& out, const char* destination_folder)
{
    if (out.why.reason != ReportReason::system_error)
        return false;
    if (is_backup_wide(out.why.code) || !backup_root_present(destination_folder))
        return true;
    return out.why.code == kAccessDenied && !backup_folder_writable(destination_folder);
}

// The bytes a copy made: what the copy itself read, else the size the
// folder's listing gave, else (a table read from file.ini, a single-file
// entry) the file's size now. A call per file would cost a fresh small file
// a twentieth of its copy under Wine.
std::uint64_t bytes_copied(const CopyDetail& detail, std::uint64_t listed_size, const char* source)
{
    if (detail.bytes_known)
        return detail.bytes;
    return listed_size != kSizeNotListed ? listed_size : file_size_of(source);
}

// A file done: copied or up to date, in the pass's tally.
void count_done(Engine& engine, const CopyDetail& detail, std::uint64_t listed_size, const char* source)
{
    RunReport& r = engine.report;
    r.waiting_told = false;
    if (detail.copied) {
        r.tally.copied += 1;
        r.tally.bytes += bytes_copied(detail, listed_size, source);
    } else {
        r.tally.up_to_date += 1;
    }
}

// Counts the outcome into the pass, tells the report what was not backed up
// or what the run waits for, and passes a file at its last try.
void settle(Engine& engine, Outcome& out, const CopyDetail& detail, int row, const char* entry_source,
            const char* path, const char* destination_folder, std::uint64_t listed_size, const char* source)
{
    ProgressState& p = engine.progress;
    const char* status = copy_result_text(out.result);
    if (out.result == copy_done) {
        p.try_count = 0;
        count_done(engine, detail, listed_size, source);
        return;
    }
    if (out.result == copy_read_error) {
        p.try_count = 0;
        report_not_backed_up(engine, status, row, entry_source, path, out.why);
        p.miss_count += 1;
        return;
    }
    if (out.result == copy_stopped)
        return;
    if (out.why.reason == ReportReason::does_not_fit) {
        pass_what_does_not_fit(engine, out, row, entry_source, path);
        return;
    }
    // Passing every file would only empty the run into the report: the run
    // waits, as for a drive taken out, and goes on once the disk is back.
    if (backup_wide(out, destination_folder)) {
        report_waiting(engine, status, row, entry_source, path, out.why);
        return;
    }
    if (p.try_count.fetch_add(1) + 1 < kTriesBeforePassing)
        return;
    p.try_count = 0;
    out.passed = true;
    out.why.tries = kTriesBeforePassing;
    report_not_backed_up(engine, status, row, entry_source, path, out.why);
    p.miss_count += 1;
}

// Where the backup the copy may replace goes: keep_as, a path in the folder
// of old versions, or empty when none are kept. False when versions are
// kept but the version's path cannot be made to fit 259 bytes: keep_as is
// then empty, the backup replaced as before, and the report says so.
bool choose_version_path(const Engine& engine, char (&keep_as)[kFieldSize], const char* destination_folder,
                         const char* relative, const char* name)
{
    keep_as[0] = 0;
    if (engine.settings.version_days <= 0)
        return true;
    return version_path(keep_as, destination_folder, relative, name, report_now());
}

bool disk_full(int result, unsigned long error)
{
    return (result == copy_create_error || result == copy_write_error) && is_disk_full(error);
}

// The entry a file belongs to, as the rule of room on a full disk sees it:
// its versions are the ones whose backups stand for its own source files.
struct EntryOfFile {
    const char* source;      // the entry's source folder
    const char* only_name;   // a single-file entry's file; null for a tree
};

VersionOwner owner_of(const EntryOfFile& entry)
{
    return [entry](const char* relative, const char* name) {
        if (entry.only_name != nullptr)
            return relative[0] == 0 && same_folder(name, entry.only_name);
        return source_file_exists(entry.source, relative, name);
    };
}

// Old versions never take the space a backup needs: on a full disk the
// oldest versions of the entry's own go, oldest first, until the file fits,
// and the copy is made again. When they cannot make the room all together,
// none goes, and the file does not fit (out.why says how large it is and
// what is free).
CopyOutcome copy_with_room(Engine& engine, const CopyRequest& request, const char* folder, const char* name,
                           const char* destination_folder, const EntryOfFile& entry, Failure& why)
{
    CopyOutcome copy = copy_the_pair(engine, request, folder, name);
    for (int round = 0; disk_full(copy.result, copy.detail.error); ++round) {
        unsigned long long size = file_size_of(request.source);
        RoomMade room{};
        if (round < 3)
            room = free_space_from_versions(versions_folder(destination_folder, "").c_str(), destination_folder,
                                            size + kRoomMargin, owner_of(entry));
        engine.report.tally.versions_removed += room.removed;
        if (room.removed == 0) {
            why = Failure{ReportReason::does_not_fit, copy.detail.error};
            why.size = size;
            why.free = room.free;
            why.free_known = room.free_known;
            return copy;
        }
        copy = copy_the_pair(engine, request, folder, name);
    }
    why = Failure{ReportReason::system_error, copy.detail.error};
    return copy;
}

// The old backup the copy replaced, when it was to be kept and was not.
void tell_version_not_kept(Engine& engine, const CopyDetail& d, int row, const char* entry_source,
                           const char* path, CopyResult result, bool version_fits)
{
    if (d.kept_version || !d.replaced || engine.settings.version_days <= 0)
        return;
    Failure why = version_fits ? Failure{ReportReason::version_not_kept, d.keep_error}
                               : Failure{ReportReason::version_too_long, 0};
    report_note(engine, copy_result_text(result), row, entry_source, path, why);
}

// A copy the watch brought forward counts in the pass's tally when it is
// made; what it could not do is left to the pass, which reaches the file
// in its turn, tries it as every file and tells it, so the position's tries
// and the entry's count stay the pass's own.
void settle_brought_forward(Engine& engine, const Outcome& out, const CopyDetail& detail, const char* source)
{
    if (out.result == copy_done)
        count_done(engine, detail, kSizeNotListed, source);
}

Outcome copy_file(Engine& engine, int row, const char* source_folder, const char* destination_folder,
                  const char* relative, const char* name, const char* entry_source, const char* entry_name,
                  std::uint64_t listed_size, bool of_the_pass)
{
    char source[kFieldSize];
    char folder[kFieldSize];
    char destination[kFieldSize];
    Outcome out;
    CopyOutcome copy;
    std::string path = reported_path(source_folder, name);
    if (make_copy_paths(out, source, folder, destination, source_folder, destination_folder, relative, name)) {
        char keep_as[kFieldSize];
        bool version_fits = choose_version_path(engine, keep_as, destination_folder, relative, name);
        CopyRequest request;
        request.source = source;
        request.destination = destination;
        request.keep_as = keep_as;
        request.brought_forward = !of_the_pass;
        copy = copy_with_room(engine, request, folder, name, destination_folder, EntryOfFile{entry_source, entry_name},
                              out.why);
        out.result = copy.result;
        if (copy.detail.kept_version)
            engine.report.tally.versions_kept += 1;
        tell_version_not_kept(engine, copy.detail, row, entry_source, path.c_str(), out.result, version_fits);
    }
    if (of_the_pass)
        settle(engine, out, copy.detail, row, entry_source, path.c_str(), destination_folder, listed_size, source);
    else
        settle_brought_forward(engine, out, copy.detail, source);
    out.copied = out.result == copy_done && copy.detail.copied;
    return out;
}

}  // namespace

Outcome copy_one_file(Engine& engine, int row, const char* source_folder, const char* destination_folder,
                      const char* relative, const char* name, const char* entry_source, const char* entry_name,
                      std::uint64_t listed_size)
{
    return copy_file(engine, row, source_folder, destination_folder, relative, name, entry_source, entry_name,
                     listed_size, true);
}

Outcome copy_changed_file(Engine& engine, int row, const char* source_folder, const char* destination_folder,
                          const char* relative, const char* name, const char* entry_source, const char* entry_name)
{
    return copy_file(engine, row, source_folder, destination_folder, relative, name, entry_source, entry_name,
                     kSizeNotListed, false);
}

// Old versions past their days go as the pass reaches their folder, a
// search of one folder: nothing that slows the pass.
void prune_versions_of(Engine& engine, const char* destination_folder, const char* relative)
{
    engine.report.tally.versions_removed +=
        prune_versions(versions_folder(destination_folder, relative).c_str(), report_now(),
                       engine.settings.version_days);
}

// A kept file is tried again after a second; a copied one is followed by
// the standby run's pause of data_time.
StepEnd step_end_of(const Outcome& out)
{
    StepEnd end;
    end.kept_to_retry = out.result >= copy_create_error && out.result != copy_stopped && !out.passed;
    end.copied = out.copied;
    return end;
}

// Whether the run moves on from the file: done, unreadable, or passed.
bool moves_on(const Outcome& out)
{
    return out.result == copy_done || out.result == copy_read_error || out.passed;
}

// Results 2 to 5 keep the file; the window reacts to them unless the user
// chose to keep going (rw_error_mode 0). A file passed at its last try is
// one of the files not backed up, as an unreadable one is: no reaction.
void note_error(Engine& engine, const Outcome& out)
{
    if (out.result >= copy_create_error && !out.passed && engine.settings.rw_error_mode != 0)
        engine.flags.error_pending = 1;
}
