// The main window's pieces on real windows: the list view over the model, the
// status bar, the coalesced refresh, the menu graying and the tray record.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "app/app.h"
#include "app/lifetime.h"
#include "app/main_window.h"
#include "app/run_control.h"
#include "app/seams.h"
#include "app/tray.h"
#include "tests/wine/support.h"
#include "resources/resource.h"

namespace {

LRESULT CALLBACK host_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_NOTIFY) {
        on_list_get_disp_info(reinterpret_cast<NMHDR*>(lparam));
        return 0;
    }
    if (message == kRefreshMessage) {
        on_refresh_request(window);
        return 0;
    }
    if (message == WM_TIMER && wparam == kRefreshTimer) {
        on_refresh_timer(window);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

// A hidden main window with the program's list view and status bar, over the
// program's one Engine, emptied before and after each test.
class AppWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        App& a = app();
        a.instance = GetModuleHandleA(nullptr);
        InitCommonControls();
        window = make_hidden_window("App Test Host", host_proc);
        ASSERT_NE(window, nullptr);
        a.main_window = window;
        a.list_view = create_list_view(window);
        a.status_bar = create_status_bar(window);
        MoveWindow(a.list_view, 0, 0, 580, 500, FALSE);
        reset();
    }
    void TearDown() override
    {
        reset();
        app_seams() = AppSeams{};
        refresh_list_view();
        DestroyWindow(window);
        App& a = app();
        a.main_window = a.list_view = a.status_bar = nullptr;
        a.in_tray = 0;
    }
    static void reset()
    {
        Engine& e = engine();
        list_clear(e.list);
        reset_progress(e);
        e.flags.running = 0;
        e.flags.run_mode = 0;
        e.flags.paused = 0;
    }
    static void add_row(const char* name, const char* source, const char* destination)
    {
        BackupList& list = engine().list;
        int row = list_insert_row(list, list_row_count(list), name);
        list_set_cell(list, row, col_source, source);
        list_set_cell(list, row, col_destination, destination);
        list_set_cell(list, row, col_file_status, "未");
        list_set_cell(list, row, col_folder_status, "未");
    }
    static std::string view_cell(int row, int column) { return list_view_text(app().list_view, row, column); }
    static std::string bar_text(int part)
    {
        char text[128] = {};
        SendMessageA(app().status_bar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text));
        return text;
    }
    static int queued_refreshes()
    {
        int n = 0;
        MSG msg;
        while (PeekMessageA(&msg, app().main_window, kRefreshMessage, kRefreshMessage, PM_REMOVE))
            ++n;
        return n;
    }

    HWND window = nullptr;
};

