// The status bar: where a run stands, rewritten whole at every refresh.
#include <windows.h>
#include <commctrl.h>

#include "app/app.h"
#include "dialogs/dpi_win.h"
#include "engine/status_text.h"
#include "resources/resource.h"

namespace {

// Right edges of the parts at 96 DPI; the last part reaches the bar's end.
// The bar is made with the first four, every refresh sets all five.
constexpr int kPartEdges[kStatusParts] = {100, 200, 300, 440, -1};
constexpr int kCreatedParts = 4;

void set_parts(HWND bar, int count)
{
    int edges[kStatusParts];
    for (int i = 0; i < count; ++i)
        edges[i] = kPartEdges[i] < 0 ? -1 : scale_pixels(kPartEdges[i]);
    SendMessageA(bar, SB_SETPARTS, count, reinterpret_cast<LPARAM>(edges));
}

}  // namespace

HWND create_status_bar(HWND parent)
{
    HWND bar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_BOTTOM, "", parent, IDC_STATUS_BAR);
    set_parts(bar, kCreatedParts);
    return bar;
}

void update_status_bar()
{
    HWND bar = shell().status_bar;
    if (bar == nullptr)
        return;
    set_parts(bar, kStatusParts);
    Engine& e = engine();
    char texts[kStatusParts][kStatusTextSize] = {};
    format_status_texts(e.progress, e.flags, list_row_count(e.list), texts);
    for (int i = 0; i < kStatusParts; ++i)
        SendMessageA(bar, SB_SETTEXTA, i, reinterpret_cast<LPARAM>(texts[i]));
}
