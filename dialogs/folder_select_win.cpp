// The folder selection dialog (dialog 9).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "dialogs/folder_select_win.h"
#include "base/dialog_paint_win.h"
#include "base/dpi_win.h"
#include "base/list_columns_win.h"
#include "base/listing_win.h"
#include "dialogs/folder_select_text.h"
#include "dialogs/list_entries.h"
#include "resources/resource.h"

namespace {

// Images of the item list, in the order of the icons 310 to 317.
enum ItemImage {
    image_dots = 0,
    image_folder,
    image_fixed,
    image_cdrom,
    image_removable,
    image_remote,
    image_ram,
    image_file,
    image_count,
};

struct FolderSelect {
    FolderSelectMode mode;  // in
    Settings* settings;     // in/out: the remembered folders, file_folder
    BackupList* list;       // out: source mode appends its rows here
};

const UINT kSelectionStates = LVIS_SELECTED | LVIS_FOCUSED | LVIS_DROPHILITED;

// The remembered folder of the mode is the current folder itself: every move
// is kept at once.
char (&current_folder(FolderSelect& select))[kFieldSize]
{
    return select.mode == select_destination ? select.settings->temp_foler_a1 : select.settings->temp_foler_a2;
}

HWND item_list(HWND dialog)
{
    return GetDlgItem(dialog, IDC_PICK_LIST);
}

void read_text(HWND dialog, int id, char (&out)[kFieldSize])
{
    if (GetDlgItemTextA(dialog, id, out, static_cast<int>(kFieldSize)) == 0)
        out[0] = 0;
}

int first_selected_row(HWND list)
{
    return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
}

// Names are read whole: a cut name would move into, or pick, another item.
void row_name(HWND list, int row, char (&out)[kFieldSize])
{
    LVITEMA item = {};
    item.iSubItem = 0;
    item.pszText = out;
    item.cchTextMax = static_cast<int>(kFieldSize);
    out[0] = 0;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

// The first selected row, its name read into name; -1 when none is selected.
int selected_row_name(HWND list, char (&name)[kFieldSize])
{
    int row = first_selected_row(list);
    if (row >= 0)
        row_name(list, row, name);
    return row;
}

// The row's lParam: whether the system listed it as a folder (its directory
// bit, whatever its name looks like; drive rows count as folders).
bool row_is_folder(HWND list, int row)
{
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.lParam != 0;
}

void insert_row(HWND list, int row, const char* name, int image, bool is_folder, const char* time, const char* size)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = row;
    item.pszText = const_cast<char*>(name);
    item.iImage = image;
    item.lParam = is_folder ? 1 : 0;
    row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    const char* texts[] = {time, size};
    for (int column = 1; column <= 2; ++column) {
        LVITEMA sub = {};
        sub.iSubItem = column;
        sub.pszText = const_cast<char*>(texts[column - 1]);
        SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&sub));
    }
}

int drive_image(UINT type)
{
    switch (type) {
    case DRIVE_REMOVABLE: return image_removable;
    case DRIVE_FIXED: return image_fixed;
    case DRIVE_REMOTE: return image_remote;
    case DRIVE_CDROM: return image_cdrom;
    case DRIVE_RAMDISK: return image_ram;
    default: return -1;
    }
}

// The other drives, in letter order; the current one is where the user is.
int list_drives(HWND list, const char* current)
{
    int row = 0;
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        char root[] = {letter, ':', '\\', 0};
        int image = drive_image(GetDriveTypeA(root));
        if (image < 0 || lstrcmpiA(root, current) == 0)
            continue;
        insert_row(list, row++, root, image, true, "", "");
    }
    return row;
}

