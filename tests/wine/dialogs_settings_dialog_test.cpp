// The settings dialog on a real window, driven from a second thread as a
// user would: found by its title, boxes typed into or chosen from, buttons
// checked, then OK, Cancel or the close box; the record tells what it kept.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "app/app.h"
#include "app/main_window.h"
#include "dialogs/settings_dialog_win.h"
#include "engine/run_state.h"
#include "engine/settings_table.h"
#include "resources/resource.h"

namespace {

constexpr int kScheduleBoxIds[] = {IDC_SET_MONTH, IDC_SET_DAY, IDC_SET_WEEKDAY, IDC_SET_HOUR, IDC_SET_MINUTE};
constexpr int kBoxIds[] = {IDC_SET_DATA_SIZE, IDC_SET_DATA_TIME, IDC_SET_START_TIME, IDC_SET_RESTART_TIME,
                           IDC_SET_ERROR_MODE, IDC_SET_MONTH, IDC_SET_DAY, IDC_SET_WEEKDAY,
                           IDC_SET_HOUR, IDC_SET_MINUTE};
constexpr int kRadioIds[] = {IDC_SET_YEARLY, IDC_SET_MONTHLY, IDC_SET_WEEKLY, IDC_SET_DAILY, IDC_SET_CONTINUOUS};
constexpr int kFlagIds[] = {IDC_SET_SHUTDOWN, IDC_SET_OVERWRITE, IDC_SET_NO_WAIT_DIALOG};

Settings defaults()
{
    Settings s{};
    ProgressState progress;
    reset_settings(s, progress);
    return s;
}

bool same_record(const Settings& a, const Settings& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// What the dialog showed when it opened.
struct Shown {
    std::vector<std::string> texts;  // of kBoxIds
    std::vector<bool> radios;        // of kRadioIds
    std::vector<bool> enabled;       // of kScheduleBoxIds
    std::vector<bool> flags;         // of kFlagIds
    int days = 0;
};

Shown observe(HWND dialog)
{
    Shown shown;
    for (int id : kBoxIds) {
        char text[64] = {};
        GetDlgItemTextA(dialog, id, text, sizeof text);
        shown.texts.push_back(text);
    }
    for (int id : kRadioIds)
        shown.radios.push_back(IsDlgButtonChecked(dialog, id) == BST_CHECKED);
    for (int id : kScheduleBoxIds)
        shown.enabled.push_back(IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE);
    for (int id : kFlagIds)
        shown.flags.push_back(IsDlgButtonChecked(dialog, id) == BST_CHECKED);
    shown.days = static_cast<int>(SendDlgItemMessageA(dialog, IDC_SET_DAY, CB_GETCOUNT, 0, 0));
    return shown;
}

BOOL CALLBACK close_window(HWND window, LPARAM)
{
    PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

// Waits for the dialog, lets `operate` work on it, then posts `message`
// (WM_COMMAND with `id`, or WM_CLOSE). A dialog that never appears, or
// stays open after the message, fails the test, and whatever the dialog
// thread shows instead is closed.
std::thread drive_dialog(std::function<void(HWND)> operate, UINT message, int id, DWORD dialog_thread)
{
    return std::thread([=] {
        HWND dialog = nullptr;
        for (int i = 0; i < 3000 && !(dialog && IsWindowVisible(dialog)); ++i) {  // a new prefix is slow
            Sleep(20);
            dialog = FindWindowA("#32770", "環境設定");
        }
        if (!dialog) {
            ADD_FAILURE() << "no dialog titled 環境設定";
            EnumThreadWindows(dialog_thread, close_window, 0);
            return;
        }
        SendMessageA(dialog, WM_NULL, 0, 0);  // returns once the dialog's own loop runs
        operate(dialog);
        PostMessageA(dialog, message, message == WM_COMMAND ? id : 0, 0);
        for (int i = 0; i < 500 && IsWindow(dialog); ++i)
            Sleep(20);
        if (IsWindow(dialog)) {
            ADD_FAILURE() << "the dialog stayed open";
            PostMessageA(dialog, WM_CLOSE, 0, 0);
        }
    });
}

// Checks one schedule button as a click would, and tells the dialog.
void click_schedule(HWND dialog, int id)
{
    for (int radio : kRadioIds)
        SendDlgItemMessageA(dialog, radio, BM_SETCHECK, radio == id ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

class SettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override { app().instance = GetModuleHandleA(nullptr); }
};

// Through the menu command, as the main window opens it.
TEST_F(SettingsDialogTest, CommandShowsTheDefaultsAndOkKeepsThem)
{
    Engine& e = engine();
    e.settings = defaults();
    Shown shown;
    std::thread driver = drive_dialog([&](HWND dialog) { shown = observe(dialog); }, WM_COMMAND, IDC_SET_OK,
                                      GetCurrentThreadId());
    on_command(IDM_SETTINGS);
    driver.join();
    const std::vector<std::string> texts = {"131072byte", "3sec", "120sec", "60sec", "1:一時停止",
                                            "2月", "1日", "月", "1時", "1分"};
    EXPECT_EQ(shown.texts, texts);
    EXPECT_EQ(shown.radios, (std::vector<bool>{false, false, false, false, true}));
    EXPECT_EQ(shown.enabled, std::vector<bool>(5, false));
    EXPECT_EQ(shown.flags, std::vector<bool>(3, false));
    EXPECT_EQ(shown.days, 29) << "February";
    EXPECT_TRUE(same_record(e.settings, defaults()));
}

// A command posted during a run, past the grayed menu item, must not open
// the dialog over a running worker; one that opens anyway is closed here.
TEST_F(SettingsDialogTest, CommandDoesNothingWhileARunIsActive)
{
    Engine& e = engine();
    e.settings = defaults();
    e.flags.running = 1;
    std::atomic<bool> opened{false};
    std::thread watcher([&] {
        for (int i = 0; i < 150 && !opened; ++i) {
            Sleep(20);
            HWND dialog = FindWindowA("#32770", "環境設定");
            if (dialog) {
                opened = true;
                PostMessageA(dialog, WM_CLOSE, 0, 0);
            }
        }
    });
    on_command(IDM_SETTINGS);
    watcher.join();
    e.flags.running = 0;
    EXPECT_FALSE(opened);
}

TEST_F(SettingsDialogTest, OkWritesChosenAndTypedValues)
{
    Settings settings = defaults();
    std::vector<bool> weekly_enabled, continuous_enabled;
    auto operate = [&](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_SET_DATA_SIZE, CB_SETCURSEL, 5, 0);  // "262144byte"
        SetDlgItemTextA(dialog, IDC_SET_DATA_TIME, "１０００");              // a bare number, kept to 60
        SetDlgItemTextA(dialog, IDC_SET_START_TIME, "-30sec");               // a timer needs a second
        SendDlgItemMessageA(dialog, IDC_SET_ERROR_MODE, CB_SETCURSEL, 3, 0);  // "3:EXE終了"
        click_schedule(dialog, IDC_SET_CONTINUOUS);
        continuous_enabled = observe(dialog).enabled;
        click_schedule(dialog, IDC_SET_WEEKLY);
        weekly_enabled = observe(dialog).enabled;
        SetDlgItemTextA(dialog, IDC_SET_MONTH, "13月");
        SendDlgItemMessageA(dialog, IDC_SET_WEEKDAY, CB_SETCURSEL, 4, 0);  // "金"
        SetDlgItemTextA(dialog, IDC_SET_HOUR, "24時");
        SetDlgItemTextA(dialog, IDC_SET_MINUTE, "30分");
        SendDlgItemMessageA(dialog, IDC_SET_SHUTDOWN, BM_SETCHECK, BST_CHECKED, 0);
        SendDlgItemMessageA(dialog, IDC_SET_NO_WAIT_DIALOG, BM_SETCHECK, BST_CHECKED, 0);
    };
    std::thread driver = drive_dialog(operate, WM_COMMAND, IDC_SET_OK, GetCurrentThreadId());
    EXPECT_EQ(show_settings_dialog(nullptr, settings), 1);
    driver.join();
    EXPECT_EQ(continuous_enabled, std::vector<bool>(5, false));
    EXPECT_EQ(weekly_enabled, (std::vector<bool>{false, false, true, true, true}));
    Settings expected = defaults();
    expected.data_size = 262144;
    expected.data_time = 60;
    expected.start_time = 1;
    expected.rw_error_mode = 3;
    expected.set_t_mode = 3;
    expected.set_t_mon = 0;
    expected.set_t_week = 5;
    expected.set_t_hour = 0;
    expected.set_t_min = 30;
    expected.shutdown_mode = 1;
    expected.thread_dialog_mode = 1;
    EXPECT_TRUE(same_record(settings, expected));
}

// A record with a schedule mode and an error mode the dialog has no button
// or item for: "連続" is checked with every box usable, "0:維持" shown.
// Cancel, the close box and Escape keep the record after changes; OK stores
// what was shown.
TEST_F(SettingsDialogTest, CancelAndCloseKeepTheRecordOkStoresWhatWasShown)
{
    Settings stored = defaults();
    stored.set_t_mode = 9;
    stored.rw_error_mode = 7;
    stored.set_t_mon = 3;  // April
    stored.conut_save_mode = 1;
    struct Case { const char* name; UINT message; int id; int set_t_mode; int rw_error_mode; } cases[] = {
        {"cancel", WM_COMMAND, IDC_SET_CANCEL, 9, 7},
        {"close box", WM_CLOSE, 0, 9, 7},
        {"escape", WM_COMMAND, IDCANCEL, 9, 7},
        {"ok", WM_COMMAND, IDC_SET_OK, 0, 0},
    };
    for (const auto& c : cases) {
        Settings settings = stored;
        Shown shown;
        bool change = c.id != IDC_SET_OK;
        auto operate = [&](HWND dialog) {
            shown = observe(dialog);
            if (change) {
                SetDlgItemTextA(dialog, IDC_SET_DATA_SIZE, "8192byte");
                click_schedule(dialog, IDC_SET_DAILY);
                SendDlgItemMessageA(dialog, IDC_SET_OVERWRITE, BM_SETCHECK, BST_UNCHECKED, 0);
            }
        };
        std::thread driver = drive_dialog(operate, c.message, c.id, GetCurrentThreadId());
        show_settings_dialog(nullptr, settings);
        driver.join();
        EXPECT_EQ(shown.radios, (std::vector<bool>{false, false, false, false, true})) << c.name;
        EXPECT_EQ(shown.enabled, std::vector<bool>(5, true)) << c.name;
        EXPECT_EQ(shown.texts[4], "0:維持") << c.name;
        EXPECT_EQ(shown.days, 30) << "April";
        EXPECT_EQ(shown.flags, (std::vector<bool>{false, true, false})) << c.name;
        Settings expected = stored;
        expected.set_t_mode = c.set_t_mode;
        expected.rw_error_mode = c.rw_error_mode;
        EXPECT_TRUE(same_record(settings, expected)) << c.name;
    }
}

// A box the dialog shows over itself, by the dialog's title; null when none
// comes.
HWND box_over(HWND dialog)
{
    for (int i = 0; i < 500; ++i) {
        HWND box = nullptr;
        while ((box = FindWindowExA(nullptr, box, "#32770", "環境設定")) != nullptr) {
            if (box != dialog && IsWindowVisible(box))
                return box;
        }
        Sleep(20);
    }
    return nullptr;
}

// Answers the box over the dialog; its text, "<none>" when none came.
std::string answer_box(HWND dialog, int button)
{
    HWND box = box_over(dialog);
    if (box == nullptr)
        return "<none>";
    char text[256] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    for (int i = 0; i < 500 && IsWindow(box); ++i)
        Sleep(20);
    return text;
}

// The control with the focus in the dialog's thread, as the combo box that
// holds the focused edit field.
HWND focused_box(HWND dialog)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    return info.hwndFocus ? GetParent(info.hwndFocus) : nullptr;
}

// A refused text and a "いいえ" keep the dialog open at their box with the
// record's value back in it; the versions are counted only for fewer days.
TEST_F(SettingsDialogTest, RefusedTextAndNoKeepTheDialogOpenAtTheBox)
{
    Settings settings = defaults();
    std::vector<int> counted;
    VersionsPast versions_past = [&](int days) {
        counted.push_back(days);
        return 2;
    };
    std::string refusal, question, size_after, days_after;
    HWND size_focus = nullptr, size_box = nullptr, days_focus = nullptr, days_box = nullptr;
    auto operate = [&](HWND dialog) {
        size_box = GetDlgItem(dialog, IDC_SET_DATA_SIZE);
        days_box = GetDlgItem(dialog, IDC_SET_VERSION_DAYS);
        SetDlgItemTextA(dialog, IDC_SET_DATA_SIZE, "abc");
        SetDlgItemTextA(dialog, IDC_SET_VERSION_DAYS, "7日");
        PostMessageA(dialog, WM_COMMAND, IDC_SET_OK, 0);
        refusal = answer_box(dialog, IDOK);
        size_after = observe(dialog).texts[0];
        size_focus = focused_box(dialog);
        PostMessageA(dialog, WM_COMMAND, IDC_SET_OK, 0);
        question = answer_box(dialog, IDNO);
        char text[64] = {};
        GetDlgItemTextA(dialog, IDC_SET_VERSION_DAYS, text, sizeof text);
        days_after = text;
        days_focus = focused_box(dialog);
        SetDlgItemTextA(dialog, IDC_SET_VERSION_DAYS, "６０日");
    };
    std::thread driver = drive_dialog(operate, WM_COMMAND, IDC_SET_OK, GetCurrentThreadId());
    show_settings_dialog(nullptr, settings, versions_past);
    driver.join();
    EXPECT_EQ(refusal, "「Dataｻｲｽﾞ」は数字で入れてください（例: 1048576byte）。");
    EXPECT_EQ(size_after, "131072byte");
    EXPECT_EQ(size_focus, size_box);
    EXPECT_EQ(question, "以前のバージョンを残す日数を7日にすると、\n以前のバージョンが2個消えます。\nよろしいですか？");
    EXPECT_EQ(days_after, "30日");
    EXPECT_EQ(days_focus, days_box);
    EXPECT_EQ(counted, std::vector<int>{7}) << "60 days asks nothing";
    Settings expected = defaults();
    expected.version_days = 60;
    EXPECT_TRUE(same_record(settings, expected));
}

std::string exclusions_text(HWND dialog)
{
    char text[kExclusionBoxText] = {};
    GetDlgItemTextA(dialog, IDC_SET_EXCLUDE, text, sizeof text);
    return text;
}

// Patterns OK cannot keep: the dialog stays open with the record as it
// was, says why, and has the pattern at fault selected in the box, so that
// what is typed replaces it.
TEST_F(SettingsDialogTest, RefusedPatternsKeepTheDialogOpenWithThePatternSelected)
{
    struct Case { const char* typed; const char* message; const char* retyped; } cases[] = {
        {"a;;b", "除外するものに空のパターンがあります。\r\n「;」の間に名前を書くか、「;」を消してください。", "a;X;b"},
        {"表;*.*;c", "「*.*」のようなパターンはすべてのファイルを除外します。\r\n名前の一部を書いてください。（例: *.tmp）",
         "表;X;c"},
    };
    const Settings stored = defaults();
    Settings settings = stored;
    std::vector<std::string> messages, retyped;
    std::vector<bool> focused, unchanged;
    auto operate = [&](HWND dialog) {
        HWND box = GetDlgItem(dialog, IDC_SET_EXCLUDE);
        for (const auto& c : cases) {
            SetDlgItemTextA(dialog, IDC_SET_DATA_SIZE, "8192byte");
            SetDlgItemTextA(dialog, IDC_SET_EXCLUDE, c.typed);
            PostMessageA(dialog, WM_COMMAND, IDC_SET_OK, 0);
            messages.push_back(answer_box(dialog, IDOK));
            SendMessageA(dialog, WM_NULL, 0, 0);  // OK has returned
            GUITHREADINFO info = {};
            info.cbSize = sizeof info;
            GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
            focused.push_back(info.hwndFocus == box);
            unchanged.push_back(same_record(settings, stored));
            SendMessageA(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("X"));
            retyped.push_back(exclusions_text(dialog));
        }
    };
    std::thread driver = drive_dialog(operate, WM_COMMAND, IDC_SET_CANCEL, GetCurrentThreadId());
    show_settings_dialog(nullptr, settings);
    driver.join();
    ASSERT_EQ(messages.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(messages[i], cases[i].message) << cases[i].typed;
        EXPECT_TRUE(focused[i]) << cases[i].typed;
        EXPECT_TRUE(unchanged[i]) << cases[i].typed;
        EXPECT_EQ(retyped[i], cases[i].retyped) << cases[i].typed;
    }
}

// The box shows the record's patterns; OK stores what is typed, an empty
// box as leaving out nothing.
TEST_F(SettingsDialogTest, OkStoresThePatternsAsTyped)
{
    for (const char* typed : {"*.tmp;node_modules", ""}) {
        Settings settings = defaults();
        std::string shown;
        auto operate = [&](HWND dialog) {
            shown = exclusions_text(dialog);
            SetDlgItemTextA(dialog, IDC_SET_EXCLUDE, typed);
        };
        std::thread driver = drive_dialog(operate, WM_COMMAND, IDC_SET_OK, GetCurrentThreadId());
        show_settings_dialog(nullptr, settings);
        driver.join();
        EXPECT_EQ(shown, kDefaultExclusions);
        Settings expected = defaults();
        std::memset(expected.exclude, 0, sizeof expected.exclude);
        copy_field(expected.exclude, typed);
        EXPECT_TRUE(same_record(settings, expected)) << typed;
    }
}

INT_PTR CALLBACK inert_proc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// Every control of the template with its text, in tab order; the number
// boxes take typed text.
TEST_F(SettingsDialogTest, TemplateHoldsTheControlsInTabOrder)
{
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETTINGS), nullptr, inert_proc, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(GetWindowLongA(dialog, GWL_STYLE) & DS_CONTEXTHELP);
    std::vector<std::string> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        char text[160] = {};
        GetWindowTextA(child, text, sizeof text);
        controls.push_back(std::to_string(GetDlgCtrlID(child)) + " " + text);
        char kind[32] = {};
        GetClassNameA(child, kind, sizeof kind);
        if (lstrcmpiA(kind, "ComboBox") == 0) {
            EXPECT_EQ(GetWindowLongA(child, GWL_STYLE) & 3, CBS_DROPDOWN) << controls.back();
        }
    }
    const std::vector<std::string> expected = {
        "122 待機BackUP開始時刻", "123 連続BackUP終了モード", "121 待機BackUPの転送方法", "111 OK",
        "112 キャンセル", "113 ヘルプ", "106 ", "108 Dataｻｲｽﾞ", "109 ", "110 Data転送間隔", "103 毎年", "104 毎月",
        "105 毎週", "114 毎日", "115 連続", "116 ", "117 ", "118 ", "119 ", "120 ",
        "124 BackUP終了後PCをシャットダウンする", "101 常に上書きする", "102 ", "107 初起動待ち時間", "127 ",
        "128 再起動待ち時間", "125 ", "126 エラー時処理", "130 ", "131 以前のバージョン",
        "129 スレッド終了処理中の表示をしない", "133 除外するもの", "132 ",
        "134 名前か、\\ を含むパスを「;」で区切って書きます。", "135 例: *.tmp;node_modules;AppData\\Local\\Temp",
    };
    EXPECT_EQ(controls, expected);
    DestroyWindow(dialog);
}

}  // namespace
