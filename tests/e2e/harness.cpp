#include "tests/e2e/harness.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include <cstring>

#include "base/handle_win.h"
#include "tests/wine/support.h"

namespace {

std::string program_path()
{
    return host_path(QS_EXE_PATH);
}

struct WindowSearch {
    DWORD process;
    const char* class_name;
    const char* title;
    const std::function<bool(HWND)>* accept;
    HWND found;
};

BOOL CALLBACK match_window(HWND window, LPARAM param)
{
    WindowSearch& s = *reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != s.process)
        return TRUE;
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, s.class_name) != 0)
        return TRUE;
    if (s.title != nullptr) {
        char title[256] = {};
        GetWindowTextA(window, title, sizeof title);
        if (std::strcmp(title, s.title) != 0)
            return TRUE;
    }
    if (s.accept != nullptr && *s.accept && !(*s.accept)(window))
        return TRUE;
    s.found = window;
    return FALSE;
}

HWND find_window(DWORD process, const char* class_name, const char* title, const std::function<bool(HWND)>* accept)
{
    WindowSearch search{process, class_name, title, accept, nullptr};
    EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A block of memory inside the program, for messages whose lParam points at
// a buffer the program fills.
class RemoteBlock {
public:
    RemoteBlock(HWND window, SIZE_T size) : size_(size)
    {
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        process_.reset(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id));
        if (process_.valid())
            address_ = VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBlock()
    {
        if (address_ != nullptr)
            VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE);
    }
    bool valid() const { return address_ != nullptr; }
    char* address() const { return static_cast<char*>(address_); }
    void write(SIZE_T offset, const void* data, SIZE_T n)
    {
        SIZE_T done = 0;
        WriteProcessMemory(process_.get(), address() + offset, data, n, &done);
    }
    std::string read_text(SIZE_T offset)
    {
        std::string bytes(size_ - offset, '\0');
        SIZE_T done = 0;
        ReadProcessMemory(process_.get(), address() + offset, &bytes[0], bytes.size(), &done);
        return bytes.substr(0, bytes.find('\0'));
    }

private:
    ScopedHandle process_;
    void* address_ = nullptr;
    SIZE_T size_;
};

LRESULT send_with_timeout(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wparam, lparam, SMTO_ABORTIFHUNG, 10000, &result);
    return static_cast<LRESULT>(result);
}

const std::pair<const char*, const char*> kSettingDefaults[] = {
    {"data_size", "131072"}, {"data_time", "3"},      {"fmove_point", "0"},   {"dmove_point", "0"},
    {"temp_backup", "C:\\"}, {"temp_foler_a1", "C:\\"}, {"temp_foler_a2", "C:\\"}, {"file_folder", "C:\\"},
    {"start_time", "120"},   {"restart_time", "60"},  {"rw_error_mode", "1"}, {"folder_max", "0"},
    {"folder_count", "0"},   {"folder_search_flag", "0"}, {"file_max", "0"}, {"file_count", "0"},
    {"file_search_flag", "0"}, {"set_t_mode", "0"},   {"set_t_mon", "1"},     {"set_t_mday", "1"},
    {"set_t_week", "1"},     {"set_t_hour", "1"},     {"set_t_min", "1"},     {"shutdown_mode", "0"},
    {"conut_save_mode", "0"}, {"thread_dialog_mode", "0"}, {"version_days", "30"},
    {"exclude", "System Volume Information;$RECYCLE.BIN;Thumbs.db;~$*"},
};

}  // namespace

Quillsave::Quillsave(const std::string& working_folder, const std::string& arguments, const std::string& program)
{
    std::string exe = program.empty() ? program_path() : program;
    std::string command = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, working_folder.c_str(),
                        &startup, &process_))
        process_ = PROCESS_INFORMATION{};
}

