// The BackupList: the rows the main window shows, owned here behind a lock so
// that the worker and the user-interface thread can both use them; the list
// view is an owner-data view of this model. No operating system needed.
#pragma once
#include <mutex>
#include <vector>

#include "base/text.h"

enum Column {
    col_file_name = 0,
    col_source = 1,
    col_destination = 2,
    col_file_status = 3,
    col_folder_status = 4,
    column_count = 5,
};

struct BackupEntry {
    char cells[column_count][kFieldSize];
};

// Rows touched since the view last asked, so one refresh repaints only them.
struct ListChanges {
    int first = -1;          // -1: no row changed
    int last = -1;
    bool rows_added_or_removed = false;
};

struct BackupList {
    mutable std::mutex lock;
    std::vector<BackupEntry> rows;
    ListChanges changes;
};

int list_row_count(const BackupList& list);
// Cell text into a 260-byte buffer; a row or column that does not exist
// gives an empty text.
void list_get_cell(const BackupList& list, int row, int column, char (&out)[kFieldSize]);
// Sets a cell (cut to 259 bytes on a character boundary); ignored for a row
// that does not exist.
void list_set_cell(BackupList& list, int row, int column, const char* text);
// Inserts a row with the file name in column 0 and the rest empty, at index
// (clamped to the row count). Returns the index used.
int list_insert_row(BackupList& list, int index, const char* file_name);
void list_delete_row(BackupList& list, int row);
void list_clear(BackupList& list);
// Returns the changes since the last call and forgets them.
ListChanges list_take_changes(BackupList& list);
