// The list edit commands' operations over the main list view.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "dialogs/list_edit_win.h"
#include "base/listing_win.h"
#include "dialogs/folder_browser.h"
#include "dialogs/list_entries.h"

namespace {

const char kSelectRow[] = "項目を選択して下さい";
const char kFolderDisplayCaption[] = "内フォルダ表示";

void tell(const ListEdit& edit, const char* text, const char* caption)
{
    notify_message(edit.engine->notifier, text, caption, MessageKind::plain);
}

int next_selected_row(HWND list_view, int after)
{
    return static_cast<int>(SendMessageA(list_view, LVM_GETNEXTITEM, after, MAKELPARAM(LVNI_SELECTED, 0)));
}

void set_row_state(HWND list_view, int row, UINT state, UINT mask)
{
    LVITEMA item = {};
    item.state = state;
    item.stateMask = mask;
    SendMessageA(list_view, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

const UINT kSelectionStates = LVIS_SELECTED | LVIS_FOCUSED | LVIS_DROPHILITED;

// Only the top level: a sub-folder becomes one folder entry whose tree the
// run walks into a backup folder of the sub-folder's name. Any folder counts as one whatever its other attributes: a
// read-only or hidden folder taken for a file would give an entry that can
// never be copied. An item whose name code page 932 cannot hold gets its
// row under its short name; one without a short name gets none, and the
// user is told how many were left out. Returns that number.
int append_found_items(BackupList& list, const char* source, const char* destination)
{
    char pattern[kFieldSize];
    if (!join_path(pattern, source, "*.*"))
        return 0;
    int n = list_row_count(list);
    int left_out = 0;
    for_each_listed_item(pattern, [&](const ListedItem& item) {
        if (item.name[0] == '.')
            return true;
        if (item.reach == NameReach::none) {
            ++left_out;
            return true;
        }
        EntryBuffer entry;
        bool is_folder = (item.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (found_item_entry(entry, is_folder, item.name, source, destination))
            n = insert_entry(list, n, entry) + 1;
        return true;
    });
    return left_out;
}

}  // namespace

int selected_row(HWND list_view)
{
    return next_selected_row(list_view, -1);
}

bool load_selected_entry(const ListEdit& edit)
{
    int row = selected_row(edit.list_view);
    if (row < 0) {
        tell(edit, kSelectRow, "Quillsave");
        return false;
    }
    const BackupList& list = edit.engine->list;
    EntryBuffer& buffer = *edit.buffer;
    list_get_cell(list, row, col_file_name, buffer.file_name);
    list_get_cell(list, row, col_source, buffer.source);
    list_get_cell(list, row, col_destination, buffer.destination);
    return true;
}

void store_selected_entry(const ListEdit& edit)
{
    int row = selected_row(edit.list_view);
    if (row < 0) {
        tell(edit, kSelectRow, "Quillsave");
        return;
    }
    BackupList& list = edit.engine->list;
    const EntryBuffer& buffer = *edit.buffer;
    list_set_cell(list, row, col_file_name, buffer.file_name);
    list_set_cell(list, row, col_source, buffer.source);
    list_set_cell(list, row, col_destination, buffer.destination);
}

void append_buffer_entry(const ListEdit& edit)
{
    BackupList& list = edit.engine->list;
    insert_entry(list, list_row_count(list), *edit.buffer);
}

// The rows go from the last up, so the indices still to go stay valid. The
// view keeps selection by index, so it is cleared: the rows that move up
// must not inherit it.
void delete_selected_rows(const ListEdit& edit)
{
    std::vector<int> rows;
    for (int row = selected_row(edit.list_view); row >= 0; row = next_selected_row(edit.list_view, row))
        rows.push_back(row);
    if (rows.empty()) {
        tell(edit, kSelectRow, "listview_write");
        return;
    }
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        list_delete_row(edit.engine->list, *it);
    set_row_state(edit.list_view, -1, 0, kSelectionStates);
}

void deselect_all_rows(HWND list_view)
{
    set_row_state(list_view, -1, 0, kSelectionStates);
}

void add_all_items(const ListEdit& edit)
{
    Settings& settings = edit.engine->settings;
    char source[kFieldSize], destination[kFieldSize];
    if (!browse_for_folder("転送元のフォルダの指定（全）", settings.temp_foler_a1, source))
        return;
    copy_field(settings.temp_foler_a1, source);
    if (!browse_for_folder("転送先のフォルダの指定", settings.temp_foler_a2, destination))
        return;
    copy_field(settings.temp_foler_a2, destination);
    int left_out = append_found_items(edit.engine->list, source, destination);
    if (left_out > 0) {
        char text[256];
        std::snprintf(text, sizeof text,
                      "%d個の項目は、名前にShift-JISで表せない文字があり短い名前もないため、追加できません。",
                      left_out);
        notify_message(edit.engine->notifier, text, "オール追加", MessageKind::warning);
    }
}

void show_selected_folder(const ListEdit& edit)
{
    int row = selected_row(edit.list_view);
    if (row < 0) {
        tell(edit, kSelectRow, kFolderDisplayCaption);
        return;
    }
    char name[kFieldSize], source[kFieldSize];
    list_get_cell(edit.engine->list, row, col_file_name, name);
    list_get_cell(edit.engine->list, row, col_source, source);
    if (name[0] != '*') {
        tell(edit, "ファルダ名を選択して下さい", kFolderDisplayCaption);
        return;
    }
    show_folder_display(edit.owner, source);
}
