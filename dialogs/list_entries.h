// The rows that the list edit commands add. No operating system here, so the
// rules are tested natively.
#pragma once
#include "engine/backup_list.h"

// Inserts a row at index (clamped to the row count) with the buffer's three
// texts in columns 0 to 2; the status columns stay empty until the reset
// that follows every list edit. Returns the index used.
int insert_entry(BackupList& list, int index, const EntryBuffer& entry);

// The row Add all and Add selected make for one item directly inside the
// source folder, by what the item is on disk: a folder becomes a folder
// entry ("*.*") of its own tree, backed up into a folder of its name below
// the destination, so that two folders never share one backup folder, where
// files of the same name would overwrite each other; a file becomes an
// entry of that one file, backed up into the destination itself. Returns
// false when a joined path would exceed 259 bytes: a cut path would name
// another folder, so the item is left out.
bool found_item_entry(EntryBuffer& out, bool is_folder, const char* name, const char* source,
                      const char* destination);

// Add selected: one picked item of the folder selection dialog, listed in
// folder, as a new last row backed up below file_folder (see
// found_item_entry). "." and ".." name no item of the folder; they keep the
// single-file row they have always made. A drive row is listed as a folder
// and makes the folder row it always has. Returns whether the row was
// appended.
bool append_picked_item(BackupList& list, const char* name, bool is_folder, const char* folder,
                        const char* file_folder);
