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
//   for its one step: reported as unreadable, never taken for empty.
// Every file operation goes through the copies and walks, so no Windows
// header is needed here.
#include "engine/backup_step.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "engine/engine.h"
#include "engine/listed_name.h"

namespace {

constexpr int kPathsFit = -1;

// Builds the source path (source folder, name), the destination's folder
// (destination folder, relative folder) and its path (that folder, name).
// kPathsFit when all fit, otherwise the result the file gets instead of a copy.
int make_copy_paths(char (&source)[kFieldSize], char (&folder)[kFieldSize], char (&destination)[kFieldSize],
                    const char* source_folder, const char* destination_folder, const char* relative,
                    const char* name)
{
    if (source_folder[0] == 0 || is_unreachable_name(name) || !join_path(source, source_folder, name))
        return copy_read_error;
    if (destination_folder[0] == 0)
        return copy_folder_error;
    if (!append_path(folder, destination_folder, relative) || !join_path(destination, folder, name))
        return copy_create_error;
    return kPathsFit;
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

// Publishes the pair, makes the destination's folders and copies the file
// the way the run's mode asks.
int copy_one_file(Engine& engine, const char* source_folder, const char* destination_folder,
                  const char* relative, const char* name)
{
    char source[kFieldSize];
    char folder[kFieldSize];
    char destination[kFieldSize];
    int result = make_copy_paths(source, folder, destination, source_folder, destination_folder, relative, name);
    if (result != kPathsFit)
        return result;
    set_copy_paths(engine.copy_paths, source, destination);
    bool known = std::strcmp(folder, checked_folder) == 0;
    if (!known && !make_destination_folder(engine, folder, destination))
        return copy_folder_error;
    result = copy_by_mode(engine, source, folder, name, destination);
    if (result == copy_create_error && known) {
        // Perhaps the folder went away after it was checked: as if the
        // check had been made before this file.
        if (!make_destination_folder(engine, folder, destination))
            return copy_folder_error;
        result = copy_by_mode(engine, source, folder, name, destination);
    }
    return result;
}

// Results 2 to 5 keep the file; the shell reacts to them unless the user
// chose to keep going (rw_error_mode 0).
void note_error(Engine& engine, int result)
{
    if (result >= copy_create_error && engine.settings.rw_error_mode != 0)
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
    int result = copy_one_file(engine, source, destination, "", name);
    if (engine.flags.running.load() == 1) {
        list_set_cell(engine.list, row, col_file_status, copy_result_text(result));
        note_error(engine, result);
        list_set_cell(engine.list, row, col_folder_status, "完");
    }
    if (result == copy_done || result == copy_read_error)
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
// folder status shows how many are.
void advance_entry(Engine& engine, int row)
{
    ProgressState& p = engine.progress;
    if (p.folder_count >= p.folder_max) {
        p.folder_count = 0;
        p.folder_search_flag = 0;
        list_set_cell(engine.list, row, col_folder_status, "完");
        p.fmove_point += 1;
    } else {
        set_number_cell(engine, row, col_folder_status, p.folder_count);
    }
}

// Moves the folder and the entry on after a step of a folder entry; made
// only while the run goes on (otherwise a later step makes the moves).
void advance_folder_entry(Engine& engine, int row, int result, const char* folder)
{
    ProgressState& p = engine.progress;
    char text[16];
    if (result == copy_done) {
        std::snprintf(text, sizeof text, "%d", files_done_in_folder(engine));
        if (p.file_count >= p.file_max && !continue_folder(engine, folder)) {
            p.file_count = 0;
            p.folder_count += 1;
            p.file_search_flag = 0;
            copy_field(text, "完");
        }
    } else {
        copy_field(text, copy_result_text(result));
        note_error(engine, result);
    }
    list_set_cell(engine.list, row, col_file_status, text);
    advance_entry(engine, row);
}

// A folder entry whose tree cannot be walked is done in one step with "読e".
void finish_unreadable_entry(Engine& engine, int row)
{
    ProgressState& p = engine.progress;
    p.folder_search_flag = 0;
    p.file_search_flag = 0;
    if (engine.flags.running.load() != 1)
        return;
    list_set_cell(engine.list, row, col_file_status, copy_result_text(copy_read_error));
    list_set_cell(engine.list, row, col_folder_status, "完");
    p.folder_count = 0;
    p.file_count = 0;
    p.fmove_point += 1;
}

// A folder that cannot be entered takes one step: "読e", then the next folder.
void unreachable_folder_step(Engine& engine, int row)
{
    ProgressState& p = engine.progress;
    p.file_max = 0;
    if (engine.flags.running.load() != 1)
        return;  // a later step makes the moves
    list_set_cell(engine.list, row, col_file_status, copy_result_text(copy_read_error));
    p.file_count = 0;
    p.file_search_flag = 0;
    p.folder_count += 1;
    advance_entry(engine, row);
}

void folder_entry_step(Engine& engine, int row, const char* source, const char* destination)
{
    ProgressState& p = engine.progress;
    if (source[0] == 0) {
        finish_unreadable_entry(engine, row);
        return;
    }

    if (p.folder_search_flag != 0 && !folder_position_fits(engine, source))
        p.folder_search_flag = 0;
    if (p.folder_search_flag == 0) {
        // A tree of many folders, or a slow share, takes long to walk. A stop
        // ends the walk at the next folder instead of waiting for its end, and
        // the table cut short goes: the next run walks again, and the end of
        // a session, which waits for the worker only briefly, finds the walk
        // over before it writes folder.ini.
        auto stopped = [&engine] { return engine.flags.running.load() != 1; };
        walk_folders(engine.folders, engine.notifier, source, std::strlen(source), stopped);
        if (stopped()) {
            clear_folder_table(engine.folders);
            return;
        }
        p.folder_count = 0;
        p.folder_search_flag = 1;
        p.file_search_flag = 0;  // a new tree: no folder of it is listed yet
    }
    p.folder_max = engine.folders.count();
    if (!folder_position_fits(engine, source)) {
        finish_unreadable_entry(engine, row);  // a walk that gave nothing to stand on
        return;
    }
    const FolderRecord& folder = engine.folders.records[p.folder_count.load()];
    if (is_unreachable_name(folder.full_path.c_str())) {
        unreachable_folder_step(engine, row);
        return;
    }

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
        p.file_count = 0;
        p.file_search_flag = 1;
    }
    p.file_max = engine.files.count();

    int result = copy_done;
    int index = p.file_count.load();
    if (index < p.file_max) {
        char name[kFieldSize];
        copy_field(name, engine.files.records[index].file_name.c_str());
        if (name[0] != 0)
            result = copy_one_file(engine, folder.full_path.c_str(), destination, folder.relative_path.c_str(),
                                   name);
    }
    if (result == copy_done || result == copy_read_error)
        p.file_count += 1;
    if (engine.flags.running.load() == 1)
        advance_folder_entry(engine, row, result, folder.full_path.c_str());
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
    if (engine.flags.running.load() == 1 && engine.notifier.request_refresh)
        engine.notifier.request_refresh();

    if (p.fmove_point >= rows) {
        engine.flags.list_finished = 1;
        p.file_search_flag = 0;
        p.folder_search_flag = 0;
    }
}