TEST_F(AppWindow, ListViewShowsTheModelsRowsAndChangedCells)
{
    add_row("*.*", "C:\\ソース表", "D:\\保存先");
    add_row("memo.txt", "C:\\文書", "D:\\控え");
    refresh_list_view();
    ASSERT_EQ(SendMessageA(app().list_view, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(view_cell(0, 1), "C:\\ソース表");
    EXPECT_EQ(view_cell(1, 2), "D:\\控え");
    EXPECT_EQ(view_cell(1, 4), "未");

    list_set_cell(engine().list, 1, col_file_status, "書e");
    refresh_list_view();
    EXPECT_EQ(view_cell(1, 3), "書e");
    list_delete_row(engine().list, 0);
    refresh_list_view();
    EXPECT_EQ(SendMessageA(app().list_view, LVM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_EQ(view_cell(0, 0), "memo.txt");
}

TEST_F(AppWindow, ListViewHasTheFiveColumnsGridAndFullRowSelect)
{
    const char* titles[] = {"ファイル名", "ソース", "保存先", "ﾌｧｲﾙ", "ﾌｫﾙﾀﾞ"};
    const int widths[] = {100, 150, 250, 40, 48};
    HWND header = reinterpret_cast<HWND>(SendMessageA(app().list_view, LVM_GETHEADER, 0, 0));
    for (int i = 0; i < 5; ++i) {
        char title[64] = {};
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = title;
        column.cchTextMax = sizeof title;
        ASSERT_TRUE(SendMessageA(app().list_view, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column)));
        EXPECT_STREQ(title, titles[i]);
        EXPECT_EQ(column.cx, at_display_dpi(widths[i]));
        // The header keeps 3 edges of margin on each side of its text.
        EXPECT_LE(text_width(header, title) + 6 * GetSystemMetrics(SM_CXEDGE), column.cx) << i << ": title whole";
    }
    LRESULT extended = SendMessageA(app().list_view, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_TRUE(extended & LVS_EX_GRIDLINES);
    EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
    EXPECT_EQ(GetDlgCtrlID(app().list_view), IDC_LIST_VIEW);
    EXPECT_EQ(GetDlgCtrlID(app().status_bar), IDC_STATUS_BAR);
}

TEST_F(AppWindow, StatusBarShowsFivePartsFromThePositionAndFlags)
{
    add_row("a.txt", "C:\\", "D:\\");
    add_row("b.txt", "C:\\", "D:\\");
    Engine& e = engine();
    e.progress.fmove_point = 1;
    e.progress.folder_count = 3;
    e.progress.folder_max = 7;
    e.progress.file_count = -2;
    e.progress.file_max = 12;
    e.flags.paused = 1;
    update_status_bar();
    int edges[8] = {};
    ASSERT_EQ(SendMessageA(app().status_bar, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 5);
    EXPECT_EQ(edges[0], at_display_dpi(100));
    EXPECT_EQ(edges[3], at_display_dpi(440));
    EXPECT_EQ(edges[4], -1);
    // Each part holds its longest text whole in the bar's font.
    const char* longest[] = {"LIST=99/999", "Folder=99/999", "File=999/999", "連続Backup中"};
    for (int i = 0; i < 4; ++i)
        EXPECT_LE(text_width(app().status_bar, longest[i]), edges[i] - (i == 0 ? 0 : edges[i - 1]) -
                      4 * GetSystemMetrics(SM_CXEDGE)) << longest[i];
    EXPECT_EQ(bar_text(0), "LIST=1/2");
    EXPECT_EQ(bar_text(1), "Folder=3/7");
    EXPECT_EQ(bar_text(2), "File=-2/12");
    EXPECT_EQ(bar_text(3), "一時停止中");
    EXPECT_EQ(bar_text(4), "by Alder-Works");
    e.flags.running = 1;
    e.flags.run_mode = 1;
    update_status_bar();
    EXPECT_EQ(bar_text(3), "連続Backup中");
}

// The counts of a tree of many thousand folders and files, up to the
// tables' limit, are shown whole: a part is widened when its text needs it.
TEST_F(AppWindow, StatusBarCountsOfLargeTreesAreNeverCut)
{
    add_row("*.*", "C:\\", "D:\\");
    Engine& e = engine();
    for (int count : {50, 49999, kTableLimit - 1}) {
        e.progress.folder_count = e.progress.file_count = count;
        e.progress.folder_max = e.progress.file_max = count + 1;
        update_status_bar();
        for (int part = 0; part < 4; ++part) {
            RECT r{};
            SendMessageA(app().status_bar, SB_GETRECT, part, reinterpret_cast<LPARAM>(&r));
            EXPECT_GT(r.right - r.left, text_width(app().status_bar, bar_text(part))) << bar_text(part);
        }
    }
}

// The worker asks after every step; one message is queued however often it
// asks, and the next refresh lets it ask again.
TEST_F(AppWindow, RefreshRequestsFromTheWorkerAreCoalesced)
{
    std::thread worker([] {
        for (int i = 0; i < 50; ++i)
            request_list_refresh();
    });
    worker.join();
    EXPECT_EQ(queued_refreshes(), 1);
    request_list_refresh();
    EXPECT_EQ(queued_refreshes(), 0) << "still marked as queued until the refresh ran";
    refresh_list_view();
    request_list_refresh();
    EXPECT_EQ(queued_refreshes(), 1);
    refresh_list_view();
}

// A run of small files asks a thousand times a second; the window paints
// the first request at once and a burst after it once more, a little later,
// with the burst's last change, never losing it.
TEST_F(AppWindow, ABurstOfRefreshesIsPaintedLaterWithItsLastChange)
{
    add_row("*.*", "C:\\", "D:\\");
    Engine& e = engine();
    app().last_refresh = GetTickCount() - 1000;
    auto ask_and_deliver = [] {
        request_list_refresh();
        MSG msg;
        while (PeekMessageA(&msg, app().main_window, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    };
    e.progress.folder_max = 100;
    e.progress.folder_count = 1;
    ask_and_deliver();
    EXPECT_EQ(bar_text(1), "Folder=1/100");
    for (int count = 2; count <= 40; ++count) {
        e.progress.folder_count = count;
        ask_and_deliver();
    }
    EXPECT_EQ(bar_text(1), "Folder=1/100") << "painted again within the pacing interval";
    DWORD start = GetTickCount();
    while (bar_text(1) != "Folder=40/100" && GetTickCount() - start < 2000) {
        Sleep(5);
        ask_and_deliver();
    }
    EXPECT_EQ(bar_text(1), "Folder=40/100");
    EXPECT_LT(GetTickCount() - start, 1000u);
    // The flag is clear again: the next step's request is a new message.
    request_list_refresh();
    EXPECT_EQ(queued_refreshes(), 1);
    refresh_list_view();
}

DWORD WINAPI wait_for_release(LPVOID event)
{
    WaitForSingleObject(event, INFINITE);
    return 0;
}

// A worker that outlived the wait of a stop: tracked, alive, running 0.
struct Straggler {
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, wait_for_release, release, 0, nullptr);
    Straggler() { engine().worker_thread.reset(thread); }
    ~Straggler()
    {
        SetEvent(release);
        WaitForSingleObject(thread, INFINITE);
        if (engine().worker_thread.get() == thread)
            engine().worker_thread.release();
        CloseHandle(thread);
        CloseHandle(release);
    }
};

TEST_F(AppWindow, MenuItemsThatChangeTheListAreGrayedWhileRunningOrAWorkerLives)
{
    const int locked[] = {101, 102, 103, 104, 151, 152, 121, 122, 123, 124, 125, 126, 37828, 37829, 37826, 111, 37827};
    const int untouched[] = {142, 141, 127, 37830, 37831, 37832, 131, 132, 133};
    HMENU menu = LoadMenuA(app().instance, MAKEINTRESOURCEA(IDM_MAIN));
    ASSERT_NE(menu, nullptr);
    struct State { const char* what; int running; bool straggler; } states[] = {
        {"running", 1, false}, {"worker left behind by a stop", 0, true}, {"idle", 0, false}};
    for (const auto& state : states) {
        std::unique_ptr<Straggler> straggler(state.straggler ? new Straggler : nullptr);
        engine().flags.running = state.running;
        for (int popup = 0; popup < GetMenuItemCount(menu); ++popup)
            on_init_menu_popup(GetSubMenu(menu, popup));
        UINT gray_when_locked = state.running || state.straggler ? MF_GRAYED : 0u;
        for (int id : locked)
            EXPECT_EQ(GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED, gray_when_locked) << id << " " << state.what;
        EXPECT_EQ(GetMenuState(menu, IDM_STOP, MF_BYCOMMAND) & MF_GRAYED, state.running ? 0u : MF_GRAYED);
        EXPECT_EQ(GetMenuState(menu, IDM_RESET_SETTINGS, MF_BYCOMMAND) & MF_GRAYED,
                  state.straggler ? MF_GRAYED : 0u) << state.what;
        for (int id : untouched)
            EXPECT_EQ(GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED, 0u) << id;
    }
    engine().flags.running = 0;
    DestroyMenu(menu);
}

// A box or dialog that a refused command must not have opened.
bool g_window_opened = false;

BOOL CALLBACK close_dialog(HWND window, LPARAM)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) == "#32770" && IsWindowVisible(window)) {
        g_window_opened = true;
        PostMessageA(window, WM_COMMAND, IDNO, 0);
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    }
    return TRUE;
}

void CALLBACK close_dialogs(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), close_dialog, 0);
}

// While a worker left behind by a stop lives, every command that would
// change what it works on does nothing and says nothing.
TEST_F(AppWindow, CommandsThatChangeTheWorkersMaterialAreRefusedWhileItLives)
{
    Engine& e = engine();
    add_row("a.txt", "C:\\src", "D:\\dst");
    const int commands[] = {IDM_FILE_NEW, IDM_FILE_OPEN, IDM_FILE_SAVE, IDM_FILE_SAVE_AS, IDM_ENTRY_NEW,
                            IDM_ENTRY_EDIT, IDM_ENTRY_DELETE, IDM_ENTRY_PASTE, IDM_ENTRY_PASTE_NEW, IDM_ADD_ALL,
                            IDM_SETTINGS, IDM_CLEAR_POSITION, IDM_RESET_SETTINGS, IDM_START_STANDBY,
                            IDM_START_CONTINUOUS};
    Straggler straggler;
    UINT_PTR guard = SetTimer(nullptr, 0, 300, close_dialogs);
    for (int id : commands) {
        ListView_SetItemState(app().list_view, 0, LVIS_SELECTED, LVIS_SELECTED);
        e.progress.fmove_point = 1;
        e.settings.data_size = 4096;
        e.flags.run_mode = 0;
        g_window_opened = false;
        on_command(id);
        EXPECT_FALSE(g_window_opened) << id;
        EXPECT_EQ(list_row_count(e.list), 1) << id;
        EXPECT_EQ(e.progress.fmove_point.load(), 1) << id << ": the position stays";
        EXPECT_EQ(e.settings.data_size, 4096) << id << ": the settings stay";
        EXPECT_EQ(e.flags.run_mode.load(), 0) << id << ": the mode stays";
    }
    // A start posted during a standby run leaves it a standby run.
    e.flags.running = 1;
    on_command(IDM_START_CONTINUOUS);
    EXPECT_EQ(e.flags.run_mode.load(), 0);
    e.flags.running = 0;
    KillTimer(nullptr, guard);
}

// The end of the program, and the end of the session, with a worker still
// alive: the four files first, then the process ends at once instead of
// freeing the engine under it. The end of the session waits for the worker
// only briefly and always ends the process, with its tray icon gone.
std::string g_list_at_exit;
int g_exit_calls = 0;

void WINAPI record_exit(UINT code)
{
    ++g_exit_calls;
    EXPECT_EQ(code, 0u);
    g_list_at_exit = read_file(std::string(engine().workdir.path) + "\\quillsave.ini");
}

TEST_F(AppWindow, EndsWriteTheFilesAndEndAtOnceWhileAWorkerLives)
{
    TempDir dir;
    App& a = app();
    Engine& e = engine();
    copy_field(e.workdir.path, dir.path().c_str());
    add_row("a.txt", "C:\\src", "D:\\dst");
    const std::string list = "a.txt,C:\\src,D:\\dst,未,未,\r\n";
    app_seams().exit_process = record_exit;
    struct Case {
        const char* what;
        void (*end)(HWND);
        bool worker;
        int running;
        int exits;
    } cases[] = {
        {"program end, worker left behind by a stop", finish_program, true, 0, 1},
        {"program end, no worker", finish_program, false, 0, 0},
        {"session end during a run", end_session, true, 1, 1},
        {"session end, no worker", end_session, false, 0, 1},
    };
    for (const Case& c : cases) {
        DeleteFileA((dir / "quillsave.ini").c_str());
        g_exit_calls = 0;
        g_list_at_exit.clear();
        a.in_tray = 1;
        {
            std::unique_ptr<Straggler> straggler(c.worker ? new Straggler : nullptr);
            e.flags.running = c.running;
            c.end(window);
        }
        EXPECT_EQ(g_exit_calls, c.exits) << c.what;
        if (c.exits > 0) {
            EXPECT_EQ(g_list_at_exit, list) << c.what << ": written before the end";
        }
        EXPECT_EQ(read_file(dir / "quillsave.ini"), list) << c.what;
        EXPECT_EQ(e.flags.running.load(), 0) << c.what;
        EXPECT_EQ(a.in_tray, c.end == end_session ? 0 : 1) << c.what << ": the icon goes only with the session";
    }
    e.workdir.path[0] = 0;
}

// A program file that cannot be written at the end of the session (here a
// folder has its name) shows no box: one would hold back the files after
// it until Windows ends the process.
TEST_F(AppWindow, SessionEndWritesTheOtherFilesWithoutABox)
{
    TempDir dir;
    App& a = app();
    Engine& e = engine();
    copy_field(e.workdir.path, dir.path().c_str());
    make_folder(dir / "quillsave.ini");
    add_row("a.txt", "C:\\src", "D:\\dst");
    install_notifier();
    app_seams().exit_process = record_exit;
    g_window_opened = false;
    UINT_PTR guard = SetTimer(nullptr, 0, 300, close_dialogs);
    end_session(window);
    KillTimer(nullptr, guard);
    EXPECT_FALSE(g_window_opened);
    EXPECT_TRUE(file_exists(dir / "set.ini")) << "written after the file that failed";
    a.session_ending = false;
    e.notifier = Notifier{};
    e.workdir.path[0] = 0;
}

TEST_F(AppWindow, TrayRecordFollowsTheRun)
{
    App& a = app();
    HICON idle = LoadIconA(a.instance, MAKEINTRESOURCEA(IDI_IDLE));
    HICON running = LoadIconA(a.instance, MAKEINTRESOURCEA(IDI_RUNNING));
    add_tray_icon(window);
    a.in_tray = 1;
    EXPECT_EQ(a.tray.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V1_SIZE));  // 88 bytes in the 32-bit program
    EXPECT_EQ(a.tray.hWnd, window);
    EXPECT_EQ(a.tray.uID, 901u);
    EXPECT_EQ(a.tray.uFlags, 7u);
    EXPECT_EQ(a.tray.uCallbackMessage, static_cast<UINT>(WM_USER));
    EXPECT_STREQ(a.tray.szTip, "Quillsave");
    EXPECT_EQ(a.tray.hIcon, idle);
    engine().flags.running = 1;
    update_tray_icon();
    EXPECT_EQ(a.tray.hIcon, running);
    // After a pass that left files not backed up the tip says how many,
    // within the first form's 64 bytes, until the next pass begins.
    engine().report.missed_told = 12;
    update_tray_icon();
    EXPECT_STREQ(a.tray.szTip, "Quillsave - 12件バックアップできませんでした");
    EXPECT_LT(std::strlen(a.tray.szTip), 64u);
    engine().report.missed_told = 0;
    update_tray_icon();
    EXPECT_STREQ(a.tray.szTip, "Quillsave");
    restore_from_tray(window);
    EXPECT_EQ(a.in_tray, 0);
    EXPECT_TRUE(IsWindowVisible(window));
}

