// The resources as the program loads them: menus with every item and
// id, the main window's two dialogs, the icons, and every text of every
// dialog whole in the fonts the prefix maps.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "app/main_window.h"
#include "dialogs/notices_win.h"
#include "dialogs/settings_dialog_win.h"
#include "engine/run_state.h"
#include "engine/settings_table.h"
#include "resources/resource.h"
#include "tests/wine/support.h"

namespace {

// One line per item, in menu order: the text and id, "-" for a separator,
// and for a popup its text, "{", its items and "}".
void flatten(HMENU menu, std::vector<std::string>& out)
{
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
        char text[128] = {};
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        HMENU sub = GetSubMenu(menu, i);
        if (sub != nullptr) {
            out.push_back(std::string(text) + " {");
            flatten(sub, out);
            out.push_back("}");
        } else if (GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR) {
            out.push_back("-");
        } else {
            out.push_back(std::string(text) + " " + std::to_string(GetMenuItemID(menu, i)));
        }
    }
}

std::vector<std::string> load_menu_lines(int id)
{
    HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
    std::vector<std::string> lines;
    if (menu != nullptr) {
        flatten(menu, lines);
        DestroyMenu(menu);
    }
    return lines;
}

std::vector<std::string> child_texts(HWND dialog)
{
    std::vector<std::string> texts;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        char text[256] = {};
        GetWindowTextA(child, text, sizeof text);
        texts.push_back(text);
    }
    return texts;
}

INT_PTR CALLBACK inert_proc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

class AppResources : public ::testing::Test {
protected:
    void SetUp() override { app().instance = GetModuleHandleA(nullptr); }
};

TEST_F(AppResources, MainMenuHoldsEveryItemWithItsId)
{
    const std::vector<std::string> expected = {
        "ファイル(&F) {", "新規作成(&N) 101", "開く(&O) 102", "上書き保存(&S) 103", "名前を付けて保存(&A) 104",
        "終了(&X) 142", "}",
        "BackUP(&B) {", "待機BackUP開始(&S) 111", "BackUP停止(&P) 112", "連続BackUP開始(&B) 37827",
        "一時停止を終了(&E) 37832", "待機と連続の説明(&H) 37830", "報告を開く(&R) 37834", "ファイルの復元(&G) 37835",
        "タクスバー(&T) 141", "}",
        "リスト編集(&S) {", "選択追加(&L) 37829", "１項目編集(&E) {", "新規作成(&N) 121", "編集(&E) 122",
        "削除(&D) 123", "複製(&C) 124", "貼り付け(&P) 125", "新規貼り付け(&I) 126", "}", "オール追加(&I) 37826", "-",
        "Ber非選択(&S) 37828", "フォルダ表示(&F) 127", "}",
        "環境設定(&K) {", "環境設定(&K) 151", "環境設定初期化(&I) 37833", "現在値クリア(&C) 152",
        "FIle名表示(&I) 37831", "}",
        "ﾍﾙﾌﾟ(&H) {", "ﾍﾙﾌﾟ(&W) 131", "Alder-Worksのホームページ(&H) 132", "このソフトについて(&S) 133", "}",
    };
    EXPECT_EQ(load_menu_lines(IDM_MAIN), expected);
}

TEST_F(AppResources, TrayMenuHoldsRestoreAndExit)
{
    const std::vector<std::string> expected = {"タスクトレー {", "タスクトレーから出す 191", "ファイルの復元 193", "終了 192", "}"};
    EXPECT_EQ(load_menu_lines(IDM_TRAY), expected);
}

