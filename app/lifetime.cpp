// The program's start and end around its four files: the claim of the
// working folder that keeps a second program off them, the files loaded at
// start, and the ends that write them back (the window destroyed, or the
// session of Windows ending).
#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <string>

#include "app/lifetime.h"
#include "app/app.h"
#include "app/main_window.h"
#include "app/seams.h"
#include "app/tray.h"
#include "base/fnv1a.h"
#include "base/handle_win.h"
#include "engine/worker.h"
#include "store/program_files.h"

namespace {

// Shared by every program started in one working folder; the first one
// publishes its main window there for the later starts.
struct FolderClaim {
    volatile LONG main_window;  // HandleToLong form, valid in every process
};

// Kept for the life of the process: the claim lasts as long as it runs.
FolderClaim* g_claim = nullptr;

// The folder as Windows compares paths: its long form (an 8.3 alias names
// the same folder), without a trailing separator, in upper case.
std::wstring folder_for_comparison(const wchar_t* folder)
{
    std::wstring path = folder;
    DWORD n = GetLongPathNameW(folder, nullptr, 0);
    if (n > 0) {
        std::wstring long_path(n, L'\0');
        n = GetLongPathNameW(folder, &long_path[0], n);
        if (n > 0 && n < long_path.size())
            path = long_path.substr(0, n);
    }
    while (path.size() > 3 && path.back() == L'\\')
        path.pop_back();
    if (!path.empty())
        CharUpperBuffW(&path[0], static_cast<DWORD>(path.size()));
    return path;
}

// A kernel object name may not hold "\" and is limited in length, so the
// folder is hashed (FNV-1a, 64 bits).
std::wstring claim_name(const std::wstring& folder)
{
    std::uint64_t hash = kFnv1aStart;
    for (wchar_t unit : folder)
        hash = fnv1a(hash, static_cast<std::uint16_t>(unit));
    wchar_t name[64];
    std::swprintf(name, 64, L"Local\\Quillsave-%08lx%08lx", static_cast<unsigned long>(hash >> 32),
                  static_cast<unsigned long>(hash & 0xFFFFFFFFu));
    return name;
}

std::wstring current_folder()
{
    DWORD n = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(n, L'\0');
    if (n == 0 || (n = GetCurrentDirectoryW(n, &folder[0])) == 0 || n >= folder.size())
        return std::wstring();
    folder.resize(n);
    return folder;
}

// A start without a switch is a user asking for the program: the running
// one shows its window. It may set the foreground only because this start,
// which the user just made, lets it.
void ask_running_program_to_show(const FolderClaim& claim)
{
    HWND window = static_cast<HWND>(LongToHandle(claim.main_window));
    if (window == nullptr || !IsWindow(window))
        return;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    AllowSetForegroundWindow(process);
    PostMessageA(window, kShowMessage, 0, 0);
}

// The end of every kind, once the worker has stopped or been given up: no
// timer may start a run or a power-off any more, and the four files are
// written in the order they were loaded.
void write_files_at_end(HWND window)
{
    KillTimer(window, kTickTimer);
    KillTimer(window, kStartUpTimer);
    KillTimer(window, kRestartTimer);
    save_program_files();
}

// A power-off that could not be made, in the report.
void report_power_off_not_made(DWORD error)
{
    write_report_line(engine(), format_event(report_now(), "電源オフできませんでした",
                                             reason_text(Failure{ReportReason::system_error, error}).c_str()));
}

}  // namespace

bool claim_working_folder(int auto_start)
{
    std::wstring folder = current_folder();
    if (folder.empty())
        return true;
    std::wstring name = claim_name(folder_for_comparison(folder.c_str()));
    HANDLE mapping =
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(FolderClaim), name.c_str());
    // Without a claim the program runs as it always has.
    if (mapping == nullptr)
        return true;
    bool taken = GetLastError() == ERROR_ALREADY_EXISTS;
    void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(FolderClaim));
    if (!taken) {
        g_claim = static_cast<FolderClaim*>(view);
        return true;
    }
    if (view != nullptr) {
        if (auto_start == 0)
            ask_running_program_to_show(*static_cast<FolderClaim*>(view));
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    return false;
}

void publish_main_window(HWND window)
{
    if (g_claim != nullptr)
        InterlockedExchange(&g_claim->main_window, HandleToLong(window));
}

// Also at the question or the notice of the start: the box the user has to
// answer comes to the front.
void show_main_window(HWND window)
{
    if (app().in_tray)
        restore_from_tray(window);
    else if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(GetLastActivePopup(window));
}

void load_program_files()
{
    Engine& e = engine();
    load_list_file(e, "quillsave.ini");
    load_settings(e, "set.ini");
    load_folder_table(e, "folder.ini");
    load_file_table(e, "file.ini");
}

void save_program_files()
{
    Engine& e = engine();
    save_list_file(e, "quillsave.ini");
    save_settings(e, "set.ini");
    save_folder_table(e, "folder.ini");
    save_file_table(e, "file.ini");
}

void finish_program(HWND window)
{
    Engine& e = engine();
    stop_worker(e);
    write_files_at_end(window);
    // The static destructors would free the tables, the copy buffer and the
    // stop event under a worker that still steps; the files are whole, so
    // nothing is lost by ending here.
    if (worker_alive(e))
        app_seams().exit_process(0);
}

// Windows ends the process after this message without a WM_DESTROY, and
// ends it anyway when it takes more than a few seconds. So the worker gets
// a short wait, without the stop's dialog or message (a box would hold the
// files back until the process is gone); whether or not it left, the files
// are written, as when it outlives the stop's wait at the end of the
// program. The program then ends itself: the session is over, and a worker
// still alive must not have the engine freed under it.
void end_session(HWND window)
{
    app().session_ending = true;
    stop_worker_within(engine(), kSessionEndWaitMs);
    write_files_at_end(window);
    remove_tray_icon();
    app_seams().exit_process(0);
}

int shut_down_system(HWND)
{
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) {
        report_power_off_not_made(GetLastError());
        timer_message_box("プロセスのトークンの取得に失敗", "シャットダウン", MB_OK);
        return 1;
    }
    ScopedHandle token(raw);
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    // A failed look-up is not reported: the adjustment below decides.
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
    if (!AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr)) {
        report_power_off_not_made(GetLastError());
        timer_message_box("属性変更に失敗", "シャットダウン", MB_OK);
        return 1;
    }
    // Only a program that does not answer is ended: one with unsaved work
    // asks its user, who may keep the computer on. A power-off refused at
    // once is told in the report; one a program refuses later is its box's.
    if (!ExitWindowsEx(EWX_SHUTDOWN | EWX_FORCEIFHUNG | EWX_POWEROFF, 0))
        report_power_off_not_made(GetLastError());
    return 0;
}
