// The folder display dialog (dialog 4): every folder of a folder entry's
// tree, walked into a table of the dialog's own, so the run's FolderTable
// and its saved position stay as they were.
//
// The walk runs on a thread of its own. A tree of a hundred thousand folders
// takes half a minute to walk, and a window that does not answer for five
// seconds is offered to the user to be ended, which would take the list and
// the run position of the session with it. So the dialog and the main window
// behind it keep answering, and the dialog can be closed at any time.
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/dpi_win.h"
#include "base/list_columns_win.h"
#include "base/notify_win.h"
#include "dialogs/list_edit_win.h"
#include "resources/resource.h"

namespace {

constexpr UINT kWalkEnded = WM_APP + 1;

struct Warning {
    std::string text, caption;
    MessageKind kind;
};

// Shared by the dialog and the walk's thread, which may outlive the dialog.
struct Walk {
    std::string source;
    FolderTable table;               // the walk's own; read by the dialog only after kWalkEnded
    std::vector<Warning> warnings;   // the walk's messages, shown by the dialog that owns them
    std::atomic<bool> abandoned{false};
    std::mutex lock;
    HWND dialog = nullptr;           // cleared when the dialog ends: nothing is posted to it after
};

struct FolderDisplay {
    std::shared_ptr<Walk> walk;
    bool walked = false;  // the walk ended and the list shows its table
};

void walk_in_background(std::shared_ptr<Walk> walk)
{
    Notifier keep;
    keep.show_message = [&walk](const char* text, const char* caption, MessageKind kind, MessageOwner) {
        walk->warnings.push_back({text, caption, kind});
    };
    walk_folders(walk->table, keep, walk->source.c_str(), walk->source.size(),
                 [&walk] { return walk->abandoned.load(); });
    std::lock_guard<std::mutex> hold(walk->lock);
    if (walk->dialog != nullptr)
        PostMessageA(walk->dialog, kWalkEnded, 0, 0);
}

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

INT_PTR on_init_dialog(HWND dialog, LPARAM param)
{
    SetWindowLongPtrA(dialog, DWLP_USER, param);
    FolderDisplay& display = *reinterpret_cast<FolderDisplay*>(param);
    create_folder_list(dialog, 0);
    display.walk->dialog = dialog;
    std::thread(walk_in_background, display.walk).detach();
    return TRUE;
}

// The whole table at once, then the walk's warnings, owned by this dialog,
// which they keep from being used until they are answered.
INT_PTR on_walk_ended(HWND dialog, FolderDisplay& display)
{
    // Taken after the walk let it go: all the walk wrote is seen.
    { std::lock_guard<std::mutex> hold(display.walk->lock); }
    display.walked = true;
    SendDlgItemMessageA(dialog, IDC_FOLDER_LIST, LVM_SETITEMCOUNT, display.walk->table.count(), 0);
    for (const Warning& w : display.walk->warnings)
        MessageBoxA(dialog, w.text.c_str(), w.caption.c_str(), message_box_flags(w.kind));
    return TRUE;
}

// The pointer with the hourglass says that the list is still coming; the
// dialog answers meanwhile.
INT_PTR on_set_cursor(HWND dialog, const FolderDisplay& display, LPARAM lparam)
{
    if (display.walked || LOWORD(lparam) != HTCLIENT)
        return FALSE;
    SetCursor(LoadCursor(nullptr, IDC_APPSTARTING));
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
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
    const FolderTable& table = display.walk->table;
    if (display.walked && item.iItem >= 0 && item.iItem < table.count()) {
        const FolderRecord& record = table.records[item.iItem];
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
    case kWalkEnded: return on_walk_ended(dialog, *display);
    case WM_SETCURSOR: return on_set_cursor(dialog, *display, lparam);
    case WM_CLOSE: EndDialog(dialog, 1); return TRUE;
    case WM_COMMAND: return on_command(dialog, LOWORD(wparam));
    default: return FALSE;
    }
}

}  // namespace

void show_folder_display(HWND owner, const char* source)
{
    FolderDisplay display;
    display.walk = std::make_shared<Walk>();
    display.walk->source = source;
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_FOLDER_DISPLAY), owner, folder_display_proc,
                    reinterpret_cast<LPARAM>(&display));
    // A walk still going on is left to end by itself at its next folder.
    std::lock_guard<std::mutex> hold(display.walk->lock);
    display.walk->dialog = nullptr;
    display.walk->abandoned = true;
}
