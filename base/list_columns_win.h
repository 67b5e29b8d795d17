// Report columns of the dialogs' list views: left-aligned, a title and a
// width in pixels at 96 DPI, scaled to the display's.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "base/dpi_win.h"

inline void insert_list_column(HWND list, int index, const char* title, int width)
{
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = scale_pixels(width);
    column.pszText = const_cast<char*>(title);
    column.iSubItem = index;
    SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
}
