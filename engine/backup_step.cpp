// One backup step: at most one file copied for the entry at fmove_point, its
// outcome written into the row's status columns, the run position moved on.
//
// Choices where the entry or the saved position cannot be used as they are:
// - An empty source folder text names no file: the entry's file gets "読e" and
//   the run moves on, as for a missing source. A folder entry with an empty
//   source is not walked at all (a walk of "" would search the root of the
//   current drive) and is done in one step with "読e" and "完".
// - An empty destination folder text gets "棚e": joining a name to it would
//   copy into whatever folder happens to be current.
// - A joined path over 259 bytes is never cut: a source path that does not fit
//   gives "読e" (the file cannot be read by that name, the run moves on), a
//   destination path that does not fit gives "作e" (the copy cannot be made,
//   and the error reaches the user by rw_error_mode).
// - A saved position that does not fit the tables (a lost or foreign
//   folder.ini or file.ini, a hand-edited set.ini, a loaded FileTable whose
//   first or last name is no file of the folder resumed) is walked again
//   from the start of the entry or the folder: copies of files that are up to date are
//   left alone, so walking again costs only time, while treating the entry as
//   done could skip files without a word.
// - A folder with more files than a FileTable holds is listed again past the
//   last file of the full table instead of being left, so no file is skipped.
// - A file or folder that the walks could not give a usable name (code page
//   932 cannot hold its own name and it has no short name) is recorded with
//   "?" in its name. Such a file gets "読e" at its step, such a folder "読e"
//   for its one step: reported as unreadable, never taken for empty. So
//   does a folder that cannot be searched, the entry's source folder too.
//
// Nothing is skipped in silence: every file or folder the pass does not back
// up is a line of quillsave.log with its reason, and a folder entry that
// left any ends with their count in its file status ("×2") instead of
// "完". One file never holds the rest back: a file that failed three tries
// in a row (results 2, 3 and 5; a stop is no try) is passed, told and tried
// again at the next pass. The tries are counted with the run position, so
// restarts and new starts of the program count too. A failure that every
// file of the backup folder would meet (its drive or share gone, the disk
// full) passes nothing: the run waits as before, and the report tells once
// what for.
//
// Every file operation goes through the copies and walks, so no Windows
// header is needed here.
#include "engine/backup_step.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "engine/engine.h"
#include "engine/listed_name.h"
#include "engine/versions.h"