// Every start and stop ends with show_run_state: the window's small icon,
// the tray's icon and the status bar say the same of the run.
TEST_F(AppWindow, RunStateShowsOneLookInTheTitleTheTrayAndTheStatusBar)
{
    Engine& e = engine();
    struct Case { int running, paused, icon; const char* text; } cases[] = {
        {1, 0, IDI_RUNNING, "待機Backup中"}, {0, 1, IDI_IDLE, "一時停止中"}, {0, 0, IDI_IDLE, "停止中"}};
    for (const auto& c : cases) {
        e.flags.running = c.running;
        e.flags.paused = c.paused;
        show_run_state();
        HICON icon = LoadIconA(app().instance, MAKEINTRESOURCEA(c.icon));
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_SMALL, 0)), icon) << c.text;
        EXPECT_EQ(app().tray.hIcon, icon) << c.text;
        EXPECT_EQ(bar_text(3), c.text);
    }
}

// What the tick timer did when it fired inside an open box.
bool g_tick_reacted = false;

BOOL CALLBACK press_ok(HWND window, LPARAM)
{
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) == "#32770")
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

// Fires inside the box's own loop, as the main window's timers do: one tick
// with a copy error pending, then OK on the box.
void CALLBACK tick_inside_box(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    on_timer(kTickTimer);
    g_tick_reacted = engine().flags.error_pending.load() == 0;
    EnumThreadWindows(GetCurrentThreadId(), press_ok, 0);
}