Quillsave::~Quillsave()
{
    if (process_.hProcess == nullptr)
        return;
    if (!exited()) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 10000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

HWND Quillsave::main_window() const
{
    return find_window(process_.dwProcessId, "Main Window", nullptr, nullptr);
}

HWND Quillsave::dialog(const char* title, const std::function<bool(HWND)>& accept) const
{
    return find_window(process_.dwProcessId, "#32770", title, &accept);
}

HWND Quillsave::visible_menu() const
{
    std::function<bool(HWND)> shown = [](HWND menu) { return IsWindowVisible(menu) != 0; };
    return find_window(process_.dwProcessId, "#32768", nullptr, &shown);
}

int Quillsave::wait_exit(DWORD timeout_ms)
{
    if (WaitForSingleObject(process_.hProcess, timeout_ms) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<int>(code);
}

bool Quillsave::exited() const
{
    return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0;
}

std::string seams_program()
{
    return host_path(QS_SEAMS_EXE_PATH);
}

int Quillsave::ended_as_windows_does(DWORD grace_ms)
{
    if (WaitForSingleObject(process_.hProcess, grace_ms) != WAIT_OBJECT_0)
        TerminateProcess(process_.hProcess, 0);
    return wait_exit(kExitWait);
}

bool end_windows_session()
{
    char command[] = "wineboot.exe --end-session --shutdown --force";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    bool ended = WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ended;
}

namespace {

NOTIFYICONDATAA tray_record(HWND main_window)
{
    NOTIFYICONDATAA icon = {};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = main_window;
    icon.uID = 901;
    return icon;
}

}  // namespace

bool tray_icon_exists(HWND main_window)
{
    NOTIFYICONDATAA icon = tray_record(main_window);
    return Shell_NotifyIconA(NIM_MODIFY, &icon) != 0;
}

bool delete_tray_icon(HWND main_window)
{
    NOTIFYICONDATAA icon = tray_record(main_window);
    return Shell_NotifyIconA(NIM_DELETE, &icon) != 0;
}

void broadcast_taskbar_created()
{
    SendNotifyMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
}

HWND find_question(const Quillsave& program)
{
    return program.dialog("Quillsave", [](HWND box) { return GetDlgItem(box, IDNO) != nullptr; });
}

HWND start_with_yes(const Quillsave& program)
{
    HWND question = nullptr;
    if (!wait_until([&] { return (question = find_question(program)) != nullptr; }, kWindowWait))
        return nullptr;
    click_button(question, IDYES);
    HWND main = nullptr;
    wait_until([&] { return (main = program.main_window()) && IsWindowVisible(main); }, kWindowWait);
    return main;
}

namespace {

// The folder's path once its two files are written, so that they are there
// before the program that reads them starts.
const std::string& with_one_row(const TempDir& dir, const std::string& settings)
{
    write_file(dir / "quillsave.ini", list_line("*.*", dir / "src", dir / "dst"));
    write_file(dir / "set.ini", settings);
    return dir.path();
}

}  // namespace

OneRowProgram::OneRowProgram(const std::string& settings)
    : program(with_one_row(dir, settings), ""), main(start_with_yes(program))
{
}

int end_by_menu(Quillsave& program, HWND main_window)
{
    post_command(main_window, 142);
    return program.wait_exit(kExitWait);
}

bool wait_until(const std::function<bool()>& condition, DWORD timeout_ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start > timeout_ms)
            return false;
        Sleep(100);
    }
}

std::string status_text(HWND main_window, int part)
{
    HWND bar = GetDlgItem(main_window, 1);
    RemoteBlock block(bar, 512);
    if (bar == nullptr || !block.valid())
        return "<no status bar>";
    send_with_timeout(bar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(block.address()));
    return block.read_text(0);
}

std::string list_cell(HWND main_window, int row, int column)
{
    return list_view_cell(GetDlgItem(main_window, 300), row, column);
}

