// The folder display dialog (dialog 4): every folder of a folder entry's
// tree, walked into a table of the dialog's own, so the run's FolderTable
// and its saved position stay as they were.
#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "dialogs/list_edit.h"
#include "dialogs/dpi_win.h"
#include "dialogs/list_columns_win.h"
#include "engine/notify_win.h"
#include "resources/resource.h"

namespace {

struct FolderDisplay {
    const char* source;         // in: the folder entry's source folder
    FolderTable table;          // the display's own walk
};

// The list shows the table without copying it: it asks for the cells it
// paints (owner data), however many folders the tree has.
HWND create_folder_list(HWND dialog, int rows)
{
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA, 0, 0, scale_pixels(584),
                                scale_pixels(478), dialog,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_FOLDER_LIST)),
                                GetModuleHandleA(nullptr), nullptr);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    insert_list_column(list, 0, "フルフォルダ名", 700);
    insert_list_column(list, 1, "追加フォルダ名", 300);
    SendMessageA(list, LVM_SETITEMCOUNT, rows, 0);
    return list;
}

// The walk's warnings belong to the window that asked for the walk: this
// dialog, which they keep from being used until they are answered.
Notifier owned_by(HWND dialog)
{
    Notifier n;
    n.show_message = [dialog](const char* text, const char* caption, MessageKind kind, MessageOwner) {
        MessageBoxA(dialog, text, caption, message_box_flags(kind));
    };
    return n;
}

INT_PTR on_init_dialog(HWND dialog, LPARAM param)
{
    SetWindowLongPtrA(dialog, DWLP_USER, param);
    FolderDisplay& display = *reinterpret_cast<FolderDisplay*>(param);
    walk_folders(display.table, owned_by(dialog), display.source, std::strlen(display.source));
    create_folder_list(dialog, display.table.count());
    return TRUE;
}

INT_PTR on_notify(const FolderDisplay& display, NMHDR* header)
{
    if (header->idFrom != IDC_FOLDER_LIST || header->code != LVN_GETDISPINFOA)
        return FALSE;
    LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(header)->item;
    if (!(item.mask & LVIF_TEXT) || item.pszText == nullptr || item.cchTextMax <= 0)
        return FALSE;
    const char* text = "";
    if (item.iItem >= 0 && item.iItem < display.table.count()) {
        const FolderRecord& record = display.table.records[item.iItem];
        text = (item.iSubItem == 0 ? record.full_path : record.relative_path).c_str();
    }
    copy_text(item.pszText, static_cast<std::size_t>(item.cchTextMax), text);
    return TRUE;
}

// Escape arrives as IDCANCEL and closes it like the close box.
INT_PTR on_command(HWND dialog, int id)
{
    if (id != IDCANCEL)
        return FALSE;
    EndDialog(dialog, 1);
    return TRUE;
}

INT_PTR CALLBACK folder_display_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_INITDIALOG)
        return on_init_dialog(dialog, lparam);
    auto* display = reinterpret_cast<FolderDisplay*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (display == nullptr)
        return FALSE;
    switch (message) {
    case WM_NOTIFY: return on_notify(*display, reinterpret_cast<NMHDR*>(lparam));
    case WM_CLOSE: EndDialog(dialog, 1); return TRUE;
    case WM_COMMAND: return on_command(dialog, LOWORD(wparam));
    default: return FALSE;
    }
}

}  // namespace

void show_folder_display(HWND owner, const char* source)
{
    FolderDisplay display = {source, {}};
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_FOLDER_DISPLAY), owner, folder_display_proc,
                    reinterpret_cast<LPARAM>(&display));
}
