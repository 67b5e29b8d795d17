// The list edit commands through the program's command dispatch, on a real list
// view, with the entry edit dialog, the folder browsers, the folder display
// and the no-selection messages operated from a second thread as a user
// would: found by their titles, fields typed, buttons pressed.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/app.h"
#include "app/main_window.h"
#include "base/seams.h"
#include "resources/resource.h"
#include "tests/wine/entry_rows.h"
#include "tests/wine/operate.h"
#include "tests/wine/support.h"

namespace {

const char kEntryTitle[] = "BackUPファイル設定";

LRESULT CALLBACK host_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_NOTIFY) {
        on_list_get_disp_info(reinterpret_cast<NMHDR*>(lparam));
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

std::thread operate(std::function<HWND()> find, std::function<void(HWND)> action, const std::string& what)
{
    return ::operate(app().ui_thread, find, action, what);
}

std::thread operate_titled(const char* title, std::function<void(HWND)> action)
{
    return ::operate_titled(app().ui_thread, title, action);
}

// The system folder browser shows the caller's title in a static text; its
// own caption is the system's.
struct BrowserSearch {
    const char* prompt;
    HWND found;
};

BOOL CALLBACK find_prompt(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<BrowserSearch*>(param);
    if (!has_child_text(window, search->prompt))
        return TRUE;
    search->found = window;
    return FALSE;
}

std::function<HWND()> folder_browser(const char* prompt, DWORD ui_thread)
{
    return [=] {
        BrowserSearch search = {prompt, nullptr};
        EnumThreadWindows(ui_thread, find_prompt, reinterpret_cast<LPARAM>(&search));
        return search.found;
    };
}

// The browser selects the remembered folder once its tree is ready; an OK
// before that would confirm the desktop. Then OK or Cancel.
void answer_browser(HWND browser, const std::string& folder, bool confirm)
{
    std::string leaf = folder.substr(folder.rfind('\\') + 1);
    HWND tree = FindWindowExA(browser, nullptr, WC_TREEVIEWA, nullptr);
    bool selected = false;
    char text[kFieldSize] = {};
    for (int i = 0; i < 1500 && !selected; ++i) {
        TVITEMA item = {};
        item.mask = TVIF_TEXT;
        item.hItem = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
        item.pszText = text;
        item.cchTextMax = sizeof text;
        selected = item.hItem && SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) && leaf == text;
        if (!selected)
            Sleep(20);
    }
    EXPECT_TRUE(selected) << "the browser never showed " << folder << " but " << text;
    PostMessageA(browser, WM_COMMAND, confirm ? IDOK : IDCANCEL, 0);
}

