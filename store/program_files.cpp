// Loading and saving set.ini, the list files, folder.ini and file.ini.
#include <algorithm>

#include "store/program_files.h"
#include "engine/engine.h"
#include "engine/settings_table.h"
#include "store/file_access.h"
#include "store/formats.h"

namespace {

// Writes the bytes over the file, or deletes the file when there are none
// (an empty list or table is never written as an empty file). Returns false
// only when that delete failed.
bool save_or_delete(Engine& engine, const char* file_name, const std::string& bytes)
{
    if (bytes.empty())
        return delete_program_file(engine, file_name);
    write_program_file(engine, file_name, bytes);
    return true;
}

// A program file that is there but could not be read at its load is kept
// as it was: saving it would put the defaults or an empty list (which
// deletes the file) over what the user had. Other names (a list the user
// chose) are written as asked.
void note_load(Engine& engine, const char* file_name, ReadOutcome outcome)
{
    std::vector<std::string>& kept = engine.unread_files;
    kept.erase(std::remove(kept.begin(), kept.end(), file_name), kept.end());
    if (outcome == ReadOutcome::unreadable && names_program_file(file_name))
        kept.push_back(file_name);
}

bool kept_as_it_was(const Engine& engine, const char* file_name)
{
    const std::vector<std::string>& kept = engine.unread_files;
    return std::find(kept.begin(), kept.end(), file_name) != kept.end();
}

}  // namespace

void load_settings(Engine& engine, const char* file_name)
{
    reset_settings(engine.settings, engine.progress);
    ReadOutcome outcome = read_program_file(engine, file_name, OpenMode::create_missing, [&](const ByteSource& source) {
        read_settings(engine.settings, engine.progress, source);
    });
    note_load(engine, file_name, outcome);
}

void save_settings(Engine& engine, const char* file_name)
{
    if (kept_as_it_was(engine, file_name))
        return;
    write_program_file(engine, file_name, format_settings(engine.settings, engine.progress));
}

void load_list_file(Engine& engine, const char* file_name)
{
    // Emptied even when the file then cannot be opened.
    list_clear(engine.list);
    ReadOutcome outcome = read_program_file(engine, file_name, OpenMode::must_exist,
                                            [&](const ByteSource& source) { read_list(engine.list, source); });
    note_load(engine, file_name, outcome);
}

void save_list_file(Engine& engine, const char* file_name)
{
    if (kept_as_it_was(engine, file_name))
        return;
    // A missing file is no error here: nothing is shown when the delete fails.
    save_or_delete(engine, file_name, format_list(engine.list));
}

void load_folder_table(Engine& engine, const char* file_name)
{
    clear_folder_table(engine.folders);
    read_program_file(engine, file_name, OpenMode::create_missing,
                      [&](const ByteSource& source) { read_folder_table(engine.folders, source); });
}

void save_folder_table(Engine& engine, const char* file_name)
{
    if (!save_or_delete(engine, file_name, format_folder_table(engine.folders)))
        notify_message(engine.notifier, file_name, "DeleteFile-errer", MessageKind::plain);
}

void load_file_table(Engine& engine, const char* file_name)
{
    clear_file_table(engine.files);
    read_program_file(engine, file_name, OpenMode::create_missing,
                      [&](const ByteSource& source) { read_file_table(engine.files, source); });
}

void save_file_table(Engine& engine, const char* file_name)
{
    // Unlike folder.ini, a failed delete of file.ini is not reported.
    save_or_delete(engine, file_name, format_file_table(engine.files));
}