namespace {

constexpr int kPathsFit = -1;
// Tries of one file before it is passed.
constexpr int kTriesBeforePassing = 3;

// The system's code the step gives itself (winerror.h).
constexpr unsigned long kPathNotFound = 3;

// What a file's step came to: the result, and why when it is no success.
struct Outcome {
    int result = copy_done;
    Failure why;
    bool passed = false;  // failed its last try: passed, the run goes on
};

Outcome failure_of(int result, ReportReason reason, unsigned long code = 0)
{
    Outcome out;
    out.result = result;
    out.why = Failure{reason, code};
    return out;
}

// Builds the source path (source folder, name), the destination's folder
// (destination folder, relative folder) and its path (that folder, name).
// kPathsFit when all fit, otherwise the result the file gets instead of a
// copy, with why.
Outcome make_copy_paths(char (&source)[kFieldSize], char (&folder)[kFieldSize], char (&destination)[kFieldSize],
                        const char* source_folder, const char* destination_folder, const char* relative,
                        const char* name)
{
    if (source_folder[0] == 0)
        return failure_of(copy_read_error, ReportReason::system_error, kPathNotFound);
    if (is_unreachable_name(name))
        return failure_of(copy_read_error, ReportReason::unreachable_name);
    if (!join_path(source, source_folder, name))
        return failure_of(copy_read_error, ReportReason::source_too_long);
    if (destination_folder[0] == 0)
        return failure_of(copy_folder_error, ReportReason::system_error, kPathNotFound);
    if (!append_path(folder, destination_folder, relative) || !join_path(destination, folder, name))
        return failure_of(copy_create_error, ReportReason::backup_too_long);
    return failure_of(kPathsFit, ReportReason::system_error);
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
// between steps or after the run. The copies use whole paths.
bool make_destination_folder(Engine& engine, const char* folder, const char* destination)
{
    int checked = check_destination(destination);
    engine.copy_detail.error = last_system_error();
    make_working_directory_current(engine.workdir);
    if (checked != 0) {
        checked_folder[0] = 0;
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

int copy_by_mode(Engine& engine, const char* source, const char* folder, const char* name,
                 const char* destination)
{
    if (engine.flags.run_mode.load() == 0)
        return copy_standby(engine, source, destination, 0);
    return copy_continuous_hinted(engine, source, destination, engine.settings.conut_save_mode,
                                  engine.backup_names.hint(folder, name));
}

int copy_the_pair(Engine& engine, const char* source, const char* folder, const char* name,
                  const char* destination)
{
    set_copy_paths(engine.copy_paths, source, destination);
    bool known = std::strcmp(folder, checked_folder) == 0;
    if (!known && !make_destination_folder(engine, folder, destination))
        return copy_folder_error;
    int result = copy_by_mode(engine, source, folder, name, destination);
    if (result == copy_create_error && known) {
        // Perhaps the folder went away after it was checked: as if the
        // check had been made before this file.
        if (!make_destination_folder(engine, folder, destination))
            return copy_folder_error;
        result = copy_by_mode(engine, source, folder, name, destination);
    }
    return result;
}

// The file's path as the report names it, also when it is too long to use.
std::string reported_path(const char* folder, const char* name)
{
    std::string path = folder;
    if (!ends_in_separator(folder))
        path += '\\';
    return path + name;
}

// Counts the outcome into the pass, tells the report what was not backed up
// or what the run waits for, and passes a file at its last try.
void settle(Engine& engine, Outcome& out, int row, const char* entry_source, const char* path,
            const char* destination_folder)
{
    ProgressState& p = engine.progress;
    RunReport& r = engine.report;
    const char* status = copy_result_text(out.result);
    if (out.result == copy_done) {
        p.try_count = 0;
        r.waiting_told = false;
        engine.last_step_copied = engine.copy_detail.copied;
        if (engine.copy_detail.copied) {
            r.tally.copied += 1;
            r.tally.bytes += engine.copy_detail.bytes;
        } else {
            r.tally.up_to_date += 1;
        }
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
    // The backup folder's drive or share gone, or its disk full: every file
    // would fail so, and passing them all would only empty the run into the
    // report. The run waits as it always has.
    if ((out.why.reason == ReportReason::system_error && is_backup_wide(out.why.code)) ||
        !backup_root_present(destination_folder)) {
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

// The folder of old versions of an entry's backup folder, and its folder
// for a relative folder of the tree.
std::string versions_folder(const char* destination_folder, const char* relative)
{
    return reported_path(destination_folder, kVersionsFolder) + relative;
}

// Where the backup the copy may replace goes. False when versions are kept
// but the version's path cannot be made to fit 259 bytes: the backup is
// then replaced as before, and the report says so.
bool choose_version_path(Engine& engine, const char* destination_folder, const char* relative, const char* name)
{
    engine.keep_as[0] = 0;
    if (engine.settings.version_days <= 0)
        return true;
    return version_path(engine.keep_as, destination_folder, relative, name, report_now());
}

bool disk_full(int result, unsigned long error)
{
    return (result == copy_create_error || result == copy_write_error) && is_disk_full(error);
}

// Free space asked for beyond the file itself: the file system's own
// records of the new file and its folder.
constexpr unsigned long long kRoomMargin = 64 * 1024;

// Old versions never take the space a backup needs: on a full disk the
// oldest versions of the entry's backup folder go, oldest first, until the
// file fits, and the copy is made again before it counts as failed.
int copy_with_room(Engine& engine, const char* source, const char* folder, const char* name, const char* destination,
                   const char* destination_folder)
{
    int result = copy_the_pair(engine, source, folder, name, destination);
    for (int round = 0; round < 3 && disk_full(result, engine.copy_detail.error); ++round) {
        int removed = free_space_from_versions(versions_folder(destination_folder, "").c_str(),
                                               file_size_of(source) + kRoomMargin);
        if (removed == 0)
            break;
        engine.report.tally.versions_removed += removed;
        result = copy_the_pair(engine, source, folder, name, destination);
    }
    return result;
}

// Publishes the pair, makes the destination's folders, copies the file the
// way the run's mode asks, and settles the outcome.
Outcome copy_one_file(Engine& engine, int row, const char* source_folder, const char* destination_folder,
                      const char* relative, const char* name, const char* entry_source)
{
    char source[kFieldSize];
    char folder[kFieldSize];
    char destination[kFieldSize];
    Outcome out = make_copy_paths(source, folder, destination, source_folder, destination_folder, relative, name);
    engine.copy_detail = CopyDetail{};
    std::string path = reported_path(source_folder, name);
    if (out.result == kPathsFit) {
        bool version_fits = choose_version_path(engine, destination_folder, relative, name);
        out.result = copy_with_room(engine, source, folder, name, destination, destination_folder);
        out.why = Failure{ReportReason::system_error, engine.copy_detail.error};
        if (engine.copy_detail.kept_version)
            engine.report.tally.versions_kept += 1;
        else if (engine.copy_detail.replaced && !version_fits)
            report_note(engine, copy_result_text(out.result), row, entry_source, path.c_str(),
                        Failure{ReportReason::version_too_long, 0});
    }
    settle(engine, out, row, entry_source, path.c_str(), destination_folder);
    // What the worker's pause after the step follows: a kept file is tried
    // again after a second.
    engine.last_step_failed = out.result >= copy_create_error && out.result != copy_stopped && !out.passed;
    return out;
}

// Old versions past their days go as the pass reaches their folder, a
// search of one folder: nothing that slows the pass.
void prune_versions_of(Engine& engine, const char* destination_folder, const char* relative)
{
    engine.report.tally.versions_removed +=
        prune_versions(versions_folder(destination_folder, relative).c_str(), report_now(),
                       engine.settings.version_days);
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

void set_number_cell(Engine& engine, int row, int column, int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    list_set_cell(engine.list, row, column, text);
}

void single_file_step(Engine& engine, int row, const char* name, const char* source, const char* destination)
{
    if (destination[0] != 0)
        prune_versions_of(engine, destination, "");
    Outcome out = copy_one_file(engine, row, source, destination, "", name, source);
    if (run_active(engine.flags)) {
        list_set_cell(engine.list, row, col_file_status, copy_result_text(out.result));
        note_error(engine, out);
        list_set_cell(engine.list, row, col_folder_status, "完");
    }
    engine.progress.miss_count = 0;  // a single file's own status tells it
    if (moves_on(out))
        engine.progress.fmove_point += 1;
}

// Whether the FolderTable and folder_count still describe this entry's tree.
bool folder_position_fits(const Engine& engine, const char* source)
{
    int count = engine.folders.count();
    int index = engine.progress.folder_count.load();
    return count > 0 && index >= 0 && index < count && engine.folders.records[0].full_path == source;
}

// Whether the FileTable and file_count can be a position in a folder. A
// count of 0 is listed again too: it is what a lost file.ini leaves, and an
// empty folder costs one search to list again.
bool file_position_fits(const Engine& engine)
{
    int count = engine.files.count();
    int index = engine.progress.file_count.load();
    return count > 0 && index >= 0 && index <= count;
}

// Files of the current folder done, counted over every listing of it: a
// listing that continues a full one numbers its files on from there.
int files_done_in_folder(const Engine& engine)
{
    int done = engine.progress.file_count.load();
    if (engine.files.count() > 0 && engine.files.records[0].first_number > 0)
        done += engine.files.records[0].first_number;
    return done;
}

// After the last file of a full FileTable: lists the files of the same folder
// that follow it. True when there are more, with the position at the first.
bool continue_folder(Engine& engine, const char* folder)
{
    const FileTable& files = engine.files;
    if (files.count() < files.limit)
        return false;
    int last = files.records.back().first_number;
    if (last < files.count() - 1)
        last = files.count() - 1;  // a table from a file that left the numbers at 0
    if (last == INT_MAX)
        return false;
    if (!walk_files(engine.files, folder, std::strlen(folder), last + 1))
        return false;
    engine.progress.file_count = 0;
    engine.progress.file_max = engine.files.count();
    return true;
}

// After a folder: the entry is done once its last folder is, otherwise the
// folder status shows how many are. An entry that left files not backed up
// ends with their count, never with "完" over them.
void advance_entry(Engine& engine, int row)
{
    ProgressState& p = engine.progress;
    if (p.folder_count >= p.folder_max) {
        p.folder_count = 0;
        p.folder_search_flag = 0;
        int missed = p.miss_count.exchange(0);
        if (missed > 0)
            list_set_cell(engine.list, row, col_file_status, missed_status_text(missed).c_str());
        list_set_cell(engine.list, row, col_folder_status, "完");
        p.fmove_point += 1;
    } else {
        set_number_cell(engine, row, col_folder_status, p.folder_count);
    }
}

// Moves the folder and the entry on after a step of a folder entry; made
// only while the run goes on (otherwise a later step makes the moves).
void advance_folder_entry(Engine& engine, int row, const Outcome& out, const char* folder)
{
    ProgressState& p = engine.progress;
    char text[16];
    if (out.result == copy_done) {
        std::snprintf(text, sizeof text, "%d", files_done_in_folder(engine));
        if (p.file_count >= p.file_max && !continue_folder(engine, folder)) {
            p.file_count = 0;
            p.folder_count += 1;
            p.file_search_flag = 0;
            copy_field(text, "完");
        }
    } else {
        copy_field(text, copy_result_text(out.result));
        note_error(engine, out);
    }
    list_set_cell(engine.list, row, col_file_status, text);
    advance_entry(engine, row);
}

// A folder entry whose tree cannot be walked is done in one step with "読e".
void finish_unreadable_entry(Engine& engine, int row, const char* source)
{
    ProgressState& p = engine.progress;
    p.folder_search_flag = 0;
    p.file_search_flag = 0;
    if (!run_active(engine.flags))
        return;
    report_not_backed_up(engine, copy_result_text(copy_read_error), row, source, source,
                         Failure{ReportReason::system_error, kPathNotFound});
    p.miss_count = 0;
    p.try_count = 0;
    list_set_cell(engine.list, row, col_file_status, copy_result_text(copy_read_error));
    list_set_cell(engine.list, row, col_folder_status, "完");
    p.folder_count = 0;
    p.file_count = 0;
    p.fmove_point += 1;
}

// A folder that cannot be entered or searched takes one step: "読e", then
// the next folder.
void unreachable_folder_step(Engine& engine, int row, const char* source, const char* folder, const Failure& why)
{
    ProgressState& p = engine.progress;
    p.file_max = 0;
    if (!run_active(engine.flags))
        return;  // a later step makes the moves
    report_not_backed_up(engine, copy_result_text(copy_read_error), row, source, folder, why);
    p.miss_count += 1;
    list_set_cell(engine.list, row, col_file_status, copy_result_text(copy_read_error));
    p.file_count = 0;
    p.file_search_flag = 0;
    p.folder_count += 1;
    advance_entry(engine, row);
}

// The walk of the entry's tree, made at its first step and after a stop cut
// it short. False when a stop ended it: the table cut short goes, and the
// next run walks again.
bool walk_tree(Engine& engine, int row, const char* source, const char* destination)
{
    ProgressState& p = engine.progress;
    // A tree of many folders, or a slow share, takes long to walk. A stop
    // ends the walk at the next folder instead of waiting for its end, so
    // the end of a session, which waits for the worker only briefly, finds
    // the walk over before it writes folder.ini.
    auto stopped = [&engine] { return !run_active(engine.flags); };
    // Folders left out are told once the walk is known to be whole.
    std::vector<std::pair<std::string, Failure>> left_out;
    walk_folders(engine.folders, engine.notifier, source, std::strlen(source), stopped,
                 [&left_out](const char* path, const Failure& why) { left_out.emplace_back(path, why); },
                 destination[0] != 0 ? destination : nullptr);
    if (stopped()) {
        clear_folder_table(engine.folders);
        return false;
    }
    p.miss_count = 0;
    p.try_count = 0;
    for (const auto& folder : left_out) {
        if (folder.second.reason == ReportReason::backup_inside) {
            report_note(engine, "除外", row, source, folder.first.c_str(), folder.second);
            continue;
        }
        report_not_backed_up(engine, copy_result_text(copy_read_error), row, source, folder.first.c_str(),
                             folder.second);
        p.miss_count += 1;
    }
    p.folder_count = 0;
    p.folder_search_flag = 1;
    p.file_search_flag = 0;  // a new tree: no folder of it is listed yet
    return true;
}

// The files of the folder at the position, listed at its first step (or
// taken from file.ini when that belongs to it). False when the folder
// cannot be listed: the step has then told it and moved on.
bool list_folder(Engine& engine, int row, const char* source, const char* destination, const FolderRecord& folder)
{
    ProgressState& p = engine.progress;
    if (p.file_search_flag != 0 && !file_position_fits(engine))
        p.file_search_flag = 0;
    if (p.file_search_flag != 0 && !engine.files.verified) {
        // Checked once, on the first step after the table was loaded.
        if (file_table_belongs_to(engine.files, folder.full_path.c_str()))
            engine.files.verified = true;
        else
            p.file_search_flag = 0;
    }
    if (p.file_search_flag == 0) {
        walk_files(engine.files, folder.full_path.c_str(), folder.full_path.size());
        if (engine.files.search_error != 0) {
            unreachable_folder_step(engine, row, source, folder.full_path.c_str(),
                                    Failure{ReportReason::system_error, engine.files.search_error});
            return false;
        }
        p.file_count = 0;
        p.file_search_flag = 1;
        if (destination[0] != 0)
            prune_versions_of(engine, destination, folder.relative_path.c_str());
    }
    p.file_max = engine.files.count();
    return true;
}

void folder_entry_step(Engine& engine, int row, const char* source, const char* destination)
{
    ProgressState& p = engine.progress;
    if (source[0] == 0) {
        finish_unreadable_entry(engine, row, source);
        return;
    }

    if (p.folder_search_flag != 0 && !folder_position_fits(engine, source))
        p.folder_search_flag = 0;
    if (p.folder_search_flag == 0 && !walk_tree(engine, row, source, destination))
        return;
    p.folder_max = engine.folders.count();
    if (!folder_position_fits(engine, source)) {
        finish_unreadable_entry(engine, row, source);  // a walk that gave nothing to stand on
        return;
    }
    const FolderRecord& folder = engine.folders.records[p.folder_count.load()];
    if (is_unreachable_name(folder.full_path.c_str())) {
        unreachable_folder_step(engine, row, source, folder.full_path.c_str(),
                                Failure{ReportReason::unreachable_name, 0});
        return;
    }
    if (!list_folder(engine, row, source, destination, folder))
        return;

    Outcome out;
    int index = p.file_count.load();
    if (index < p.file_max) {
        char name[kFieldSize];
        copy_field(name, engine.files.records[index].file_name.c_str());
        if (name[0] != 0)
            out = copy_one_file(engine, row, folder.full_path.c_str(), destination, folder.relative_path.c_str(),
                                name, source);
    }
    if (moves_on(out))
        p.file_count += 1;
    if (run_active(engine.flags))
        advance_folder_entry(engine, row, out, folder.full_path.c_str());
}

}  // namespace

void backup_step(Engine& engine)
{
    ProgressState& p = engine.progress;
    const int rows = list_row_count(engine.list);

    // A position past the list (rows deleted, a shorter list loaded) or
    // before it (a hand-edited set.ini) begins a new pass.
    if (p.fmove_point >= rows || p.fmove_point < 0) {
        reset_status_columns(engine, rows);
        reset_progress(engine);
        engine.flags.list_finished = 0;
    }

    if (rows > 0) {
        if (!engine.report.pass_open) {
            bool resumed = p.fmove_point.load() > 0 || p.folder_count.load() > 0 || p.file_count.load() > 0;
            begin_pass_report(engine, engine.flags.run_mode.load(), resumed);
        }
        const int row = p.fmove_point.load();
        char name[kFieldSize];
        char source[kFieldSize];
        char destination[kFieldSize];
        list_get_cell(engine.list, row, col_file_name, name);
        list_get_cell(engine.list, row, col_source, source);
        list_get_cell(engine.list, row, col_destination, destination);
        if (name[0] == '*')
            folder_entry_step(engine, row, source, destination);
        else
            single_file_step(engine, row, name, source, destination);
    }

    // A posted request only: the worker never waits on the window's thread.
    if (run_active(engine.flags) && engine.notifier.request_refresh)
        engine.notifier.request_refresh();

    if (p.fmove_point >= rows) {
        end_pass_report(engine, false);
        engine.flags.list_finished = 1;
        p.file_search_flag = 0;
        p.folder_search_flag = 0;
    }
}
