// The information windows on real windows: the menu commands that open
// them, several at once, their keys through the message loop's routing, the
// copy name window over a real standby run, and the about box's picture.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/main_window.h"
#include "dialogs/info_windows_win.h"
#include "engine/worker.h"
#include "resources/resource.h"
#include "resources/version.h"
#include "dialogs/help_pages_win.h"
#include "tests/wine/entry_rows.h"
#include "tests/wine/support.h"

namespace {

// Serves this thread's messages for ms milliseconds as the program's loop
// does: the information windows first, then the usual dispatch.
void pump(DWORD ms)
{
    ULONGLONG end = GetTickCount64() + ms;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (route_info_window_message(msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    } while (GetTickCount64() < end);
}

// Pumps until the condition holds; false when limit_ms ran out first.
bool pump_until(const std::function<bool()>& done, DWORD limit_ms)
{
    for (DWORD waited = 0; !done(); waited += 50) {
        if (waited >= limit_ms)
            return false;
        pump(50);
    }
    return true;
}

struct Search {
    std::string title;
    std::vector<HWND> found;
};

BOOL CALLBACK collect_window(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    char title[128] = {};
    GetWindowTextA(window, title, sizeof title);
    if (search->title == title && IsWindowVisible(window))
        search->found.push_back(window);
    return TRUE;
}

// The visible windows of this thread with this title.
std::vector<HWND> windows_titled(const char* title)
{
    Search search{title, {}};
    EnumThreadWindows(GetCurrentThreadId(), collect_window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string control_text(HWND window, int id)
{
    char text[kFieldSize] = {};
    GetDlgItemTextA(window, id, text, sizeof text);
    return text;
}

// The client area's size in pixels must be the template's size in dialog
// units, converted through the window's own font.
void expect_template_size(HWND window, int width_units, int height_units, const char* what)
{
    RECT units = {0, 0, width_units, height_units};
    MapDialogRect(window, &units);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, units.right) << what;
    EXPECT_EQ(client.bottom, units.bottom) << what;
}

// A hidden main window standing for the program's, owner of the windows.
class InfoWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        App& a = app();
        a.instance = GetModuleHandleA(nullptr);
        owner = make_hidden_window("Info Test Host", DefWindowProcA);
        ASSERT_NE(owner, nullptr);
        a.main_window = owner;
    }
    void TearDown() override
    {
        // Owned windows go with their owner.
        DestroyWindow(owner);
        app().main_window = nullptr;
        pump(50);
        EXPECT_EQ(open_info_window_count(), 0);
    }

    HWND owner = nullptr;
};

struct CommandCase {
    int command;
    const char* title;
    int width, height;  // dialog units
    int first_text_id;
    const char* first_text;
};

const CommandCase kCommands[] = {
    {IDM_COPY_NAMES, "コピーファイル名", 311, 50, IDC_COPY_ARROW, "↓↓↓↓↓↓↓"},
    {IDM_ABOUT, "このソフトについて", 133, 162, IDC_ABOUT_VERSION, "Version " QS_VERSION},
    {IDM_MODE_HELP, "Quillsaveの説明", 254, 153, IDC_MODE_TITLE, "待機BackUPと連続BackUPの説明"},
};

}  // namespace

TEST_F(InfoWindows, EachCommandOpensItsOwnedWindowWithACloseBox)
{
    for (const CommandCase& c : kCommands) {
        on_command(c.command);
        pump(100);
        std::vector<HWND> found = windows_titled(c.title);
        ASSERT_EQ(found.size(), 1u) << c.title;
        HWND window = found[0];
        EXPECT_EQ(GetWindow(window, GW_OWNER), owner) << c.title;
        LONG style = GetWindowLongA(window, GWL_STYLE);
        EXPECT_TRUE((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU)) << c.title;
        expect_template_size(window, c.width, c.height, c.title);
        EXPECT_EQ(control_text(window, c.first_text_id), c.first_text);
        EXPECT_EQ(open_info_window_count(), 1);
        SendMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_FALSE(IsWindow(window)) << c.title;
        EXPECT_EQ(open_info_window_count(), 0);
    }
}

TEST_F(InfoWindows, AboutBoxTwiceGivesTwoAndClosingOneLeavesTheOther)
{
    on_command(IDM_ABOUT);
    on_command(IDM_ABOUT);
    pump(100);
    std::vector<HWND> boxes = windows_titled("このソフトについて");
    ASSERT_EQ(boxes.size(), 2u);
    SendMessageA(GetDlgItem(boxes[0], IDC_ABOUT_OK), BM_CLICK, 0, 0);
    pump(100);
    EXPECT_FALSE(IsWindow(boxes[0]));
    ASSERT_TRUE(IsWindow(boxes[1]));
    EXPECT_TRUE(IsWindowVisible(boxes[1]));
    EXPECT_EQ(windows_titled("このソフトについて").size(), 1u);
    EXPECT_EQ(open_info_window_count(), 1);
}