// Any item with the directory bit is a folder, whatever else it carries: a
// read-only or hidden folder taken for a file could be neither entered nor
// backed up.
void list_item(HWND list, int row, const char* folder, const ListedItem& found)
{
    const char* name = found.name;
    bool dots = name[0] == '.';
    bool is_folder = (found.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    FILETIME local;
    SYSTEMTIME when = {};
    FileTimeToLocalFileTime(&found.last_write, &local);
    FileTimeToSystemTime(&local, &when);
    char time[32], size[32] = "";
    format_item_time(time, when.wYear, when.wMonth, when.wDay, when.wHour, when.wMinute);
    if (!dots && !is_folder) {
        char path[kFieldSize];
        join_path(path, folder, name);
        DWORD high = 0;
        DWORD low = GetCompressedFileSizeA(path, &high);
        format_item_size(size, (static_cast<unsigned long long>(high) << 32) | low);
    }
    insert_row(list, row, name, dots ? image_dots : is_folder ? image_folder : image_file, is_folder, time, size);
}

// An item whose path would pass 259 bytes is left out: it could be neither
// entered nor backed up under its whole name. So is an item whose name code
// page 932 cannot hold and that has no short name (one that has is listed
// by it). "." and ".." join nothing, so they always stay, and the way up is
// never lost.
bool shown_item(const FolderSelect& select, const char* folder, const ListedItem& found)
{
    bool is_folder = (found.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (select.mode == select_destination && !is_folder)
        return false;
    if (found.reach == NameReach::none)
        return false;
    if (found.name[0] == '.')
        return true;
    char path[kFieldSize];
    return join_path(path, folder, found.name);
}

void fill_list(HWND dialog, FolderSelect& select)
{
    HWND list = item_list(dialog);
    const char* folder = current_folder(select);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    SetDlgItemTextA(dialog, IDC_PICK_FOLDER, folder);
    int row = lists_drives(folder) ? list_drives(list, folder) : 0;
    char pattern[kFieldSize];
    if (!join_path(pattern, folder, "*"))
        return;
    for_each_listed_item(pattern, [&](const ListedItem& found) {
        if (shown_item(select, folder, found))
            list_item(list, row++, folder, found);
        return true;
    });
}

// The icons are loaded at the image size itself, so they are drawn as made
// instead of scaled down from the standard icon size; each icon holds the
// sizes of 100, 125, 150 and 200 %.
HIMAGELIST create_item_images()
{
    int size = scale_pixels(12);
    HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, image_count, 0);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    for (int i = 0; i < image_count; ++i) {
        HANDLE icon = LoadImageA(instance, MAKEINTRESOURCEA(IDI_PICK_DOTS + i), IMAGE_ICON, size, size, 0);
        ImageList_ReplaceIcon(images, -1, static_cast<HICON>(icon));
        DestroyIcon(static_cast<HICON>(icon));
    }
    return images;
}

// The list owns its image list (no shared images) and destroys it with
// itself. It takes the dialog's font, so its names read like the rest.
void create_item_list(HWND dialog)
{
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT,
                                0, scale_pixels(40), scale_pixels(400), scale_pixels(400), dialog,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PICK_LIST)),
                                GetModuleHandleA(nullptr), nullptr);
    SendMessageA(list, WM_SETFONT, SendMessageA(dialog, WM_GETFONT, 0, 0), FALSE);
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(create_item_images()));
    insert_list_column(list, 0, "ファイル名", 200);
    insert_list_column(list, 1, "更新日", 110);
    insert_list_column(list, 2, "サイズ", 100);
}

INT_PTR on_init_dialog(HWND dialog, LPARAM param)
{
    SetWindowLongPtrA(dialog, DWLP_USER, param);
    FolderSelect& select = *reinterpret_cast<FolderSelect*>(param);
    create_item_list(dialog);
    SetWindowTextA(dialog, select.mode == select_destination ? "保存先のフォルダ選択" : "ソースのフォルダとファイル選択");
    fill_list(dialog, select);
    return TRUE;
}

// A name with a dot near its end is taken for a file, as is a row the system
// listed as a file: moving into a file would leave an empty list with no way
// back, remembered for the next opening. A path that would not fit is
// refused the same way.
void move_into(HWND dialog, char (&folder)[kFieldSize], HWND list, int row, const char* name)
{
    char moved[kFieldSize];
    copy_field(moved, folder);
    if (has_dot_near_end(name, 4) || !row_is_folder(list, row) || !enter_folder(moved, name)) {
        MessageBoxA(dialog, "ファイルでフォルダではありません！", "フォルダ移行", MB_OK | MB_ICONWARNING);
        return;
    }
    copy_field(folder, moved);
}