// A box runs its own loop, in which the timers keep coming. Only while a
// box of the timers' own paths is open do they do nothing, so a failure that
// repeats cannot open a second box inside the first; any other box, such as
// one the user left open, must not cost a scheduled start or the end of a
// run.
TEST_F(AppWindow, OnlyBoxesOfTheTimersOwnPathsMuteTheTimers)
{
    Engine& e = engine();
    e.settings.rw_error_mode = 2;
    // A worker that outlived a stop: a start fails with its message.
    Straggler straggler;
    struct Case {
        const char* what;
        void (*open_box)();
        bool timers_react;
    } cases[] = {
        {"項目を選択して下さい", [] { app_message_box("項目を選択して下さい", "Quillsave", MB_OK); }, true},
        {"hand start failure", [] { start_run(StartBy::user, StartKind::by_hand, RunMode::standby); }, true},
        {"timed start failure", [] { start_run(StartBy::timer, StartKind::schedule, RunMode::standby); }, false},
    };
    for (const auto& c : cases) {
        e.flags.error_pending = 1;
        g_tick_reacted = false;
        SetTimer(nullptr, 0, 200, tick_inside_box);
        c.open_box();
        EXPECT_EQ(g_tick_reacted, c.timers_react) << c.what;
        EXPECT_EQ(app().timer_boxes_open, 0) << c.what;
    }
    e.flags.error_pending = 0;
    e.settings.rw_error_mode = 0;
}