// Keys reach a modeless window only through IsDialogMessageA: dispatched
// plainly, Enter on a push button and Escape would do nothing.
TEST_F(InfoWindows, EnterOnTheButtonAndEscapeCloseThroughTheLoopsRouting)
{
    struct Case {
        int command;
        const char* title;
        int button;  // 0: the key goes to the window itself
        WPARAM key;
    } cases[] = {
        {IDM_ABOUT, "このソフトについて", IDC_ABOUT_OK, VK_RETURN},
        {IDM_MODE_HELP, "Quillsaveの説明", IDC_MODE_CLOSE, VK_RETURN},
        {IDM_ABOUT, "このソフトについて", IDC_ABOUT_OK, VK_ESCAPE},
        {IDM_COPY_NAMES, "コピーファイル名", 0, VK_ESCAPE},
    };
    for (const Case& c : cases) {
        on_command(c.command);
        pump(100);
        std::vector<HWND> found = windows_titled(c.title);
        ASSERT_EQ(found.size(), 1u) << c.title;
        HWND target = c.button != 0 ? GetDlgItem(found[0], c.button) : found[0];
        PostMessageA(target, WM_KEYDOWN, c.key, 1);
        PostMessageA(target, WM_KEYUP, c.key, 0xC0000001);
        EXPECT_TRUE(pump_until([&] { return !IsWindow(found[0]); }, 2000)) << c.title << " key " << c.key;
    }
}

TEST_F(InfoWindows, AboutBoxDrawsItsPictureAtFortyZero)
{
    on_command(IDM_ABOUT);
    pump(300);
    std::vector<HWND> boxes = windows_titled("このソフトについて");
    ASSERT_EQ(boxes.size(), 1u);
    HWND box = boxes[0];
    SetWindowPos(box, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    pump(200);

    // The picture as the resource holds it, beside what the window shows.
    HBITMAP picture = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_ABOUT), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(picture, nullptr);
    BITMAP info = {};
    GetObjectA(picture, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 128);
    EXPECT_EQ(info.bmHeight, 64);
    EXPECT_EQ(info.bmBitsPixel, 8);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, picture);
    HDC window_dc = GetDC(box);
    int compared = 0, equal = 0;
    std::set<COLORREF> colours;
    for (int y = 2; y < 64; y += 6) {
        for (int x = 2; x < 128; x += 6) {
            COLORREF expected = GetPixel(memory, x, y);
            colours.insert(expected);
            ++compared;
            equal += GetPixel(window_dc, 40 + x, y) == expected;
        }
    }
    // Left of the picture the dialog's own face shows.
    COLORREF face = GetSysColor(COLOR_3DFACE);
    EXPECT_EQ(GetPixel(window_dc, 20, 20), face);
    ReleaseDC(box, window_dc);
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(picture);
    EXPECT_GT(colours.size(), 5u) << "a picture, not a plain field";
    EXPECT_EQ(equal, compared);
}

// The build puts the pages beside the test program as beside quillsave.exe.
TEST_F(InfoWindows, HelpCommandsOpenThePagesBesideTheProgram)
{
    static std::vector<std::pair<HWND, std::string>> opened;
    opened.clear();
    auto real = open_help_document;
    open_help_document = [](HWND owner, const char* path) { opened.emplace_back(owner, path); };
    on_command(IDM_HELP);
    on_command(IDM_HOME_PAGE);
    open_help_document = real;

    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, sizeof module);
    std::string folder(module, std::strrchr(module, '\\') + 1);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0].first, owner);
    EXPECT_EQ(opened[0].second, folder + "help\\help.html");
    EXPECT_EQ(opened[1].second, folder + "help\\index.html");
    for (const auto& page : opened)
        EXPECT_TRUE(file_exists(page.second)) << page.second;
}

// A real standby run over a small tree: each file stays current for at
// least one data_time pause (1 s), longer than the window's 500 ms tick, so
// the window shows every one of them, and always a whole pair.
TEST_F(InfoWindows, CopyNameWindowFollowsAStandbyRunAndKeepsTheLastPair)
{
    TempDir dir;
    MessageRecorder recorder;
    Engine run;
    run.notifier = recorder.notifier();
    run.settings.data_time = 1;
    run.settings.data_size = 65536;
    std::string source = dir / "元";
    make_folder(source + "\\表");
    const std::vector<std::string> files = {source + "\\a.txt", source + "\\b.txt", source + "\\表\\c.txt"};
    for (const std::string& file : files)
        write_file(file, file);
    add_entry(run.list, "*.*", source, dir / "先");

    HWND window = open_copy_name_window(owner, run.copy_paths);
    ASSERT_NE(window, nullptr);
    pump(800);
    EXPECT_EQ(control_text(window, IDC_COPY_SOURCE), "") << "nothing copied yet";
    EXPECT_EQ(control_text(window, IDC_COPY_DESTINATION), "");
    EXPECT_EQ(control_text(window, IDC_COPY_ARROW), "↓↓↓↓↓↓↓");

    run.flags.run_mode = 0;
    ASSERT_EQ(start_worker(run), 0);
    std::set<std::string> shown;
    bool whole_pairs = true;
    bool finished = pump_until([&] {
        std::string from = control_text(window, IDC_COPY_SOURCE);
        std::string to = control_text(window, IDC_COPY_DESTINATION);
        if (!from.empty()) {
            shown.insert(from);
            // The destination mirrors the source below the two roots.
            whole_pairs = whole_pairs && to == dir / "先" + from.substr(source.size());
        }
        return run.flags.list_finished == 1;
    }, 30000);
    stop_worker(run);
    ASSERT_TRUE(finished);
    EXPECT_TRUE(whole_pairs);
    for (const std::string& file : files)
        EXPECT_EQ(shown.count(file), 1u) << file;

    char last_source[kFieldSize], last_destination[kFieldSize];
    get_copy_paths(run.copy_paths, last_source, last_destination);
    pump(1200);
    EXPECT_NE(std::string(last_source), "");
    EXPECT_EQ(control_text(window, IDC_COPY_SOURCE), last_source) << "the last pair stays after the run";
    EXPECT_EQ(control_text(window, IDC_COPY_DESTINATION), last_destination);
    DestroyWindow(window);
    EXPECT_TRUE(recorder.messages.empty());
}