std::string list_view_cell(HWND view, int row, int column)
{
    RemoteBlock block(view, 1024);
    if (view == nullptr || !block.valid())
        return "<no list view>";
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = block.address() + 512;
    item.cchTextMax = 260;
    block.write(0, &item, sizeof item);
    char zero = 0;
    block.write(512, &zero, 1);
    send_with_timeout(view, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(block.address()));
    return block.read_text(512);
}

void select_list_row(HWND view, int row)
{
    RemoteBlock block(view, sizeof(LVITEMA));
    if (!block.valid())
        return;
    LVITEMA item = {};
    item.state = item.stateMask = LVIS_SELECTED;
    block.write(0, &item, sizeof item);
    send_with_timeout(view, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(block.address()));
}

std::string tree_view_selection(HWND tree)
{
    RemoteBlock block(tree, 1024);
    LRESULT selected = send_with_timeout(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
    if (tree == nullptr || !block.valid() || selected == 0)
        return "";
    TVITEMA item = {};
    item.mask = TVIF_TEXT;
    item.hItem = reinterpret_cast<HTREEITEM>(selected);
    item.pszText = block.address() + 512;
    item.cchTextMax = 260;
    block.write(0, &item, sizeof item);
    char zero = 0;
    block.write(512, &zero, 1);
    send_with_timeout(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.address()));
    return block.read_text(512);
}

int list_row_count(HWND main_window)
{
    return static_cast<int>(send_with_timeout(GetDlgItem(main_window, 300), LVM_GETITEMCOUNT, 0, 0));
}

void post_command(HWND main_window, int id)
{
    PostMessageA(main_window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void post_tray_mouse(HWND main_window, UINT mouse_message)
{
    PostMessageA(main_window, WM_USER, 901, mouse_message);
}

bool choose_tray_menu_item(const Quillsave& program, HWND main_window, int index)
{
    post_tray_mouse(main_window, WM_RBUTTONDOWN);
    if (!wait_until([&] { return program.visible_menu() != nullptr; }, 20000))
        return false;
    for (int i = 0; i <= index; ++i)
        PostMessageA(main_window, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(main_window, WM_KEYDOWN, VK_RETURN, 0);
    return wait_until([&] { return program.visible_menu() == nullptr; }, 20000);
}

void click_button(HWND box, int button_id)
{
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button_id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, button_id)));
}

std::string message_box_text(HWND box)
{
    // The text of a message box is its static control 0xFFFF.
    char text[1024] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}

std::string settings_file(const std::vector<std::pair<std::string, std::string>>& values)
{
    std::string file;
    for (const auto& entry : kSettingDefaults) {
        std::string value = entry.second;
        for (const auto& given : values)
            if (given.first == entry.first)
                value = given.second;
        file += std::string(entry.first) + "=" + value + "\r\n";
    }
    return file;
}

std::string settings_value(const std::string& file, const std::string& key)
{
    for (const std::string& line : lines_of(file))
        if (line.compare(0, key.size() + 1, key + "=") == 0)
            return line.substr(key.size() + 1);
    return "<none>";
}

std::string list_line(const std::string& name, const std::string& source, const std::string& destination,
                      const std::string& file_status, const std::string& folder_status)
{
    return name + "," + source + "," + destination + "," + file_status + "," + folder_status + ",\r\n";
}

void confirm_browser(const Quillsave& program, const std::string& prompt, const std::string& folder)
{
    HWND browser = nullptr;
    ASSERT_TRUE(wait_until(
        [&] { return (browser = program.dialog(nullptr, [&](HWND w) { return has_child_text(w, prompt); })); },
        kWindowWait))
        << prompt;
    HWND tree = FindWindowExA(browser, nullptr, WC_TREEVIEWA, nullptr);
    std::string leaf = folder.substr(folder.rfind('\\') + 1);
    ASSERT_TRUE(wait_until([&] { return tree_view_selection(tree) == leaf; }, kWindowWait))
        << prompt << " shows " << tree_view_selection(tree);
    PostMessageA(browser, WM_COMMAND, IDOK, 0);
}
