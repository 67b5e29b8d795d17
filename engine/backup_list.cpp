#include "engine/backup_list.h"

#include <cstring>

// Widens the range of changed rows; the caller holds the lock.
static void mark_row(ListChanges& changes, int row)
{
    if (changes.first < 0 || row < changes.first)
        changes.first = row;
    if (row > changes.last)
        changes.last = row;
}

// Row insertions and deletions move every later row, so the view repaints
// from the first row affected to the end.
static void mark_rows_moved(BackupList& list, int from)
{
    list.changes.rows_added_or_removed = true;
    mark_row(list.changes, from);
    int last = static_cast<int>(list.rows.size()) - 1;
    if (last > list.changes.last)
        list.changes.last = last;
}

static bool valid_cell(const BackupList& list, int row, int column)
{
    return row >= 0 && row < static_cast<int>(list.rows.size()) && column >= 0 && column < column_count;
}

int list_row_count(const BackupList& list)
{
    std::lock_guard<std::mutex> hold(list.lock);
    return static_cast<int>(list.rows.size());
}

void list_get_cell(const BackupList& list, int row, int column, char (&out)[kFieldSize])
{
    std::lock_guard<std::mutex> hold(list.lock);
    if (!valid_cell(list, row, column)) {
        out[0] = 0;
        return;
    }
    copy_field(out, list.rows[static_cast<std::size_t>(row)].cells[column]);
}

void list_set_cell(BackupList& list, int row, int column, const char* text)
{
    std::lock_guard<std::mutex> hold(list.lock);
    if (!valid_cell(list, row, column))
        return;
    char (&cell)[kFieldSize] = list.rows[static_cast<std::size_t>(row)].cells[column];
    char cut[kFieldSize];
    copy_field(cut, text);
    // An unchanged text costs no repaint: the step rewrites the same status
    // at every retry of a failing file.
    if (std::strcmp(cell, cut) == 0)
        return;
    std::memcpy(cell, cut, sizeof cut);
    mark_row(list.changes, row);
}

int list_insert_row(BackupList& list, int index, const char* file_name)
{
    std::lock_guard<std::mutex> hold(list.lock);
    int count = static_cast<int>(list.rows.size());
    if (index < 0)
        index = 0;
    if (index > count)
        index = count;
    BackupEntry entry{};
    copy_field(entry.cells[col_file_name], file_name);
    list.rows.insert(list.rows.begin() + index, entry);
    mark_rows_moved(list, index);
    return index;
}

void list_delete_row(BackupList& list, int row)
{
    std::lock_guard<std::mutex> hold(list.lock);
    if (row < 0 || row >= static_cast<int>(list.rows.size()))
        return;
    list.rows.erase(list.rows.begin() + row);
    mark_rows_moved(list, row);
}

void list_clear(BackupList& list)
{
    std::lock_guard<std::mutex> hold(list.lock);
    list.rows.clear();
    list.changes = ListChanges{};
    list.changes.rows_added_or_removed = true;
}

ListChanges list_take_changes(BackupList& list)
{
    std::lock_guard<std::mutex> hold(list.lock);
    ListChanges taken = list.changes;
    list.changes = ListChanges{};
    return taken;
}
