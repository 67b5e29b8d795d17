// The gallery's driver (tools/gallery): drives the real quillsave.exe through
// every window it has and asks the script for a screenshot of each. A shot
// is asked for by writing "name left top right bottom" into the request
// file; the script takes it and removes the file. A window that does not
// appear within its time is left out and the next one taken.
//   gallery_driver.exe <request file> <working folder>
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "resources/resource.h"
#include "tests/e2e/harness.h"
#include "tests/wine/support.h"

namespace {

std::string request_file;

// The driver's notes go beside the request file: a program started by
// Wine's desktop has no output of its own to write to.
void note(const char* name, const char* what)
{
    std::string log = request_file + ".log";
    if (FILE* f = std::fopen(log.c_str(), "a")) {
        std::fprintf(f, "%s %s\n", name, what);
        std::fclose(f);
    }
}

// Asks for a picture of the window and waits until it has been taken. A
// window whose thread is blocked (the thread wait dialog) is taken as it
// is: a repaint asked of it would wait for the thread.
void shot(const char* name, HWND window, bool repaint = true)
{
    if (window == nullptr) {
        note(name, "did not appear, left out");
        return;
    }
    if (repaint) {
        SetForegroundWindow(window);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(700);  // the window's own paints come first
    }
    RECT r;
    GetWindowRect(window, &r);
    std::string partial = request_file + ".new";
    FILE* f = std::fopen(partial.c_str(), "w");
    if (f == nullptr)
        return;
    std::fprintf(f, "%s %ld %ld %ld %ld\n", name, r.left, r.top, r.right, r.bottom);
    std::fclose(f);
    MoveFileA(partial.c_str(), request_file.c_str());
    wait_until([] { return GetFileAttributesA(request_file.c_str()) == INVALID_FILE_ATTRIBUTES; }, 30000);
    note(name, "taken");
}

HWND wait_dialog(const Quillsave& program, const char* title, DWORD ms = kWindowWait)
{
    HWND found = nullptr;
    wait_until([&] { return (found = program.dialog(title)) != nullptr && IsWindowVisible(found); }, ms);
    return found;
}

void close_dialog(HWND dialog, int button)
{
    if (dialog == nullptr)
        return;
    if (button != 0)
        PostMessageA(dialog, WM_COMMAND, button, 0);
    else
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    wait_until([&] { return !IsWindow(dialog); }, kWindowWait);
}

// A dialog opened by a menu command: its picture, then it is closed.
void command_shot(const Quillsave& program, HWND main, int command, const char* title, const char* name,
                  int close_button, DWORD wait_ms = kWindowWait)
{
    post_command(main, command);
    HWND dialog = wait_dialog(program, title, wait_ms);
    shot(name, dialog);
    close_dialog(dialog, close_button);
}

// Selects the first row of another process's list view: the item record
// must live in that process.
void select_first_row(HWND main)
{
    HWND list = FindWindowExA(main, nullptr, WC_LISTVIEWA, nullptr);
    DWORD process = 0;
    GetWindowThreadProcessId(list, &process);
    HANDLE h = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, process);
    if (h == nullptr)
        return;
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    void* remote = VirtualAllocEx(h, nullptr, sizeof item, MEM_COMMIT, PAGE_READWRITE);
    WriteProcessMemory(h, remote, &item, sizeof item, nullptr);
    SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(remote));
    VirtualFreeEx(h, remote, 0, MEM_RELEASE);
    CloseHandle(h);
}

// The very first start, in a folder with no list yet: the program says so
// before it asks its question.
void start_without_a_list(const std::string& folder)
{
    make_folder(folder);
    Quillsave program(folder, "");
    HWND box = nullptr;
    wait_until([&] { return (box = program.dialog("CreateFile")) != nullptr && IsWindowVisible(box); }, 60000);
    shot("first-start-no-list", box);
    close_dialog(box, IDOK);
    HWND main = start_with_yes(program);
    if (main == nullptr)
        return;
    // Before any run there is no report to open yet.
    command_shot(program, main, IDM_OPEN_REPORT, "報告を開く", "report-none", IDOK);
    end_by_menu(program, main);
}

// Windows' folder browser, opened by a "..." button of the entry edit.
void folder_browser_shot(const Quillsave& program, HWND main)
{
    post_command(main, IDM_ENTRY_NEW);
    HWND entry = wait_dialog(program, "BackUPファイル設定");
    if (entry == nullptr)
        return;
    PostMessageA(entry, WM_COMMAND, MAKEWPARAM(IDC_ENTRY_BROWSE_SOURCE, BN_CLICKED), 0);
    HWND browser = nullptr;
    wait_until([&] {
        browser = program.dialog(nullptr, [](HWND w) { return has_child_text(w, "フォルダの指定"); });
        return browser != nullptr && IsWindowVisible(browser);
    }, kWindowWait);
    shot("folder-browser", browser);
    close_dialog(browser, IDCANCEL);
    close_dialog(entry, IDC_ENTRY_CANCEL);
}