// The folder browsers need COM apartment-threaded on the thread that shows
// them: a second initialisation of another model must find it so.
TEST(UiThread, PreparedWithComApartmentThreaded)
{
    HRESULT before = S_OK, after = S_OK;
    std::thread fresh([&] {
        before = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        CoUninitialize();
        prepare_ui_thread();
        after = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(after))
            CoUninitialize();
        CoUninitialize();
    });
    fresh.join();
    EXPECT_EQ(before, S_OK) << "a new thread has no apartment yet";
    EXPECT_EQ(after, RPC_E_CHANGED_MODE);
}

// start_time and restart_time come from a file the user may edit: no value
// may wrap into a timer that never comes.
TEST(TimerLength, SecondsFromSetIniNeverWrap)
{
    struct Case { int seconds; UINT ms; } cases[] = {
        {120, 120000u}, {0, 0u}, {-5, 0u}, {INT_MIN, 0u}, {2147483, 2147483000u}, {2147484, 2147483000u},
        {INT_MAX, 2147483000u},
    };
    for (const auto& c : cases)
        EXPECT_EQ(timer_ms(c.seconds), c.ms) << c.seconds;
}

// The power-off ends every program without asking, so the session is saved
// first, and it is asked once per finished run however many ticks see the
// end of the list.
std::string g_seen_at_power_off;
int g_power_off_calls = 0;