TEST_F(AppResources, AutoStartNoticeHasFiveTextsNoButtonAndNoSystemMenu)
{
    HWND notice = CreateDialogParamA(app().instance, MAKEINTRESOURCEA(IDD_AUTO_START), nullptr, inert_proc, 0);
    ASSERT_NE(notice, nullptr);
    char caption[64] = {};
    GetWindowTextA(notice, caption, sizeof caption);
    EXPECT_STREQ(caption, "Quillsave");
    LONG style = GetWindowLongA(notice, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_FALSE(style & WS_SYSMENU) << "the user cannot close the notice";
    const std::vector<std::string> expected = {
        "Ｑｕｉｌｌｓａｖｅ　ＨＤＤバックアップソフト",
        "データーのバックアップを起開始します。",
        "設定された場所から場所へコピーします。",
        "自動スタートのためこの画面を表示します。",
        "終了させる場合は、タスクトレイから終了出来ます。",
    };
    EXPECT_EQ(child_texts(notice), expected);
    RECT units = {0, 0, 172, 84};
    MapDialogRect(notice, &units);
    RECT client = {};
    GetClientRect(notice, &client);
    EXPECT_EQ(client.right, units.right);
    EXPECT_EQ(client.bottom, units.bottom);
    DestroyWindow(notice);
}

// The notice ends by itself: the start of the program waits for it.
TEST_F(AppResources, AutoStartNoticeClosesItselfAfterThreeSeconds)
{
    DWORD start = GetTickCount();
    show_auto_start_notice(nullptr);
    EXPECT_GE(GetTickCount() - start, 2500u) << "the notice stays about 3 seconds";
}

TEST_F(AppResources, ThreadWaitDialogOpensModelessAndCloses)
{
    open_thread_wait_dialog(nullptr);
    HWND wait = app().wait_dialog;
    ASSERT_NE(wait, nullptr);
    EXPECT_TRUE(IsWindowVisible(wait));
    char caption[32] = {};
    GetWindowTextA(wait, caption, sizeof caption);
    EXPECT_STREQ(caption, "Thread");
    EXPECT_FALSE(GetWindowLongA(wait, GWL_STYLE) & WS_SYSMENU);
    char text[64] = {};
    GetDlgItemTextA(wait, IDC_WAIT_TITLE, text, sizeof text);
    EXPECT_STREQ(text, "スレッド終了処理中");
    GetDlgItemTextA(wait, IDC_WAIT_SLEEP, text, sizeof text);
    EXPECT_STREQ(text, "Sleep待ち");
    GetDlgItemTextA(wait, IDC_WAIT_PLEASE, text, sizeof text);
    EXPECT_STREQ(text, "しばらくお待ちください");
    close_thread_wait_dialog();
    EXPECT_FALSE(IsWindow(wait));
    EXPECT_EQ(app().wait_dialog, nullptr);
}

// Room a control leaves its text: all of a static, a check or radio button
// less its box, a push button less its edges; 0 for controls without a
// caption to read (frames, pictures, group boxes, edits).
int text_room(HWND control)
{
    char name[32] = {};
    GetClassNameA(control, name, sizeof name);
    LONG style = GetWindowLongA(control, GWL_STYLE);
    RECT client = {};
    GetClientRect(control, &client);
    if (lstrcmpiA(name, "Static") == 0) {
        LONG type = style & SS_TYPEMASK;
        return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_LEFTNOWORDWRAP ? client.right : 0;
    }
    if (lstrcmpiA(name, "Button") == 0) {
        LONG type = style & BS_TYPEMASK;
        if (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX || type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON)
            return client.right - GetSystemMetrics(SM_CXMENUCHECK) - 4;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
            return client.right - 2 * GetSystemMetrics(SM_CXEDGE);
    }
    return 0;
}

// A label that does not fit wraps out of its one line or loses its end:
// what the user reads as "Dataｻｲ" for "Dataｻｲｽﾞ".
TEST_F(AppResources, EveryCaptionOfEveryDialogFitsItsControl)
{
    for (int id : {IDD_ENTRY_EDIT, IDD_ABOUT, IDD_SETTINGS, IDD_FOLDER_DISPLAY, IDD_MODE_HELP, IDD_THREAD_WAIT,
                   IDD_COPY_NAMES, IDD_AUTO_START, IDD_FOLDER_SELECT, IDD_RESTORE}) {
        HWND dialog = CreateDialogParamA(app().instance, MAKEINTRESOURCEA(id), nullptr, inert_proc, 0);
        ASSERT_NE(dialog, nullptr) << id;
        for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            char text[256] = {};
            GetWindowTextA(child, text, sizeof text);
            int room = text_room(child);
            if (text[0] != 0 && room > 0) {
                EXPECT_LE(text_width(child, text), room) << "dialog " << id << ": " << text;
            }
        }
        DestroyWindow(dialog);
    }
}

// The settings dialog's boxes show their longest item whole ("120sec").
TEST_F(AppResources, SettingsBoxesShowTheirLongestItemWhole)
{
    HWND dialog = CreateDialogParamA(app().instance, MAKEINTRESOURCEA(IDD_SETTINGS), nullptr, inert_proc, 0);
    ASSERT_NE(dialog, nullptr);
    Settings settings{};
    ProgressState progress;
    reset_settings(settings, progress);
    auto expect_items_whole = [&](const BoxControl& b) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetComboBoxInfo(GetDlgItem(dialog, b.id), &info)) << b.id;
        for (const std::string& item : settings_box_items(b.box, settings))
            EXPECT_LE(text_width(info.hwndItem, item), info.rcItem.right - info.rcItem.left) << item;
    };
    for (const BoxControl& b : kTransferBoxes)
        expect_items_whole(b);
    for (const BoxControl& b : kScheduleBoxes)
        expect_items_whole(b);
    DestroyWindow(dialog);
}

TEST_F(AppResources, IdleAndRunningIconsDiffer)
{
    HICON idle = LoadIconA(app().instance, MAKEINTRESOURCEA(IDI_IDLE));
    HICON running = LoadIconA(app().instance, MAKEINTRESOURCEA(IDI_RUNNING));
    ASSERT_NE(idle, nullptr);
    ASSERT_NE(running, nullptr);
    EXPECT_NE(idle, running);
}

}  // namespace
