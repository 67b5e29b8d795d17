// One backup step: at most one file copied for the entry at fmove_point, its
// outcome written into the row's status columns, the run position moved on.
// The copy of the file itself is step_file.cpp's.
//
// Choices where the entry or the saved position cannot be used as they are:
// - A folder entry with an empty source is not walked at all (a walk of ""
//   would search the root of the current drive) and is done in one step
//   with "読e" and "完".
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
// "完".
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

#include "base/listed_name.h"
#include "engine/copy_result.h"
#include "engine/engine.h"
#include "engine/run_report.h"
#include "engine/step_file.h"

namespace {

void set_number_cell(Engine& engine, int row, int column, int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    list_set_cell(engine.list, row, column, text);
}

StepEnd single_file_step(Engine& engine, int row, const char* name, const char* source, const char* destination)
{
    if (destination[0] != 0)
        prune_versions_of(engine, destination, "");
    Outcome out = copy_one_file(engine, row, source, destination, "", name, source, name, kSizeNotListed);
    if (run_active(engine.flags)) {
        list_set_cell(engine.list, row, col_file_status, copy_result_text(out.result));
        note_error(engine, out);
        list_set_cell(engine.list, row, col_folder_status, "完");
    }
    engine.progress.miss_count = 0;  // a single file's own status tells it
    if (moves_on(out))
        engine.progress.fmove_point += 1;
    return step_end_of(out);
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

// The rules of the entry's walks, made again at each walk of its tree so
// that a changed setting or registry counts from the next pass.
const WalkRules& rules_for(Engine& engine, int row, bool anew)
{
    if (anew || engine.walk_rules_row != row) {
        engine.walk_rules = make_walk_rules(engine.settings);
        engine.walk_rules_row = row;
    }
    return engine.walk_rules;
}

// What a listing of the folder's files left out on purpose: notes, told once
// in a run, that count nothing.
void tell_listing_notes(Engine& engine, int row, const char* source, const char* folder)
{
    const ListingNotes& notes = engine.files.notes;
    if (notes.cloud_only > 0) {
        engine.report.tally.cloud_only += notes.cloud_only;
        Failure why{ReportReason::cloud_only, 0};
        why.size = static_cast<std::uint64_t>(notes.cloud_only);
        report_note_once(engine, "クラウド", row, source, folder, why);
    }
    char path[kFieldSize];
    for (const std::string& name : notes.system_left_out) {
        if (name.empty() ? copy_field(path, folder) : join_path(path, folder, name.c_str()))
            report_note_once(engine, "除外", row, source, path, Failure{ReportReason::system_excluded, 0});
    }
    for (const std::string& name : notes.dangling_links) {
        if (join_path(path, folder, name.c_str()))
            report_note_once(engine, "リンク", row, source, path, Failure{ReportReason::dangling_link, 0});
    }
}

// After the last file of a full FileTable: lists the files of the same folder
// that follow it. True when there are more, with the position at the first.
bool continue_folder(Engine& engine, int row, const FolderRecord& folder)
{
    const FileTable& files = engine.files;
    if (files.count() < files.limit)
        return false;
    int last = files.records.back().first_number;
    if (last < files.count() - 1)
        last = files.count() - 1;  // a table from a file that left the numbers at 0
    if (last == INT_MAX)
        return false;
    bool more = walk_files(engine.files, folder.full_path.c_str(), folder.full_path.size(), last + 1,
                           &rules_for(engine, row, false), folder.relative_path.c_str());
    char source[kFieldSize];
    list_get_cell(engine.list, row, col_source, source);
    tell_listing_notes(engine, row, source, folder.full_path.c_str());
    if (!more)
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
void advance_folder_entry(Engine& engine, int row, const Outcome& out, const FolderRecord& folder)
{
    ProgressState& p = engine.progress;
    char text[16];
    if (out.result == copy_done) {
        std::snprintf(text, sizeof text, "%d", files_done_in_folder(engine));
        if (p.file_count >= p.file_max && !continue_folder(engine, row, folder)) {
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

// The status of a folder the walk left out on purpose, told as a note that
// counts nothing; nullptr for a folder it could not take.
const char* note_status(ReportReason reason)
{
    switch (reason) {
    case ReportReason::backup_inside:
    case ReportReason::system_excluded: return "除外";
    case ReportReason::folder_link: return "リンク";
    default: return nullptr;
    }
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
                 destination[0] != 0 ? destination : nullptr, &rules_for(engine, row, true));
    if (stopped()) {
        clear_folder_table(engine.folders);
        return false;
    }
    p.miss_count = 0;
    p.try_count = 0;
    for (const auto& folder : left_out) {
        if (const char* status = note_status(folder.second.reason)) {
            report_note_once(engine, status, row, source, folder.first.c_str(), folder.second);
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
        walk_files(engine.files, folder.full_path.c_str(), folder.full_path.size(), 0,
                   &rules_for(engine, row, false), folder.relative_path.c_str());
        tell_listing_notes(engine, row, source, folder.full_path.c_str());
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

// A step that reaches no file (a tree that cannot be walked, a walk cut
// short by a stop, a folder passed) ends with nothing for the pause to
// follow.
StepEnd folder_entry_step(Engine& engine, int row, const char* source, const char* destination)
{
    ProgressState& p = engine.progress;
    if (source[0] == 0) {
        finish_unreadable_entry(engine, row, source);
        return StepEnd{};
    }

    if (p.folder_search_flag != 0 && !folder_position_fits(engine, source))
        p.folder_search_flag = 0;
    if (p.folder_search_flag == 0 && !walk_tree(engine, row, source, destination))
        return StepEnd{};
    p.folder_max = engine.folders.count();
    if (!folder_position_fits(engine, source)) {
        finish_unreadable_entry(engine, row, source);  // a walk that gave nothing to stand on
        return StepEnd{};
    }
    const FolderRecord& folder = engine.folders.records[p.folder_count.load()];
    if (is_unreachable_name(folder.full_path.c_str())) {
        unreachable_folder_step(engine, row, source, folder.full_path.c_str(),
                                Failure{ReportReason::unreachable_name, 0});
        return StepEnd{};
    }
    if (!list_folder(engine, row, source, destination, folder))
        return StepEnd{};

    Outcome out;
    int index = p.file_count.load();
    if (index < p.file_max) {
        const FileRecord& file = engine.files.records[index];
        char name[kFieldSize];
        copy_field(name, file.file_name.c_str());
        if (name[0] != 0)
            out = copy_one_file(engine, row, folder.full_path.c_str(), destination, folder.relative_path.c_str(),
                                name, source, nullptr, file.listed_size);
    }
    if (moves_on(out))
        p.file_count += 1;
    if (run_active(engine.flags))
        advance_folder_entry(engine, row, out, folder);
    return step_end_of(out);
}

// A single-file entry's status after a failure it was passed with.
bool is_failure_text(const char* text)
{
    for (int result : {copy_read_error, copy_create_error, copy_write_error, copy_folder_error})
        if (std::strcmp(text, copy_result_text(result)) == 0)
            return true;
    return false;
}

// What a pass begun or resumed at row (after an error's restart or a new
// start of the program) had not backed up before it: the rows' "×N", a single-file
// entry's failure, and the current entry's misses so far. The end line, the
// tray and the status bar then tell the same count as the rows.
int missed_before(Engine& engine, int row)
{
    int missed = 0;
    char name[kFieldSize];
    char status[kFieldSize];
    for (int r = 0; r < row; ++r) {
        list_get_cell(engine.list, r, col_file_status, status);
        list_get_cell(engine.list, r, col_file_name, name);
        if (name[0] == '*')
            missed += missed_of_status_text(status);
        else if (is_failure_text(status))
            missed += 1;
    }
    return missed + engine.progress.miss_count.load();
}

}  // namespace

StepEnd backup_step(Engine& engine)
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

    StepEnd end;
    if (rows > 0) {
        if (!engine.report.pass_open) {
            bool resumed = p.fmove_point.load() > 0 || p.folder_count.load() > 0 || p.file_count.load() > 0;
            begin_pass_report(engine, engine.flags.run_mode.load(), resumed,
                              missed_before(engine, p.fmove_point.load()));
        }
        const int row = p.fmove_point.load();
        char name[kFieldSize];
        char source[kFieldSize];
        char destination[kFieldSize];
        list_get_cell(engine.list, row, col_file_name, name);
        list_get_cell(engine.list, row, col_source, source);
        list_get_cell(engine.list, row, col_destination, destination);
        if (name[0] == '*')
            end = folder_entry_step(engine, row, source, destination);
        else
            end = single_file_step(engine, row, name, source, destination);
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
    return end;
}