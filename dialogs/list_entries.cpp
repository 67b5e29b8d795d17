// The rows that the list edit commands add.
#include "dialogs/list_entries.h"

#include "dialogs/folder_select_text.h"

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
    copy_field(out.destination, destination);
    if (!is_folder) {
        copy_field(out.file_name, name);
        copy_field(out.source, source);
        return true;
    }
    copy_field(out.file_name, "*.*");
    return join_path(out.source, source, name);
}

bool append_picked_item(BackupList& list, const char* name, const char* folder, const char* destination)
{
    EntryBuffer entry;
    if (!picked_item_entry(entry, name, folder, destination))
        return false;
    insert_entry(list, list_row_count(list), entry);
    return true;
}
