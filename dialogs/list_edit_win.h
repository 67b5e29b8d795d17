// The list edit commands' operations over the main list view, which holds
// the selection, and the BackupList it shows. The selected row is always the
// first selected one in list order. Messages go through the engine's
// notifier, which the program shows as its own boxes over the main window.
#pragma once
#include <windows.h>

#include "engine/engine.h"

struct ListEdit {
    HWND owner;           // the main window: owner of the dialogs
    HWND list_view;       // the main list view: the selection
    Engine* engine;       // the rows, Add all's folders, the message path
    EntryBuffer* buffer;  // the program's own entry clipboard
};

// -1 when no row is selected.
int selected_row(HWND list_view);

// Columns 0 to 2 of the selected row into the buffer. With none selected,
// "項目を選択して下さい" and false, the buffer unchanged.
bool load_selected_entry(const ListEdit& edit);
// The buffer into columns 0 to 2 of the selected row (the statuses stay).
// With none selected, the same message and nothing written.
void store_selected_entry(const ListEdit& edit);
// The buffer as a new last row, whatever it holds.
void append_buffer_entry(const ListEdit& edit);
// Every selected row goes; with none selected, the message (caption
// "listview_write") and nothing deleted.
void delete_selected_rows(const ListEdit& edit);
void deselect_all_rows(HWND list_view);
// Asks for a source and a destination folder (remembered in temp_foler_a1
// and temp_foler_a2) and appends one row per item directly inside the
// source, in the order the system lists them. A cancel of either browser
// adds nothing; a source chosen before it is still remembered.
void add_all_items(const ListEdit& edit);
// The folder display over the selected row's source folder, when that row is
// a folder entry; otherwise the matching message. The EntryBuffer and the
// run's FolderTable stay as they are.
void show_selected_folder(const ListEdit& edit);

// The folder display dialog (dialog 4): the tree below source, walked into a
// table of its own, one row per folder. The walk's warnings are owned by the
// dialog.
void show_folder_display(HWND owner, const char* source);
