// Drives the real quillsave.exe from outside, as a user would: starts it in
// a working folder of its own, finds its windows, posts commands, reads its
// status bar and list cells, and waits for it to end.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/wine/support.h"

// One running quillsave.exe. The destructor ends a process the test left
// running, so a failed test does not leave windows behind.
class Quillsave {
public:
    // program: the Windows path of the quillsave.exe to start; empty for
    // the one of this build.
    Quillsave(const std::string& working_folder, const std::string& arguments, const std::string& program = "");
    ~Quillsave();
    Quillsave(const Quillsave&) = delete;
    Quillsave& operator=(const Quillsave&) = delete;

    bool started() const { return process_.hProcess != nullptr; }
    // The main window (class "Main Window") of this process, or null.
    HWND main_window() const;
    // A dialog or message box of this process with this title (nullptr when
    // none): the first one for which accept holds.
    HWND dialog(const char* title, const std::function<bool(HWND)>& accept = nullptr) const;
    // Waits for the end of the process; its exit code, or -1 on time-out.
    int wait_exit(DWORD timeout_ms);
    // A popup menu of this process on screen, or null.
    HWND visible_menu() const;
    bool exited() const;
    DWORD id() const { return process_.dwProcessId; }
    // As Windows ends a program after the end of the session: the program
    // has grace_ms to end by itself, then the process is ended. Its exit
    // code.
    int ended_as_windows_does(DWORD grace_ms);

private:
    PROCESS_INFORMATION process_{};
};

// An environment variable of the programs a test starts (they inherit the
// test's environment), gone again when the test ends. The program reads its
// test seams from these (app/test_seams.cpp).
class ProgramVariable {
public:
    ProgramVariable(const char* name, const std::string& value) : name_(name)
    {
        SetEnvironmentVariableA(name, value.c_str());
    }
    ~ProgramVariable() { SetEnvironmentVariableA(name_, nullptr); }
    ProgramVariable(const ProgramVariable&) = delete;
    ProgramVariable& operator=(const ProgramVariable&) = delete;

private:
    const char* name_;
};

// The program with the seams that ProgramVariable's variables act on;
// quillsave.exe itself has none.
std::string seams_program();

// Waits for a window to appear or go, and for the program to end.
constexpr DWORD kWindowWait = 20000;
constexpr DWORD kExitWait = 60000;
// What a program gets, once the end of the session has reached it, before
// it is ended: about what Windows allows.
constexpr DWORD kSessionGrace = 5000;

// The start question (a "Quillsave" box with a No button), or null.
HWND find_question(const Quillsave& program);
// Answers the start question with Yes; the visible main window, or null.
HWND start_with_yes(const Quillsave& program);
// A program started in a folder of its own whose list is one row ("*.*",
// src to dst) and whose set.ini holds these settings, the start question
// answered with Yes; main is null when its window did not come.
struct OneRowProgram {
    explicit OneRowProgram(const std::string& settings);
    TempDir dir;
    Quillsave program;
    HWND main;
};
// "終了(&X)" of the File menu; the program's exit code, or -1.
int end_by_menu(Quillsave& program, HWND main_window);

// Polls the condition every 100 ms until it holds or the time is up.
bool wait_until(const std::function<bool()>& condition, DWORD timeout_ms);

// Waits for the system folder browser with this prompt to select the folder
// it was opened on (an OK before that would confirm the desktop), then
// confirms it.
void confirm_browser(const Quillsave& program, const std::string& prompt, const std::string& folder);

// Texts of another process's status bar part and list view cell, read
// through memory of that process (the pointers of these messages are not
// carried across processes).
std::string status_text(HWND main_window, int part);
std::string list_cell(HWND main_window, int row, int column);
int list_row_count(HWND main_window);
// The same for any list view of the program, and a row of it selected.
std::string list_view_cell(HWND view, int row, int column);
void select_list_row(HWND view, int row);
// The text of a tree view's selected item (that of the system folder
// browser), or "" while none is selected.
std::string tree_view_selection(HWND tree);

// Ends the Windows session as a shutdown does (wineboot --end-session
// --shutdown --force), which sends WM_QUERYENDSESSION and WM_ENDSESSION to
// every top-level window; true when wineboot ran and returned.
bool end_windows_session();

// The shell's tray, from another process, by the icon's window and id
// (901): whether the icon is there (NIM_MODIFY without changes succeeds
// only then), and the icon removed as a restart of the shell loses it.
bool tray_icon_exists(HWND main_window);
bool delete_tray_icon(HWND main_window);
// "TaskbarCreated" to every top-level window, as a shell that starts sends it.
void broadcast_taskbar_created();

// Posts a menu or tray command to the main window.
void post_command(HWND main_window, int id);
// The tray icon's notification of a mouse message (WM_LBUTTONDBLCLK, ...).
void post_tray_mouse(HWND main_window, UINT mouse_message);
// Opens the tray menu by a right click on the icon and chooses its item at
// this index with the keyboard.
bool choose_tray_menu_item(const Quillsave& program, HWND main_window, int index);
// The tray menu's items by index: タスクトレーから出す, ファイルの復元, 終了.
constexpr int kTrayShowItem = 0;
constexpr int kTrayExitItem = 2;
// A message box button, as a click on it would.
void click_button(HWND box, int button_id);
// The text of a message box (its static text).
std::string message_box_text(HWND box);

// The 28 lines of set.ini with the program's defaults, the given keys
// replaced by their values.
std::string settings_file(const std::vector<std::pair<std::string, std::string>>& values);
// The value of a key in a set.ini text, or "<none>".
std::string settings_value(const std::string& file, const std::string& key);
// One list line: five cells, each followed by ",", then CR LF.
std::string list_line(const std::string& name, const std::string& source, const std::string& destination,
                      const std::string& file_status = "未", const std::string& folder_status = "未");