class ListEdit : public ::testing::Test {
protected:
    void SetUp() override
    {
        App& a = app();
        a.instance = GetModuleHandleA(nullptr);
        a.ui_thread = GetCurrentThreadId();
        WNDCLASSA wc = {};
        wc.lpfnWndProc = host_proc;
        wc.hInstance = a.instance;
        wc.lpszClassName = "List Edit Test Host";
        RegisterClassA(&wc);
        InitCommonControls();
        window = CreateWindowExA(0, "List Edit Test Host", "", WS_OVERLAPPEDWINDOW, 0, 0, 600, 600, nullptr,
                                 nullptr, a.instance, nullptr);
        ASSERT_NE(window, nullptr);
        a.main_window = window;
        a.list_view = create_list_view(window);
        a.status_bar = create_status_bar(window);
        install_notifier();
        clear_entry_buffer(a.entry_buffer);
        list_clear(engine().list);
        reset_progress(engine());
        refresh_list_view();
    }
    void TearDown() override
    {
        list_clear(engine().list);
        refresh_list_view();
        DestroyWindow(window);
        App& a = app();
        a.main_window = a.list_view = a.status_bar = nullptr;
    }
    // Rows with statuses a run left behind, and a run position inside them.
    static void add_rows(const std::vector<std::vector<std::string>>& rows)
    {
        BackupList& list = engine().list;
        for (const auto& r : rows) {
            int row = add_entry(list, r[0], r[1], r[2]);
            list_set_cell(list, row, col_file_status, "完");
            list_set_cell(list, row, col_folder_status, "3");
        }
        engine().progress.fmove_point = 1;
        engine().progress.folder_count = 2;
        refresh_list_view();
    }
    static void select_rows(const std::vector<int>& rows)
    {
        for (int row : rows) {
            LVITEMA item = {};
            item.state = item.stateMask = LVIS_SELECTED;
            SendMessageA(app().list_view, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
        }
    }
    static std::vector<std::string> row(int index)
    {
        const BackupList& list = engine().list;
        return {cell_text(list, index, 0), cell_text(list, index, 1), cell_text(list, index, 2)};
    }
    static int row_count() { return list_row_count(engine().list); }
    static int selected_count()
    {
        return static_cast<int>(SendMessageA(app().list_view, LVM_GETSELECTEDCOUNT, 0, 0));
    }
    // Every row's statuses "未" and the run position back at the start.
    static void expect_reset()
    {
        for (int i = 0; i < row_count(); ++i) {
            EXPECT_EQ(cell_text(engine().list, i, col_file_status), "未") << i;
            EXPECT_EQ(cell_text(engine().list, i, col_folder_status), "未") << i;
        }
        EXPECT_EQ(engine().progress.fmove_point.load(), 0);
        EXPECT_EQ(engine().progress.folder_count.load(), 0);
    }

    HWND window = nullptr;
};

TEST_F(ListEdit, EntryDialogChangesTheListOnlyOnOk)
{
    using Row = std::vector<std::string>;
    const Row typed = {"new.txt", "C:\\ソース表", "E:\\保存"};
    struct Case { int command; bool all; int button; const char* shown; int changed_row; Row changed; } cases[] = {
        {IDM_ENTRY_NEW, true, IDC_ENTRY_OK, "", 3, {"*.*", typed[1], typed[2]}},  // a folder entry, at the end
        {IDM_ENTRY_NEW, false, IDC_ENTRY_CANCEL, "", -1, {}},
        {IDM_ENTRY_EDIT, false, IDC_ENTRY_OK, "b.txt", 1, typed},  // the first selected row
        {IDM_ENTRY_EDIT, true, IDC_ENTRY_CANCEL, "b.txt", -1, {}},
        {IDM_ENTRY_EDIT, true, 0, "b.txt", -1, {}},  // 0: the close box
    };
    for (const auto& c : cases) {
        list_clear(engine().list);
        add_rows({{"a.txt", "C:\\a", "D:\\a"}, {"b.txt", "C:\\b", "D:\\b"}, {"c.txt", "C:\\c", "D:\\c"}});
        select_rows({1, 2});
        copy_field(app().entry_buffer.file_name, "old.txt");  // New entry starts from an empty buffer
        copy_field(engine().settings.temp_backup, "T:\\before");
        std::string shown;
        std::thread user = operate_titled(kEntryTitle, [&](HWND dialog) {
            shown = field(dialog, IDC_ENTRY_NAME);
            for (int i = 0; i < 3; ++i)
                SetDlgItemTextA(dialog, IDC_ENTRY_NAME + i, typed[i].c_str());
            if (c.all)
                press(dialog, IDC_ENTRY_ALL);
            if (c.button != 0)
                press(dialog, c.button);
            else
                PostMessageA(dialog, WM_CLOSE, 0, 0);
        });
        on_command(c.command);
        user.join();
        EXPECT_EQ(shown, c.shown);
        std::vector<Row> expected = {{"a.txt", "C:\\a", "D:\\a"}, {"b.txt", "C:\\b", "D:\\b"}, {"c.txt", "C:\\c", "D:\\c"}};
        if (c.changed_row >= 0) {
            expected.resize(std::max<std::size_t>(expected.size(), c.changed_row + 1));
            expected[c.changed_row] = c.changed;
        }
        ASSERT_EQ(row_count(), static_cast<int>(expected.size())) << c.command << " " << c.button;
        for (int i = 0; i < row_count(); ++i)
            EXPECT_EQ(row(i), expected[i]) << c.command << " " << c.button << " row " << i;
        EXPECT_STREQ(engine().settings.temp_backup, c.changed_row >= 0 ? "E:\\保存" : "T:\\before");
        EXPECT_EQ(SendMessageA(app().list_view, LVM_GETITEMCOUNT, 0, 0), row_count());
        expect_reset();
    }
}

TEST_F(ListEdit, CopyPasteAndPasteAsNewMoveTheFirstSelectedRowThroughTheBuffer)
{
    add_rows({{"*.*", "C:\\表", "D:\\ソ"}, {"b.txt", "C:\\b", "D:\\b"}, {"c.txt", "C:\\c", "D:\\c"}});
    select_rows({0, 2});
    on_command(IDM_ENTRY_COPY);
    EXPECT_STREQ(app().entry_buffer.source, "C:\\表");
    EXPECT_EQ(row(0), (std::vector<std::string>{"*.*", "C:\\表", "D:\\ソ"}));
    expect_reset();

    on_command(IDM_DESELECT);
    select_rows({2});
    list_set_cell(engine().list, 2, col_file_status, "完");
    engine().progress.fmove_point = 2;
    on_command(IDM_ENTRY_PASTE);
    EXPECT_EQ(row(2), row(0));
    EXPECT_EQ(row(1)[0], "b.txt");
    expect_reset();

    on_command(IDM_ENTRY_PASTE_NEW);
    ASSERT_EQ(row_count(), 4);
    EXPECT_EQ(row(3), row(0));
    EXPECT_EQ(SendMessageA(app().list_view, LVM_GETITEMCOUNT, 0, 0), 4);
    expect_reset();
}

TEST_F(ListEdit, DeleteRemovesEverySelectedRowAndDeselectClearsTheRest)
{
    add_rows({{"0", "", ""}, {"1", "", ""}, {"2", "", ""}, {"3", "", ""}, {"4", "", ""}});
    select_rows({1, 3, 4});
    on_command(IDM_ENTRY_DELETE);
    ASSERT_EQ(row_count(), 2);
    EXPECT_EQ(row(0)[0], "0");
    EXPECT_EQ(row(1)[0], "2");
    EXPECT_EQ(SendMessageA(app().list_view, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(selected_count(), 0);
    expect_reset();

    select_rows({0, 1});
    engine().progress.fmove_point = 1;
    on_command(IDM_DESELECT);
    EXPECT_EQ(selected_count(), 0);
    EXPECT_EQ(engine().progress.fmove_point.load(), 1);  // no reset after a deselect
}

TEST_F(ListEdit, CommandsWithoutTheirRowShowTheMessageAndStillReset)
{
    struct Case { int command; const char* caption; const char* text; bool resets; } cases[] = {
        {IDM_ENTRY_EDIT, "Quillsave", "項目を選択して下さい", true},
        {IDM_ENTRY_DELETE, "listview_write", "項目を選択して下さい", true},
        {IDM_ENTRY_COPY, "Quillsave", "項目を選択して下さい", true},
        {IDM_ENTRY_PASTE, "Quillsave", "項目を選択して下さい", true},
        {IDM_SHOW_FOLDER, "内フォルダ表示", "項目を選択して下さい", false},
        {IDM_SHOW_FOLDER, "内フォルダ表示", "ファルダ名を選択して下さい", false},  // a single-file row
    };
    for (const auto& c : cases) {
        list_clear(engine().list);
        add_rows({{"a.txt", "C:\\a", "D:\\a"}, {"b.txt", "C:\\b", "D:\\b"}});
        if (std::string(c.text) != "項目を選択して下さい")
            select_rows({1});
        std::string text;
        HWND owner = nullptr;
        std::thread user = operate_titled(c.caption, [&](HWND box) {
            text = field(box, 0xFFFF);  // a message box's text
            owner = GetWindow(box, GW_OWNER);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        on_command(c.command);
        user.join();
        EXPECT_EQ(text, c.text) << c.caption;
        EXPECT_EQ(owner, window) << c.caption;  // the program's own box over the main window
        EXPECT_EQ(row(1), (std::vector<std::string>{"b.txt", "C:\\b", "D:\\b"})) << c.caption;
        if (c.resets)
            expect_reset();
        else
            EXPECT_EQ(engine().progress.fmove_point.load(), 1) << c.caption;
    }
}

TEST_F(ListEdit, FolderDisplayListsTheTreeFromATableOfItsOwn)
{
    TempDir dir;
    make_folder(dir / "a\\表");
    make_folder(dir / "c");
    write_file(dir / "a\\x.txt", "x");
    add_rows({{"*.*", dir.path(), "D:\\d"}});
    select_rows({0});
    FolderTable& run_table = engine().folders;  // a resumable run's walk
    run_table.records.push_back({"R:\\run", ""});
    std::vector<std::string> shown;
    std::thread user = operate_titled("各フォルダー表示", [&](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_FOLDER_LIST);
        int n = 0;
        for (int wait = 0; wait < 500 && n == 0; ++wait, Sleep(20))
            n = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < n; ++i)
            for (int column = 0; column < 2; ++column)
                shown.push_back(list_view_text(list, i, column));
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    });
    on_command(IDM_SHOW_FOLDER);
    user.join();
    // The source itself first; the folders below in the order the system
    // lists them.
    ASSERT_EQ(shown.size(), 8u);
    EXPECT_EQ(shown[0], dir.path());
    EXPECT_EQ(shown[1], "");
    std::vector<std::string> below;
    for (std::size_t i = 2; i < shown.size(); i += 2)
        below.push_back(shown[i] + "|" + shown[i + 1]);
    std::sort(below.begin(), below.end());
    std::vector<std::string> expected = {dir / "a\\表" + "|\\a\\表", dir / "a" + "|\\a", dir / "c" + "|\\c"};
    EXPECT_EQ(below, expected);
    ASSERT_EQ(run_table.count(), 1);
    EXPECT_EQ(run_table.records[0].full_path, "R:\\run");
    EXPECT_EQ(engine().progress.fmove_point.load(), 1);
    clear_folder_table(run_table);
}

// A tree of many folders takes long to walk. The display answers while it
// walks (a window that does not answer is offered to the user to be ended),
// and can be closed before the walk ends.
TEST_F(ListEdit, FolderDisplayAnswersWhileItWalksAndClosesBeforeTheEnd)
{
    TempDir dir;
    make_wide_tree(dir.path(), 80, 100);
    add_rows({{"*.*", dir.path(), "D:\\d"}});
    select_rows({0});
    bool answered = false;
    int rows_then = -1;
    std::thread user = operate_titled("各フォルダー表示", [&](HWND dialog) {
        DWORD_PTR result = 0;
        answered = SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result) != 0;
        rows_then = static_cast<int>(SendDlgItemMessageA(dialog, IDC_FOLDER_LIST, LVM_GETITEMCOUNT, 0, 0));
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    });
    on_command(IDM_SHOW_FOLDER);
    user.join();
    EXPECT_TRUE(answered);
    EXPECT_EQ(rows_then, 0) << "the walk of 8,081 folders had ended";
}

// The walk's warning (here: folders whose paths would pass 259 bytes) is
// owned by the folder display that walks, not by the main window behind it.
TEST_F(ListEdit, FolderDisplaysWalkWarningIsOwnedByTheDisplay)
{
    TempDir dir;
    std::string longer = dir / std::string(250 - dir.path().size(), 'L');
    make_folder(longer);
    make_long_folder(longer + "\\" + std::string(20, 'T'));
    add_rows({{"*.*", dir.path(), "D:\\d"}});
    select_rows({0});
    HWND box_owner = nullptr, display = nullptr;
    std::string text;
    std::thread user = operate_titled("エラー", [&](HWND box) {
        box_owner = GetWindow(box, GW_OWNER);
        text = field(box, 0xFFFF);
        press(box, IDOK);
        for (int i = 0; i < 500 && !display; ++i, Sleep(20))
            display = FindWindowA("#32770", "各フォルダー表示");
        PostMessageA(display, WM_CLOSE, 0, 0);
    });
    on_command(IDM_SHOW_FOLDER);
    user.join();
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(box_owner, display);
    EXPECT_NE(text.find("1個"), std::string::npos) << text;
}

TEST_F(ListEdit, AddAllAppendsTheTopLevelOfTheChosenSource)
{
    DriveRootDir source("list-edit-s"), destination("list-edit-d");
    make_folder(source / "a\\deep");
    make_folder(source / "b");
    write_file(source / "x.txt", "x");
    write_file(source / ".profile", "p");
    write_file(source / "a\\deep\\y.txt", "y");
    struct Case { bool second_confirmed; int rows_added; } cases[] = {{true, 3}, {false, 0}};
    for (const auto& c : cases) {
        list_clear(engine().list);
        add_rows({{"keep.txt", "C:\\k", "D:\\k"}});
        Settings& settings = engine().settings;
        copy_field(settings.temp_foler_a1, source.path().c_str());
        copy_field(settings.temp_foler_a2, destination.path().c_str());
        DWORD ui_thread = GetCurrentThreadId();
        std::thread user = operate(folder_browser("転送元のフォルダの指定（全）", ui_thread), [&](HWND browser) {
            answer_browser(browser, source.path(), true);
            std::thread second = operate(folder_browser("転送先のフォルダの指定", ui_thread), [&](HWND next) {
                answer_browser(next, destination.path(), c.second_confirmed);
            }, "destination browser");
            second.join();
        }, "source browser");
        on_command(IDM_ADD_ALL);
        user.join();
        ASSERT_EQ(row_count(), 1 + c.rows_added);
        std::vector<std::vector<std::string>> added;
        for (int i = 1; i < row_count(); ++i)
            added.push_back(row(i));
        std::sort(added.begin(), added.end());
        std::vector<std::vector<std::string>> expected;
        if (c.rows_added > 0)
            expected = {{"*.*", source / "a", destination / "a"},
                        {"*.*", source / "b", destination / "b"},
                        {"x.txt", source.path(), destination.path()}};
        EXPECT_EQ(added, expected);
        expect_reset();
    }
}


// Add all over names code page 932 cannot hold: such an item gets its row
// under its short name; without one it gets none, and the user is told.
TEST_F(ListEdit, AddAllTakesNamesTheCodePageCannotHoldByTheirShortNames)
{
    // The tree directly below the drive's root: only there does Wine's
    // system folder browser select a remembered folder reliably; two levels
    // down its tree now and then never showed the folder within 30 s.
    DriveRootDir base("u"), destination("e");
    UnheldNamesTree tree(base.path());
    SeamsReset seams;
    for (bool short_names : {true, false}) {
        std::vector<std::vector<std::string>> expected = {{"cafe.txt", tree.source, destination.path()},
                                                          {"plain.txt", tree.source, destination.path()}};
        for (const UnheldNamesTree::File& f : tree.files) {
            std::size_t cut = f.relative.find(L'\\');
            std::string path = UnheldNamesTree::reached_path(tree.source, f.relative.substr(0, cut));
            std::string name = path.substr(tree.source.size() + 1);
            if (short_names && name.find('~') != std::string::npos) {
                if (cut == std::wstring::npos)
                    expected.push_back({name, tree.source, destination.path()});
                else
                    expected.push_back({"*.*", path, destination / name});
            }
        }
        std::sort(expected.begin(), expected.end());
        list_clear(engine().list);
        Settings& settings = engine().settings;
        copy_field(settings.temp_foler_a1, tree.source.c_str());
        copy_field(settings.temp_foler_a2, destination.path().c_str());
        base_seams().hide_short_names = !short_names;
        DWORD ui_thread = GetCurrentThreadId();
        std::string told;
        std::thread user = operate(folder_browser("転送元のフォルダの指定（全）", ui_thread), [&](HWND browser) {
            answer_browser(browser, tree.source, true);
            std::thread second = operate(folder_browser("転送先のフォルダの指定", ui_thread), [&](HWND next) {
                answer_browser(next, destination.path(), true);
            }, "destination browser");
            second.join();
            if (short_names)
                return;
            std::thread box = operate_titled("オール追加", [&](HWND found) {
                told = field(found, 0xFFFF);
                PostMessageA(found, WM_COMMAND, IDOK, 0);
            });
            box.join();
        }, "source browser");
        on_command(IDM_ADD_ALL);
        user.join();
        base_seams().hide_short_names = false;
        std::vector<std::vector<std::string>> added;
        for (int i = 0; i < row_count(); ++i)
            added.push_back(row(i));
        std::sort(added.begin(), added.end());
        EXPECT_EQ(added, expected) << short_names;
        EXPECT_EQ(told.empty(), short_names) << told;
    }
}

}  // namespace