// The tray icon's menu, opened by a right click on the icon.
void tray_menu_shot(const Quillsave& program, HWND main)
{
    post_command(main, IDM_TO_TRAY);
    wait_until([&] { return !IsWindowVisible(main); }, kWindowWait);
    post_tray_mouse(main, WM_RBUTTONDOWN);
    HWND menu = nullptr;
    wait_until([&] { return (menu = program.visible_menu()) != nullptr; }, kWindowWait);
    Sleep(700);
    shot("tray-menu", menu, false);
    PostMessageA(main, WM_KEYDOWN, VK_ESCAPE, 0);
    wait_until([&] { return program.visible_menu() == nullptr; }, kWindowWait);
    post_tray_mouse(main, WM_LBUTTONDBLCLK);
    wait_until([&] { return IsWindowVisible(main) != FALSE; }, kWindowWait);
}

// The restore window on the photos' entry (the list's second row), at its
// root, then inside its folder with one photo's versions listed.
void restore_window_shots(const Quillsave& program, HWND main)
{
    select_list_row(FindWindowExA(main, nullptr, WC_LISTVIEWA, nullptr), 1);
    post_command(main, IDM_RESTORE);
    HWND window = wait_dialog(program, "ファイルの復元");
    shot("restore-window", window);
    if (window == nullptr)
        return;
    HWND files = GetDlgItem(window, IDC_RESTORE_FILES);
    select_list_row(files, 0);
    PostMessageA(files, WM_KEYDOWN, VK_RETURN, 1);
    wait_until([&] { return list_view_cell(files, 0, 0) == ".."; }, kWindowWait);
    select_list_row(files, 1);
    wait_until([&] { return list_view_cell(GetDlgItem(window, IDC_RESTORE_VERSIONS), 0, 0) != ""; }, kWindowWait);
    shot("restore-window-versions", window);
    close_dialog(window, IDCANCEL);
}

// What OK says of the settings dialog's boxes, over it.
HWND answer_to_ok(const Quillsave& program, HWND dialog)
{
    PostMessageA(dialog, WM_COMMAND, IDC_SET_OK, 0);
    HWND box = nullptr;
    wait_until([&] {
        box = program.dialog("環境設定", [&](HWND w) { return w != dialog; });
        return box != nullptr && IsWindowVisible(box);
    }, kWindowWait);
    return box;
}

HWND days_box_answer(const Quillsave& program, HWND dialog, const char* days)
{
    SetDlgItemTextA(dialog, IDC_SET_VERSION_DAYS, days);
    return answer_to_ok(program, dialog);
}

// A text that is no number is refused; fewer days ask how many old
// versions the next pass removes. Cancel keeps the settings as they were.
void days_box_shots(const Quillsave& program, HWND main)
{
    post_command(main, IDM_SETTINGS);
    HWND dialog = wait_dialog(program, "環境設定");
    if (dialog == nullptr)
        return;
    HWND refused = days_box_answer(program, dialog, "abc");
    shot("dialog3-days-refused", refused);
    close_dialog(refused, IDOK);
    HWND question = days_box_answer(program, dialog, "7日");
    shot("dialog3-versions-question", question);
    close_dialog(question, IDNO);
    // Patterns with an empty one between: refused, the dialog stays.
    SetDlgItemTextA(dialog, IDC_SET_VERSION_DAYS, "30日");
    SetDlgItemTextA(dialog, IDC_SET_EXCLUDE, "*.tmp;;node_modules");
    HWND exclusions = answer_to_ok(program, dialog);
    shot("dialog3-exclude-refused", exclusions);
    close_dialog(exclusions, IDOK);
    close_dialog(dialog, IDC_SET_CANCEL);
}