void on_double_click(HWND dialog, FolderSelect& select)
{
    HWND list = item_list(dialog);
    char name[kFieldSize];
    int row = selected_row_name(list, name);
    if (row < 0)
        return;
    char (&folder)[kFieldSize] = current_folder(select);
    if (is_drive_item(name))
        copy_field(folder, name);
    else if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
        cut_to_parent(folder);
    else
        move_into(dialog, folder, list, row, name);
    fill_list(dialog, select);
}

INT_PTR on_notify(HWND dialog, FolderSelect& select, const NMHDR* header)
{
    if (header->idFrom != IDC_PICK_LIST || header->code != NM_DBLCLK)
        return FALSE;
    on_double_click(dialog, select);
    return TRUE;
}

void on_create_folder(HWND dialog, FolderSelect& select)
{
    char name[kFieldSize], folder[kFieldSize], path[kFieldSize];
    read_text(dialog, IDC_PICK_NAME, name);
    read_text(dialog, IDC_PICK_FOLDER, folder);
    bool fits = join_path(path, folder, name);
    if (!fits || !CreateDirectoryA(path, nullptr)) {
        DWORD error = fits ? GetLastError() : ERROR_FILENAME_EXCED_RANGE;
        char text[64];
        std::snprintf(text, sizeof text, "作成出来ません！GetLastError=%d", static_cast<int>(error));
        MessageBoxA(dialog, text, "フォルダ作成", MB_OK | MB_ICONWARNING);
    }
    fill_list(dialog, select);
}

void confirm_destination(HWND dialog, FolderSelect& select)
{
    char name[kFieldSize], shown[kFieldSize], chosen[kFieldSize];
    if (selected_row_name(item_list(dialog), name) < 0)
        return;
    read_text(dialog, IDC_PICK_FOLDER, shown);
    if (chosen_folder(chosen, shown, name))
        copy_field(select.settings->file_folder, chosen);
}

// One row per selected item, in list order; each item's selection is cleared
// as it is taken, so the loop ends with none left.
void confirm_sources(HWND dialog, FolderSelect& select)
{
    HWND list = item_list(dialog);
    char shown[kFieldSize];
    read_text(dialog, IDC_PICK_FOLDER, shown);
    for (int row = first_selected_row(list); row >= 0; row = first_selected_row(list)) {
        char name[kFieldSize];
        row_name(list, row, name);
        LVITEMA state = {};
        state.stateMask = kSelectionStates;
        SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
        append_picked_item(*select.list, name, row_is_folder(list, row), shown, select.settings->file_folder);
    }
}

INT_PTR on_command(HWND dialog, FolderSelect& select, int id)
{
    switch (id) {
    case IDC_PICK_CREATE: on_create_folder(dialog, select); break;
    case IDC_PICK_CONFIRM:
        if (select.mode == select_destination)
            confirm_destination(dialog, select);
        else
            confirm_sources(dialog, select);
        EndDialog(dialog, 1);
        break;
    // Escape arrives as IDCANCEL and closes like the close box.
    case IDCANCEL: EndDialog(dialog, 1); break;
    default: return FALSE;
    }
    return TRUE;
}

INT_PTR CALLBACK folder_select_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_INITDIALOG)
        return on_init_dialog(dialog, lparam);
    auto* select = reinterpret_cast<FolderSelect*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (select == nullptr)
        return FALSE;
    switch (message) {
    case WM_NOTIFY: return on_notify(dialog, *select, reinterpret_cast<const NMHDR*>(lparam));
    case WM_COMMAND: return on_command(dialog, *select, LOWORD(wparam));
    case WM_PAINT: return validate_dialog_paint(dialog);
    case WM_CLOSE: EndDialog(dialog, 1); return TRUE;
    default: return FALSE;
    }
}

}  // namespace

void show_folder_select(HWND owner, FolderSelectMode mode, Settings& settings, BackupList& list)
{
    FolderSelect select = {mode, &settings, &list};
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_FOLDER_SELECT), owner, folder_select_proc,
                    reinterpret_cast<LPARAM>(&select));
}
