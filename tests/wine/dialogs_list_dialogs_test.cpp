// The open and save-as dialogs, driven from a second thread as a user would:
// found by their titles, a name typed into the file name box, OK or Cancel.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "base/workdir.h"
#include "dialogs/list_dialogs_win.h"
#include "tests/wine/support.h"

namespace {

// The file name box of an Explorer-style dialog is a combo box (cmb13) in
// newer templates and an edit (edt1) in older ones.
constexpr int kFileNameCombo = 0x47c;
constexpr int kFileNameEdit = 0x480;

BOOL CALLBACK cancel_window(HWND window, LPARAM)
{
    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

// Operates the dialog titled `title` once it appears: types `name` (when not
// null) and presses OK, or presses Cancel. A dialog that never appears under
// that title is closed by whatever window the dialog thread shows, so a
// wrong title fails the test instead of hanging it.
std::thread operate_dialog(const char* title, const char* name, DWORD dialog_thread)
{
    return std::thread([=] {
        HWND dialog = nullptr;
        for (int i = 0; i < 3000 && !dialog; ++i) {  // the first dialog of a new prefix is slow
            Sleep(20);
            dialog = FindWindowA(nullptr, title);
        }
        if (!dialog) {
            ADD_FAILURE() << "no dialog titled " << title;
            EnumThreadWindows(dialog_thread, cancel_window, 0);
            return;
        }
        if (!name) {
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        Sleep(100);  // let the dialog fill its controls first
        if (!SetDlgItemTextA(dialog, kFileNameCombo, name) && !SetDlgItemTextA(dialog, kFileNameEdit, name))
            ADD_FAILURE() << "no file name box";
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
}

}  // namespace

TEST(ListDialogs, CancelLeavesTheCurrentNameAlone)
{
    TempDir dir;
    WorkingDirectory workdir;
    copy_field(workdir.path, dir.path().c_str());
    char current[kFieldSize] = "C:\\keep.csv";
    struct Case { const char* title; bool (*choose)(HWND, const WorkingDirectory&, char (&)[kFieldSize], const Notifier&); } cases[] = {
        {"ファイル読出", choose_list_file_to_open},
        {"ファイル書込", choose_list_file_to_save},
    };
    for (const auto& c : cases) {
        std::thread driver = operate_dialog(c.title, nullptr, GetCurrentThreadId());
        EXPECT_FALSE(c.choose(nullptr, workdir, current, Notifier{})) << c.title;
        driver.join();
        EXPECT_STREQ(current, "C:\\keep.csv");
    }
}

TEST(ListDialogs, ChosenNamesAreForcedToCsvAtTheirLastDot)
{
    TempDir dir;
    WorkingDirectory workdir;
    copy_field(workdir.path, dir.path().c_str());
    write_file(dir / "backup.csv", "old\r\n");
    struct Case { const char* title; bool (*choose)(HWND, const WorkingDirectory&, char (&)[kFieldSize], const Notifier&); const char* typed; const char* chosen; } cases[] = {
        {"ファイル書込", choose_list_file_to_save, "backup.2016.csv", "backup.2016.csv"},
        {"ファイル書込", choose_list_file_to_save, "list", "list.csv"},
        {"ファイル読出", choose_list_file_to_open, "list.txt", "list.csv"},
    };
    for (const auto& c : cases) {
        char current[kFieldSize] = "";
        std::thread driver = operate_dialog(c.title, c.typed, GetCurrentThreadId());
        EXPECT_TRUE(c.choose(nullptr, workdir, current, Notifier{})) << c.typed;
        driver.join();
        EXPECT_STRCASEEQ(current, (dir / c.chosen).c_str()) << c.typed;
    }
    EXPECT_EQ(read_file(dir / "backup.csv"), "old\r\n");
}
