// The menu commands of the main menu and the tray menu. Ids without a
// command here are ignored like any unknown id.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "app/main_window.h"
#include "app/restore_host.h"
#include "app/run_control.h"
#include "app/tray.h"
#include "dialogs/entry_edit_win.h"
#include "dialogs/folder_select_win.h"
#include "dialogs/help_pages.h"
#include "dialogs/help_pages_win.h"
#include "dialogs/info_windows_win.h"
#include "dialogs/list_dialogs_win.h"
#include "dialogs/list_edit_win.h"
#include "dialogs/settings_dialog_win.h"
#include "engine/settings_table.h"
#include "engine/versions.h"
#include "engine/worker.h"
#include "resources/resource.h"
#include "store/program_files.h"

namespace {

bool ask_yes_no(const char* text, const char* caption)
{
    return app_message_box(text, caption, MB_YESNO) == IDYES;
}

// Every command that changes the rows or clears the position ends here, so
// that no run resumes at a position of another list.
void reset_run_position()
{
    Engine& e = engine();
    reset_progress(e);
    reset_status_columns(e, 0);
    refresh_list_view();
}

void on_command_new_list()
{
    Engine& e = engine();
    if (list_row_count(e.list) == 0)
        return;
    if (!ask_yes_no("保存せずに新規作成してよいですか？", "新規作成"))
        return;
    list_clear(e.list);
    reset_run_position();
}

void on_command_open_list()
{
    Engine& e = engine();
    App& a = app();
    if (list_row_count(e.list) > 0 && !ask_yes_no("保存せずに開いてもよいですか？", "ファイル読出"))
        return;
    if (choose_list_file_to_open(a.main_window, e.workdir, a.current_list_file, e.notifier))
        load_list_file(e, a.current_list_file);
    reset_run_position();
}

void on_command_save_list_as()
{
    App& a = app();
    if (choose_list_file_to_save(a.main_window, engine().workdir, a.current_list_file, engine().notifier))
        save_list_file(engine(), a.current_list_file);
}

void on_command_save_list()
{
    App& a = app();
    if (a.current_list_file[0] == 0)
        on_command_save_list_as();
    else
        save_list_file(engine(), a.current_list_file);
}

void on_command_start(RunMode mode)
{
    start_run(StartBy::user, StartKind::by_hand, mode);
}

// The folders of old versions of the list's backup folders, each once.
std::vector<std::string> versions_roots(const BackupList& list)
{
    std::vector<std::string> backups;
    for (int row = 0; row < list_row_count(list); ++row) {
        char backup[kFieldSize];
        list_get_cell(list, row, col_destination, backup);
        bool known = backup[0] == 0;
        for (const std::string& seen : backups)
            known = known || same_folder(seen.c_str(), backup);
        if (!known)
            backups.push_back(backup);
    }
    std::vector<std::string> roots;
    for (const std::string& backup : backups)
        roots.push_back(versions_folder(backup.c_str(), ""));
    return roots;
}

int versions_past(int days)
{
    ReportTime now = report_now();
    int past = 0;
    for (const std::string& root : versions_roots(engine().list))
        past += count_versions_past(root.c_str(), now, days);
    return past;
}

// The dialog never writes the record under a live worker.
void on_command_settings()
{
    show_settings_dialog(app().list_view, engine().settings, versions_past);
}

void on_command_reset_settings()
{
    Engine& e = engine();
    reset_settings(e.settings, e.progress);
}

void on_command_clear_position()
{
    if (!ask_yes_no("現在値をクリアしてよいですか？", "現在値クリア"))
        return;
    reset_run_position();
    update_status_bar();
}

ListEdit list_edit()
{
    App& a = app();
    return ListEdit{a.main_window, a.list_view, &engine(), &a.entry_buffer};
}

// The list edits end with the reset whatever happened: also after a
// no-selection message, a cancelled dialog or a Copy that changed nothing.
// A cancelled New entry adds no row, and Edit without a selection opens no
// dialog: an empty row or the same message twice would serve no one.
void on_command_entry_new()
{
    ListEdit edit = list_edit();
    clear_entry_buffer(*edit.buffer);
    if (show_entry_edit_dialog(edit.owner, *edit.buffer, edit.engine->settings))
        append_buffer_entry(edit);
    reset_run_position();
}

void on_command_entry_edit()
{
    ListEdit edit = list_edit();
    if (load_selected_entry(edit) && show_entry_edit_dialog(edit.owner, *edit.buffer, edit.engine->settings))
        store_selected_entry(edit);
    reset_run_position();
}

// Delete, Copy, Paste, Paste as new and Add all: one operation, then the
// reset.
void on_command_list_edit(void (*operation)(const ListEdit&))
{
    operation(list_edit());
    reset_run_position();
}

// Add selected: the destination first, then the items to back up into it;
// both dialogs open whatever the first one ended with, and the reset
// follows as after every list edit.
void on_command_add_selected()
{
    Engine& e = engine();
    HWND owner = app().main_window;
    show_folder_select(owner, select_destination, e.settings, e.list);
    show_folder_select(owner, select_source, e.settings, e.list);
    reset_run_position();
}

void open_web_page(const char* page)
{
    open_help_page(app().main_window, page);
}

// quillsave.log in the user's text editor (the shell's "open" verb; Notepad
// where no program takes .log). Before the first report there is nothing to
// open, and a box says so rather than an editor on an empty file.
void on_command_open_report()
{
    Engine& e = engine();
    HWND owner = app().main_window;
    char path[kFieldSize];
    if (!join_path(path, e.workdir.path, kReportName) || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
        app_message_box("報告（quillsave.log）はまだありません。\r\nバックアップを行うと作られます。", "報告を開く",
                        MB_OK);
        return;
    }
    if (reinterpret_cast<INT_PTR>(ShellExecuteA(owner, "open", path, nullptr, e.workdir.path, SW_SHOWNORMAL)) > 32)
        return;
    std::string quoted = std::string("\"") + path + "\"";
    ShellExecuteA(owner, "open", "notepad.exe", quoted.c_str(), e.workdir.path, SW_SHOWNORMAL);
}

void on_command_tray_exit()
{
    HWND window = app().main_window;
    restore_from_tray(window);
    DestroyWindow(window);
}

// When a command is refused, and its menu item grayed: a command that would
// change the list, the settings or the run position, or start a second run,
// waits for the worker to end. The settings reset stays usable during a run,
// whose next step then begins at row 0; but a worker left behind by a stop
// would go on stepping from a position nothing shows.
enum class Lock { none, run_or_worker, worker_only };

struct Command {
    int id;
    Lock lock;
    void (*handler)();
};

const Command kCommands[] = {
    {IDM_FILE_NEW, Lock::run_or_worker, on_command_new_list},
    {IDM_FILE_OPEN, Lock::run_or_worker, on_command_open_list},
    {IDM_FILE_SAVE, Lock::run_or_worker, on_command_save_list},
    {IDM_FILE_SAVE_AS, Lock::run_or_worker, on_command_save_list_as},
    {IDM_START_STANDBY, Lock::run_or_worker, [] { on_command_start(RunMode::standby); }},
    // A stop leaves a pause after an error and its restart timer; ending the
    // pause is the only way out of it.
    {IDM_STOP, Lock::none, [] { stop_run(Pause::keep); }},
    {IDM_START_CONTINUOUS, Lock::run_or_worker, [] { on_command_start(RunMode::continuous); }},
    {IDM_END_PAUSE, Lock::none, [] { stop_run(Pause::end); }},
    {IDM_MODE_HELP, Lock::none, [] { open_mode_help_window(app().main_window); }},
    {IDM_TO_TRAY, Lock::none, [] { send_to_tray(app().main_window); }},
    {IDM_OPEN_REPORT, Lock::none, on_command_open_report},
    // Browsing goes beside a run; the restore itself pauses the run.
    {IDM_RESTORE, Lock::none, open_restore_window},
    {IDM_ENTRY_NEW, Lock::run_or_worker, on_command_entry_new},
    {IDM_ENTRY_EDIT, Lock::run_or_worker, on_command_entry_edit},
    {IDM_ENTRY_DELETE, Lock::run_or_worker, [] { on_command_list_edit(delete_selected_rows); }},
    {IDM_ENTRY_COPY, Lock::run_or_worker,
     [] { on_command_list_edit([](const ListEdit& edit) { load_selected_entry(edit); }); }},
    {IDM_ENTRY_PASTE, Lock::run_or_worker, [] { on_command_list_edit(store_selected_entry); }},
    {IDM_ENTRY_PASTE_NEW, Lock::run_or_worker, [] { on_command_list_edit(append_buffer_entry); }},
    {IDM_ADD_ALL, Lock::run_or_worker, [] { on_command_list_edit(add_all_items); }},
    {IDM_ADD_SELECTED, Lock::run_or_worker, on_command_add_selected},
    {IDM_DESELECT, Lock::run_or_worker, [] { deselect_all_rows(app().list_view); }},
    {IDM_SHOW_FOLDER, Lock::none, [] { show_selected_folder(list_edit()); }},
    {IDM_SETTINGS, Lock::run_or_worker, on_command_settings},
    {IDM_RESET_SETTINGS, Lock::worker_only, on_command_reset_settings},
    {IDM_CLEAR_POSITION, Lock::run_or_worker, on_command_clear_position},
    {IDM_COPY_NAMES, Lock::none, [] { open_copy_name_window(app().main_window, engine().copy_paths); }},
    {IDM_HELP, Lock::none, [] { open_web_page(kHelpPage); }},
    {IDM_HOME_PAGE, Lock::none, [] { open_web_page(kHomePage); }},
    {IDM_ABOUT, Lock::none, [] { open_about_box(app().main_window); }},
    {IDM_EXIT, Lock::none, [] { DestroyWindow(app().main_window); }},
    {IDM_TRAY_RESTORE, Lock::none, [] { restore_from_tray(app().main_window); }},
    {IDM_TRAY_RESTORE_FILES, Lock::none, open_restore_window},
    {IDM_TRAY_EXIT, Lock::none, on_command_tray_exit},
};

bool refused(Lock lock)
{
    switch (lock) {
    case Lock::run_or_worker: return list_locked();
    case Lock::worker_only: return list_locked() && !run_active(engine().flags);
    default: return false;
    }
}

}  // namespace

// Commands grayed in the menu can still arrive (posted by another program);
// each command that would change what the worker works on asks this first.
bool list_locked()
{
    Engine& e = engine();
    return run_active(e.flags) || worker_alive(e);
}

void on_command(int id)
{
    for (const Command& command : kCommands) {
        if (command.id == id) {
            if (!refused(command.lock))
                command.handler();
            return;
        }
    }
}

void gray_refused_commands(HMENU menu)
{
    for (const Command& command : kCommands) {
        if (command.lock != Lock::none)
            EnableMenuItem(menu, command.id, MF_BYCOMMAND | (refused(command.lock) ? MF_GRAYED : MF_ENABLED));
    }
}
