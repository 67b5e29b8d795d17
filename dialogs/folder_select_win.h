// The folder selection dialog (dialog 9): the program's own small browser
// for Add selected. It lists the drives at a drive root and the items of its
// current folder, moves by double click, creates folders, and on confirming
// either chooses the destination folder or appends the picked items.
#pragma once
#include <windows.h>

#include "engine/backup_list.h"
#include "engine/settings.h"

enum FolderSelectMode {
    // Folders only; confirming sets file_folder. Remembers temp_foler_a1.
    select_destination = 0,
    // Folders and files; confirming appends one row per selected item, in
    // list order, to list. Remembers temp_foler_a2.
    select_source = 1,
};

// Modal over owner. Every move writes the remembered folder of the mode at
// once, also when the dialog is then closed without confirming.
void show_folder_select(HWND owner, FolderSelectMode mode, Settings& settings, BackupList& list);
