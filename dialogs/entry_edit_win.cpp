// The entry edit dialog (dialog 1).
#include <windows.h>
#include <commdlg.h>

#include "dialogs/entry_edit_win.h"
#include "base/dialog_paint_win.h"
#include "base/file_dialog_win.h"
#include "dialogs/entry_edit_text.h"
#include "dialogs/folder_browser.h"
#include "dialogs/help_pages.h"
#include "dialogs/help_pages_win.h"
#include "resources/resource.h"

namespace {

struct EntryEdit {
    EntryBuffer* buffer;  // in: shown at opening; out: the fields, on OK only
    Settings* settings;   // temp_backup: offered by the file browser, set on OK
    bool accepted;        // out: OK ended the dialog
};

void read_field(HWND dialog, int id, char (&out)[kFieldSize])
{
    if (GetDlgItemTextA(dialog, id, out, static_cast<int>(kFieldSize)) == 0)
        out[0] = 0;
}

// Focus goes to the file name, the first control that takes it.
INT_PTR on_init_dialog(HWND dialog, LPARAM param)
{
    SetWindowLongPtrA(dialog, DWLP_USER, param);
    const EntryBuffer& buffer = *reinterpret_cast<EntryEdit*>(param)->buffer;
    SetDlgItemTextA(dialog, IDC_ENTRY_NAME, buffer.file_name);
    SetDlgItemTextA(dialog, IDC_ENTRY_SOURCE, buffer.source);
    SetDlgItemTextA(dialog, IDC_ENTRY_DESTINATION, buffer.destination);
    return TRUE;
}

// A picked file fills the name and its folder; an empty destination gets the
// one confirmed last, also when the browser was cancelled.
void on_browse_file(HWND dialog, const EntryEdit& edit)
{
    char name[kFieldSize], folder[kFieldSize], path[kFieldSize];
    read_field(dialog, IDC_ENTRY_NAME, name);
    read_field(dialog, IDC_ENTRY_SOURCE, folder);
    initial_browse_path(path, folder, name);
    OPENFILENAMEA ofn = file_dialog_record(dialog, "ALLFile(*.*)\0*.*\0\0", path, "ファイル名の指定", OFN_HIDEREADONLY);
    if (GetOpenFileNameA(&ofn)) {
        split_picked_path(path, ofn.nFileOffset, name, folder);
        SetDlgItemTextA(dialog, IDC_ENTRY_NAME, name);
        SetDlgItemTextA(dialog, IDC_ENTRY_SOURCE, folder);
    }
    char destination[kFieldSize];
    read_field(dialog, IDC_ENTRY_DESTINATION, destination);
    if (destination[0] == 0)
        SetDlgItemTextA(dialog, IDC_ENTRY_DESTINATION, edit.settings->temp_backup);
}

// The browser opens on the folder already in the field; a cancel leaves it.
void on_browse_folder(HWND dialog, int field)
{
    char folder[kFieldSize];
    read_field(dialog, field, folder);
    if (browse_for_folder("フォルダの指定", folder, folder))
        SetDlgItemTextA(dialog, field, folder);
}

// Accepted as typed: empty fields and missing folders are the user's choice.
void on_ok(HWND dialog, EntryEdit& edit)
{
    EntryBuffer& buffer = *edit.buffer;
    read_field(dialog, IDC_ENTRY_NAME, buffer.file_name);
    read_field(dialog, IDC_ENTRY_SOURCE, buffer.source);
    read_field(dialog, IDC_ENTRY_DESTINATION, buffer.destination);
    copy_field(edit.settings->temp_backup, buffer.destination);
    edit.accepted = true;
    EndDialog(dialog, 1);
}

INT_PTR on_command(HWND dialog, EntryEdit& edit, int id)
{
    switch (id) {
    case IDC_ENTRY_ALL: SetDlgItemTextA(dialog, IDC_ENTRY_NAME, "*.*"); break;
    case IDC_ENTRY_BROWSE_FILE: on_browse_file(dialog, edit); break;
    case IDC_ENTRY_BROWSE_SOURCE: on_browse_folder(dialog, IDC_ENTRY_SOURCE); break;
    case IDC_ENTRY_BROWSE_DESTINATION: on_browse_folder(dialog, IDC_ENTRY_DESTINATION); break;
    case IDC_ENTRY_OK: on_ok(dialog, edit); break;
    // Escape arrives as IDCANCEL and closes like the Cancel button.
    case IDC_ENTRY_CANCEL:
    case IDCANCEL: EndDialog(dialog, 1); break;
    case IDC_ENTRY_HELP: open_help_page(dialog, kHelpPage); break;
    default: return FALSE;
    }
    return TRUE;
}

INT_PTR CALLBACK entry_edit_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_INITDIALOG)
        return on_init_dialog(dialog, lparam);
    auto* edit = reinterpret_cast<EntryEdit*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (edit == nullptr)
        return FALSE;
    switch (message) {
    case WM_COMMAND: return on_command(dialog, *edit, LOWORD(wparam));
    case WM_PAINT: return validate_dialog_paint(dialog);
    case WM_CLOSE: EndDialog(dialog, 1); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

bool show_entry_edit_dialog(HWND owner, EntryBuffer& buffer, Settings& settings)
{
    EntryEdit edit = {&buffer, &settings, false};
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ENTRY_EDIT), owner, entry_edit_proc,
                    reinterpret_cast<LPARAM>(&edit));
    return edit.accepted;
}
