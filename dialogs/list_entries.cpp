// The rows that the list edit commands add.
#include "dialogs/list_entries.h"

#include <cstring>

int insert_entry(BackupList& list, int index, const EntryBuffer& entry)
{
    int row = list_insert_row(list, index, entry.file_name);
    list_set_cell(list, row, col_source, entry.source);
    list_set_cell(list, row, col_destination, entry.destination);
    return row;
}

bool found_item_entry(EntryBuffer& out, bool is_folder, const char* name, const char* source,
                      const char* destination)
{
    clear_entry_buffer(out);
    if (!is_folder) {
        copy_field(out.file_name, name);
        copy_field(out.source, source);
        copy_field(out.destination, destination);
        return true;
    }
    copy_field(out.file_name, "*.*");
    return join_path(out.source, source, name) && join_path(out.destination, destination, name);
}

bool append_picked_item(BackupList& list, const char* name, bool is_folder, const char* folder,
                        const char* file_folder)
{
    bool dots = std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
    EntryBuffer entry;
    if (!found_item_entry(entry, is_folder && !dots, name, folder, file_folder))
        return false;
    insert_entry(list, list_row_count(list), entry);
    return true;
}