void first_start(const std::string& work)
{
    Quillsave program(work, "");
    HWND question = nullptr;
    wait_until([&] { return (question = find_question(program)) != nullptr; }, 60000);
    shot("start-question", question);
    HWND main = start_with_yes(program);
    if (main == nullptr)
        return;

    post_command(main, IDM_START_STANDBY);
    Sleep(4000);
    command_shot(program, main, IDM_COPY_NAMES, "コピーファイル名", "dialog7-copy-names", 0);
    shot("main-run", main);
    post_command(main, IDM_STOP);
    wait_until([&] { return status_text(main, 3) == "停止中"; }, kWindowWait);

    command_shot(program, main, IDM_ABOUT, "このソフトについて", "dialog2-about", IDC_ABOUT_OK);
    command_shot(program, main, IDM_MODE_HELP, "Quillsaveの説明", "dialog5-mode-help", IDC_MODE_CLOSE);
    command_shot(program, main, IDM_ENTRY_NEW, "BackUPファイル設定", "dialog1-entry-edit", IDC_ENTRY_CANCEL);
    folder_browser_shot(program, main);
    // The settings as a new user finds them: the run above paced itself
    // faster than the defaults to be seen going.
    post_command(main, IDM_RESET_SETTINGS);
    command_shot(program, main, IDM_SETTINGS, "環境設定", "dialog3-settings", IDC_SET_CANCEL);
    days_box_shots(program, main);
    restore_window_shots(program, main);
    select_first_row(main);
    command_shot(program, main, IDM_SHOW_FOLDER, "各フォルダー表示", "dialog4-folder-display", 0);
    command_shot(program, main, IDM_FILE_SAVE_AS, "ファイル書込", "save-dialog", IDCANCEL);
    // Opening a list over one that has rows asks first.
    post_command(main, IDM_FILE_OPEN);
    HWND ask = wait_dialog(program, "ファイル読出");
    shot("open-question", ask);
    if (ask != nullptr)
        click_button(ask, IDYES);
    wait_until([&] { return ask == nullptr || !IsWindow(ask); }, kWindowWait);
    HWND open = wait_dialog(program, "ファイル読出");
    shot("open-dialog", open);
    close_dialog(open, IDCANCEL);
    tray_menu_shot(program, main);
    // The folder selection asks for the destination first, then the
    // sources; both are closed unchanged.
    command_shot(program, main, IDM_ADD_SELECTED, "保存先のフォルダ選択", "dialog9-folder-select", 0, 8000);
    HWND sources = wait_dialog(program, "ソースのフォルダとファイル選択", 8000);
    shot("dialog9-folder-select-sources", sources);
    close_dialog(sources, 0);

    // The thread wait dialog shows while a stop waits for a copy that cannot
    // be cut short: the continuous run's system copy of the large file.
    post_command(main, IDM_START_CONTINUOUS);
    Sleep(1500);
    post_command(main, IDM_STOP);
    shot("dialog6-thread-wait", wait_dialog(program, "Thread", 10000), false);
    wait_until([&] { return status_text(main, 3) == "停止中"; }, 60000);
    end_by_menu(program, main);
}

// A pass that could not back up a file its program holds open without
// sharing: the entry's row ends with the count, and the status bar says it.
void pass_with_a_held_file(const std::string& work)
{
    std::string folder = work + "\\held";
    make_folder(folder + "\\src");
    write_file(folder + "\\src\\メール.pst", "mail");
    write_file(folder + "\\src\\文書.txt", "document");
    write_file(folder + "\\quillsave.ini", list_line("*.*", folder + "\\src", folder + "\\dst"));
    // A schedule never due (February 31st): the end of the list stops the run.
    write_file(folder + "\\set.ini",
               settings_file({{"set_t_mode", "1"}, {"set_t_mon", "1"}, {"set_t_mday", "31"}, {"start_time", "1"}}));
    HANDLE held = CreateFileA((folder + "\\src\\メール.pst").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    Quillsave program(folder, "");
    HWND main = start_with_yes(program);
    if (main != nullptr) {
        post_command(main, IDM_START_CONTINUOUS);
        wait_until([&] { return status_text(main, 4) != "by Alder-Works"; }, 30000);
        shot("main-not-backed-up", main);
        end_by_menu(program, main);
    }
    CloseHandle(held);
}

void automatic_start(const std::string& work)
{
    Quillsave program(work, "/B");
    HWND notice = nullptr;
    wait_until([&] {
        notice = program.dialog("Quillsave", [](HWND box) { return GetDlgItem(box, IDNO) == nullptr; });
        return notice != nullptr && IsWindowVisible(notice);
    }, 60000);
    shot("dialog8-auto-start", notice);
    wait_until([&] { return notice == nullptr || !IsWindow(notice); }, kWindowWait);
    HWND main = program.main_window();
    if (main != nullptr)
        end_by_menu(program, main);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::printf("usage: gallery_driver <request file> <working folder>\n");
        return 2;
    }
    request_file = argv[1];
    std::string work = argv[2];
    // Beside the working folder, so that the open dialog's picture of that
    // folder does not show it.
    start_without_a_list(work.substr(0, work.rfind('\\') + 1) + "はじめて");
    first_start(work);
    pass_with_a_held_file(work);
    automatic_start(work);
    note("gallery", "done");
    return 0;
}
