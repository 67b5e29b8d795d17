// The status bar: where a run stands, rewritten whole at every refresh.
#include <windows.h>
#include <commctrl.h>

#include "app/app.h"
#include "engine/status_text.h"
#include "resources/resource.h"

HWND create_status_bar(HWND parent)
{
    HWND bar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_BOTTOM, "", parent, IDC_STATUS_BAR);
    int edges[] = {100, 200, 300, 440};
    SendMessageA(bar, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges));
    return bar;
}

void update_status_bar()
{
    HWND bar = shell().status_bar;
    if (bar == nullptr)
        return;
    int edges[kStatusParts];
    for (int i = 0; i < kStatusParts; ++i)
        edges[i] = kStatusPartEdges[i];
    SendMessageA(bar, SB_SETPARTS, kStatusParts, reinterpret_cast<LPARAM>(edges));
    Engine& e = engine();
    char texts[kStatusParts][kStatusTextSize] = {};
    format_status_texts(e.progress, e.flags, list_row_count(e.list), texts);
    for (int i = 0; i < kStatusParts; ++i)
        SendMessageA(bar, SB_SETTEXTA, i, reinterpret_cast<LPARAM>(texts[i]));
}
