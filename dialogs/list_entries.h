// The rows that the list edit commands add. No operating system here, so the
// rules are tested natively.
#pragma once
#include "engine/backup_list.h"

// Inserts a row at index (clamped to the row count) with the buffer's three
// texts in columns 0 to 2; the status columns stay empty until the reset
// that follows every list edit. Returns the index used.
int insert_entry(BackupList& list, int index, const EntryBuffer& entry);

// The row Add all makes for one item found directly inside the source folder:
// a folder becomes a folder entry ("*.*") of its own tree, a file an entry of
// that one file; both go to the chosen destination itself, without the
// item's name. Returns false when the folder's path would exceed 259 bytes:
// a cut path would name another folder, so the item is left out.
bool found_item_entry(EntryBuffer& out, bool is_folder, const char* name, const char* source,
                      const char* destination);

// Add selected: one picked item of the folder selection dialog as a new last
// row (see picked_item_entry for its columns). An item whose path would not
// fit 259 bytes is not appended; returns whether the row was.
bool append_picked_item(BackupList& list, const char* name, const char* folder, const char* destination);
