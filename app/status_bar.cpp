// The status bar: where a run stands, rewritten at every refresh where it
// changed.
#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "app/app.h"
#include "app/main_window.h"
#include "app/status_text.h"
#include "base/dc_win.h"
#include "base/dpi_win.h"
#include "resources/resource.h"

namespace {

// Right edges of the parts at 96 DPI; the last part reaches the bar's end.
// The bar is made with the first four, every refresh sets all five.
constexpr int kPartEdges[kStatusParts] = {100, 200, 300, 440, -1};
constexpr int kCreatedParts = 4;

// Each part keeps its width at the display's DPI unless its text needs
// more: the counts of a tree of many thousand folders would otherwise be cut
// ("Folder=49999/5").
void fit_part_edges(HWND bar, const char (&texts)[kStatusParts][kStatusTextSize], int (&edges)[kStatusParts])
{
    WindowDC bar_dc(bar);
    HDC dc = bar_dc.get();
    SelectedObject font(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(bar, WM_GETFONT, 0, 0)));
    // The part's sunken border and the margin the bar keeps before the text.
    const int margin = 4 * GetSystemMetrics(SM_CXEDGE) + 4;
    int designed_start = 0;
    for (int i = 0; i < kStatusParts; ++i) {
        if (kPartEdges[i] < 0) {
            edges[i] = -1;
            continue;
        }
        int designed_end = scale_pixels(kPartEdges[i]);
        int width = designed_end - designed_start;
        designed_start = designed_end;
        SIZE size{};
        if (dc && GetTextExtentPoint32A(dc, texts[i], lstrlenA(texts[i]), &size) && size.cx + margin > width)
            width = size.cx + margin;
        edges[i] = (i == 0 ? 0 : edges[i - 1]) + width;
    }
}

// What the bar shows, so that a refresh sets only what changed: under Wine
// each part's text set costs half a millisecond of the window's thread, and
// the status bar is refreshed ten times a second during a run of small files
// and at every start, when the worker is beginning its copy on the same
// processors. Emptied when the bar is made, so its first refresh sets all.
struct ShownTexts {
    char texts[kStatusParts][kStatusTextSize] = {};
    int edges[kStatusParts] = {};
};

ShownTexts& shown()
{
    static ShownTexts texts;
    return texts;
}

}  // namespace

HWND create_status_bar(HWND parent)
{
    HWND bar = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP | CCS_BOTTOM, "", parent, IDC_STATUS_BAR);
    int edges[kCreatedParts];
    for (int i = 0; i < kCreatedParts; ++i)
        edges[i] = scale_pixels(kPartEdges[i]);
    SendMessageA(bar, SB_SETPARTS, kCreatedParts, reinterpret_cast<LPARAM>(edges));
    shown() = ShownTexts{};
    return bar;
}

void update_status_bar()
{
    HWND bar = app().status_bar;
    if (bar == nullptr)
        return;
    Engine& e = engine();
    char texts[kStatusParts][kStatusTextSize] = {};
    format_status_texts(e.progress, e.flags, list_row_count(e.list), texts, e.report.missed_told.load());
    ShownTexts& now = shown();
    if (std::memcmp(now.texts, texts, sizeof texts) == 0)
        return;  // the same texts in the same font need the same widths
    int edges[kStatusParts];
    fit_part_edges(bar, texts, edges);
    if (std::memcmp(now.edges, edges, sizeof edges) != 0)
        SendMessageA(bar, SB_SETPARTS, kStatusParts, reinterpret_cast<LPARAM>(edges));
    for (int i = 0; i < kStatusParts; ++i)
        if (std::strcmp(now.texts[i], texts[i]) != 0)
            SendMessageA(bar, SB_SETTEXTA, i, reinterpret_cast<LPARAM>(texts[i]));
    std::memcpy(now.texts, texts, sizeof texts);
    std::memcpy(now.edges, edges, sizeof edges);
}
