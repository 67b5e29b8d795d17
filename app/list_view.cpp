// The main window's list view: an owner-data report over the engine's
// BackupList, so the model is the one source of truth and the view only asks
// for the cells it paints.
#include <windows.h>
#include <commctrl.h>

#include "app/app.h"
#include "app/main_window.h"
#include "base/list_columns_win.h"
#include "resources/resource.h"

namespace {

struct ColumnSpec {
    const char* title;
    int width;
};

// Widths at 96 DPI. "ﾌｫﾙﾀﾞ" takes 48 pixels: at 40 the header cut it to
// "ﾌｫﾙ..." in Japanese Gothic fonts other than MS UI Gothic.
const ColumnSpec kColumns[column_count] = {
    {"ファイル名", 100}, {"ソース", 150}, {"保存先", 250}, {"ﾌｧｲﾙ", 40}, {"ﾌｫﾙﾀﾞ", 48},
};

void insert_columns(HWND list_view)
{
    for (int i = 0; i < column_count; ++i)
        insert_list_column(list_view, i, kColumns[i].title, kColumns[i].width);
}

// The parent is an ANSI window, so the view asks in ANSI; the wide form is
// served too in case a view asks that way.
void fill_wide_cell(NMLVDISPINFOW* info)
{
    if (!(info->item.mask & LVIF_TEXT) || info->item.pszText == nullptr || info->item.cchTextMax <= 0)
        return;
    char cell[kFieldSize];
    list_get_cell(engine().list, info->item.iItem, info->item.iSubItem, cell);
    int n = MultiByteToWideChar(CP_ACP, 0, cell, -1, info->item.pszText, info->item.cchTextMax);
    if (n == 0)
        info->item.pszText[0] = 0;
    info->item.pszText[info->item.cchTextMax - 1] = 0;
}

void fill_ansi_cell(NMLVDISPINFOA* info)
{
    if (!(info->item.mask & LVIF_TEXT) || info->item.pszText == nullptr || info->item.cchTextMax <= 0)
        return;
    char cell[kFieldSize];
    list_get_cell(engine().list, info->item.iItem, info->item.iSubItem, cell);
    copy_text(info->item.pszText, static_cast<std::size_t>(info->item.cchTextMax), cell);
}

}  // namespace

HWND create_list_view(HWND parent)
{
    HWND list_view = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                     WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA, 0, 0, 0, 0, parent,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_LIST_VIEW)), app().instance,
                                     nullptr);
    LPARAM style = SendMessageA(list_view, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    SendMessageA(list_view, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    insert_columns(list_view);
    return list_view;
}

void on_list_get_disp_info(NMHDR* header)
{
    if (header->code == LVN_GETDISPINFOA)
        fill_ansi_cell(reinterpret_cast<NMLVDISPINFOA*>(header));
    else if (header->code == LVN_GETDISPINFOW)
        fill_wide_cell(reinterpret_cast<NMLVDISPINFOW*>(header));
}

void refresh_list_view()
{
    App& a = app();
    a.refresh_posted = false;  // requests from here on need a new message
    ListChanges changes = list_take_changes(engine().list);
    if (a.list_view != nullptr) {
        if (changes.rows_added_or_removed)
            SendMessageA(a.list_view, LVM_SETITEMCOUNT, list_row_count(engine().list), 0);
        else if (changes.first >= 0)
            SendMessageA(a.list_view, LVM_REDRAWITEMS, changes.first, changes.last);
    }
    update_status_bar();
}

namespace {

// A run of small files ends a step a thousand times a second. Painting the
// list and the status bar after each one took the worker a quarter of its
// speed, because the window's thread, the wineserver and the X server (on
// Windows the desktop's compositor) share the processor with it; nobody
// reads ten updates a second. So the worker's refreshes come at most this
// often, and the last change of a burst shows within this time.
constexpr DWORD kRefreshMs = 100;

void refresh_as_asked()
{
    app().last_refresh = GetTickCount();
    refresh_list_view();
}

}  // namespace

void on_refresh_request(HWND window)
{
    DWORD since = GetTickCount() - app().last_refresh;
    if (since >= kRefreshMs) {
        refresh_as_asked();
        return;
    }
    // refresh_posted stays set, so the worker posts nothing until the timer.
    SetTimer(window, kRefreshTimer, kRefreshMs - since, nullptr);
}

void on_refresh_timer(HWND window)
{
    KillTimer(window, kRefreshTimer);
    refresh_as_asked();
}

void request_list_refresh()
{
    App& a = app();
    HWND window = a.main_window;
    if (window == nullptr || a.refresh_posted.exchange(true))
        return;
    if (!PostMessageA(window, kRefreshMessage, 0, 0))
        a.refresh_posted = false;
}