int record_power_off(HWND)
{
    ++g_power_off_calls;
    g_seen_at_power_off = read_file(std::string(engine().workdir.path) + "\\quillsave.ini");
    return 0;
}

TEST_F(AppWindow, PowerOffAfterAContinuousRunSavesTheSessionFirstAndIsAskedOnce)
{
    TempDir dir;
    App& a = app();
    Engine& e = engine();
    copy_field(e.workdir.path, dir.path().c_str());
    add_row("a.txt", "C:\\src", "D:\\dst");
    list_set_cell(e.list, 0, col_file_status, "完");
    e.settings.shutdown_mode = 1;
    e.flags.run_mode = 1;
    e.flags.list_finished = 1;
    app_seams().power_off = record_power_off;
    g_power_off_calls = 0;

    on_timer(kTickTimer);
    on_timer(kTickTimer);
    on_timer(kTickTimer);

    a.power_off_asked = false;
    e.settings.shutdown_mode = 0;
    e.flags.list_finished = 0;
    e.workdir.path[0] = 0;
    EXPECT_EQ(g_power_off_calls, 1);
    EXPECT_EQ(g_seen_at_power_off, "a.txt,C:\\src,D:\\dst,完,未,\r\n");
    EXPECT_TRUE(file_exists(dir / "set.ini"));
}

}  // namespace
