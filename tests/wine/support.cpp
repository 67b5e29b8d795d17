#include "tests/wine/support.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>

#include "base/listing_win.h"
#include "base/seams.h"
#include "base/text.h"
#include "engine/seams.h"
#include "store/seams.h"

TempDir::TempDir()
{
    static std::atomic<unsigned> serial{0};
    char base[MAX_PATH] = {};
    GetTempPathA(sizeof base, base);
    std::string root = std::string(base) + "qs-test-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(root.c_str(), nullptr);
    for (;;) {
        path_ = root + "\\t" + std::to_string(++serial);
        if (CreateDirectoryA(path_.c_str(), nullptr))
            break;
    }
}

TempDir::~TempDir()
{
    // The destination check moves the current directory into the tree.
    char base[MAX_PATH] = {};
    GetTempPathA(sizeof base, base);
    SetCurrentDirectoryA(base);
    remove_tree(path_);
}

DriveRootDir::DriveRootDir(const std::string& tag)
    : path_("C:\\qs-" + tag + "-" + std::to_string(GetCurrentProcessId()))
{
    make_folder(path_);
}

DriveRootDir::~DriveRootDir()
{
    remove_tree(path_);
}

void remove_tree(const std::string& path)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                remove_tree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

void write_file(const std::string& path, const std::string& bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << "cannot create " << path;
    DWORD written = 0;
    if (!bytes.empty())
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
    ASSERT_EQ(written, bytes.size());
}

std::string read_file(const std::string& path)
{
    // Every sharing mode: a file the program is appending to must never
    // refuse the program's next line because a test reads it.
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string out;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(h, chunk, sizeof chunk, &got, nullptr) && got > 0)
        out.append(chunk, got);
    CloseHandle(h);
    return out;
}

bool file_exists(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool folder_exists(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void make_folder(const std::string& path)
{
    if (folder_exists(path))
        return;
    // By the Shift-JIS rule: the 0x5C of a ソ or 表 is no separator.
    std::size_t cut = last_separator(path.c_str(), path.size());
    if (cut < path.size() && cut > 2)
        make_folder(path.substr(0, cut));
    CreateDirectoryA(path.c_str(), nullptr);
}

void make_wide_tree(const std::string& root, int outer, int inner)
{
    for (int i = 0; i < outer; ++i) {
        std::string folder = root + "\\f" + std::to_string(i);
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
        for (int j = 0; j < inner; ++j)
            ASSERT_TRUE(CreateDirectoryA((folder + "\\g" + std::to_string(j)).c_str(), nullptr));
    }
}

void set_file_times(const std::string& path, unsigned long long filetime)
{
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(filetime);
    ft.dwHighDateTime = static_cast<DWORD>(filetime >> 32);
    SetFileTime(h, &ft, &ft, &ft);
    CloseHandle(h);
}

unsigned long long last_write_time(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}

std::vector<std::string> list_folder(const std::string& path)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = data.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

void make_long_folder(const std::string& path)
{
    std::wstring wide = L"\\\\?\\";
    for (char c : path)
        wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    ASSERT_TRUE(CreateDirectoryW(wide.c_str(), nullptr)) << path.size();
}

Notifier MessageRecorder::notifier()
{
    Notifier n;
    n.show_message = [this](const char* text, const char* caption, MessageKind kind, MessageOwner owner) {
        messages.push_back({text, caption, kind, owner});
    };
    return n;
}

HWND make_hidden_window(const char* class_name, WNDPROC procedure)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.lpszClassName = class_name;
    RegisterClassA(&wc);
    return CreateWindowExA(0, class_name, "", WS_OVERLAPPEDWINDOW, 0, 0, 600, 600, nullptr, nullptr, instance,
                           nullptr);
}

std::string list_view_text(HWND list, int row, int column)
{
    char text[260] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

bool has_child_text(HWND window, const std::string& text)
{
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        char shown[256] = {};
        GetWindowTextA(child, shown, sizeof shown);
        if (text == shown)
            return true;
    }
    return false;
}

int text_width(HWND control, const std::string& text)
{
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT r = {0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return r.right;
}

namespace {

std::wstring wide_of(const std::string& ansi)
{
    wchar_t out[4 * MAX_PATH];
    int n = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, out, 4 * MAX_PATH);
    return n > 0 ? std::wstring(out) : std::wstring();
}

// A name as this ANSI program holds it, or "" when the code page lacks it.
std::string held_name(const wchar_t* wide)
{
    char out[2 * MAX_PATH];
    BOOL used_default = FALSE;
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, out, sizeof out, "?", &used_default) <= 0 ||
        used_default)
        return "";
    return out;
}

}  // namespace

UnheldNamesTree::UnheldNamesTree(const std::string& source_folder) : source(source_folder)
{
    files = {{L"caf\u00e9.txt", "the accented cafe"},
             {L"cafe.txt", "plain cafe"},
             {L"\uD55C\uAD6D\\inside.txt", "inside the Hangul folder"},
             {L"\U0001F600.txt", "a smile"},
             {L"plain.txt", "plain"}};
    make_folder(source);
    std::wstring root = wide_of(source);
    CreateDirectoryW((root + L"\\\uD55C\uAD6D").c_str(), nullptr);
    for (const File& f : files) {
        HANDLE h = CreateFileW((root + L"\\" + f.relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            ADD_FAILURE() << "cannot create a file of the tree in " << source;
            continue;
        }
        DWORD written = 0;
        WriteFile(h, f.bytes.data(), static_cast<DWORD>(f.bytes.size()), &written, nullptr);
        CloseHandle(h);
    }
}

std::string UnheldNamesTree::reached_path(const std::string& folder, const std::wstring& relative)
{
    std::string path = folder;
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t cut = relative.find(L'\\', start);
        std::wstring part = relative.substr(start, cut == std::wstring::npos ? std::wstring::npos : cut - start);
        std::string name = held_name(part.c_str());
        if (name.empty()) {
            WIN32_FIND_DATAW data;
            HANDLE find = FindFirstFileW((wide_of(path) + L"\\" + part).c_str(), &data);
            if (find == INVALID_HANDLE_VALUE)
                return "";
            FindClose(find);
            name = held_name(data.cAlternateFileName);
            if (name.empty())
                return "";
        }
        path += "\\" + name;
        if (cut == std::wstring::npos)
            break;
        start = cut + 1;
    }
    return path;
}

int at_display_dpi(int pixels)
{
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    char expected[16] = {};
    if (GetEnvironmentVariableA("QS_EXPECT_DPI", expected, sizeof expected) > 0) {
        EXPECT_EQ(dpi, std::atoi(expected)) << "the display's DPI";
    }
    return MulDiv(pixels, dpi, 96);
}

std::string host_path(const std::string& path)
{
    if (path.empty() || path[0] != '/')
        return path;
    std::string windows = "Z:" + path;
    for (char& c : windows)
        if (c == '/')
            c = '\\';
    return windows;
}

std::string unix_path_of(const std::string& windows_path)
{
    using ToUnix = char*(CDECL*)(const wchar_t*);
    auto to_unix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    wchar_t wide[MAX_PATH];
    if (to_unix == nullptr || MultiByteToWideChar(CP_ACP, 0, windows_path.c_str(), -1, wide, MAX_PATH) <= 0)
        return "";
    char* unix_name = to_unix(wide);
    if (unix_name == nullptr)
        return "";
    // The host's bytes are UTF-8; a command for run_on_host is in the code page.
    wchar_t back[2 * MAX_PATH];
    int n = MultiByteToWideChar(CP_UTF8, 0, unix_name, -1, back, 2 * MAX_PATH);
    HeapFree(GetProcessHeap(), 0, unix_name);
    char out[4 * MAX_PATH];
    if (n <= 0 || WideCharToMultiByte(CP_ACP, 0, back, -1, out, sizeof out, nullptr, nullptr) <= 0)
        return "";
    return out;
}

bool make_host_link(const std::string& link, const std::string& target)
{
    std::string unix_link = unix_path_of(link);
    std::string unix_target = target.find(':') == std::string::npos ? target : unix_path_of(target);
    return !unix_link.empty() && !unix_target.empty() &&
           run_on_host("ln -sfn '" + unix_target + "' '" + unix_link + "'") == 0;
}

int run_on_host(const std::string& command)
{
    static int serial = 0;
    std::string result = "/tmp/quillsave-host-" + std::to_string(GetCurrentProcessId()) + "-" +
                         std::to_string(++serial);
    std::string line = "sh -c \"" + command + "; echo $? > '" + result + ".part'; mv '" + result + ".part' '" +
                       result + "'\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA("Z:\\bin\\sh", &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::string windows_result = host_path(result);
    for (DWORD start = GetTickCount(); !file_exists(windows_result); Sleep(100))
        if (GetTickCount() - start > 30000)
            return -1;
    int code = std::atoi(read_file(windows_result).c_str());
    DeleteFileA(windows_result.c_str());
    return code;
}

MappedDrive::MappedDrive(char letter) : letter_(letter)
{
    host_folder_ = "/tmp/quillsave-drive-" + std::string(1, letter) + "-" + std::to_string(GetCurrentProcessId());
    mapped_ = run_on_host("rm -rf '" + host_folder_ + "' && mkdir -p '" + host_folder_ + "' && ln -sfn '" +
                          host_folder_ + "' $WINEPREFIX/dosdevices/" + std::string(1, letter) + ":") == 0;
}

MappedDrive::~MappedDrive()
{
    run_on_host("rm -f $WINEPREFIX/dosdevices/" + std::string(1, letter_) + ": && rm -rf '" + host_folder_ + "'");
}

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

std::vector<std::string> lines_with(const std::string& report, const std::string& text)
{
    std::vector<std::string> found;
    for (const std::string& line : lines_of(report))
        if (line.find(text) != std::string::npos)
            found.push_back(line);
    return found;
}

SeamsReset::~SeamsReset()
{
    base_seams() = BaseSeams{};
    engine_seams() = EngineSeams{};
    store_seams() = StoreSeams{};
}

FailingListings::FailingListings(int items, DWORD code)
{
    base_seams().fail_listings_after = items;
    base_seams().fail_listing_code = code;
}

KeysToOneTest::KeysToOneTest() : mutex_(CreateMutexA(nullptr, FALSE, "qs-test-system-exclusions"))
{
    EXPECT_NE(mutex_, nullptr);
    DWORD waited = WaitForSingleObject(mutex_, INFINITE);
    EXPECT_TRUE(waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED);
}

KeysToOneTest::~KeysToOneTest()
{
    ReleaseMutex(mutex_);
    CloseHandle(mutex_);
}

TestValue::TestValue(const char* key_path, DWORD type, const std::string& data) : key_path_(key_path)
{
    static std::atomic<unsigned> serial{0};
    name_ = "qs-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
    HKEY key = nullptr;
    LONG made = RegCreateKeyExA(HKEY_LOCAL_MACHINE, key_path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    EXPECT_EQ(made, ERROR_SUCCESS) << key_path;
    if (made != ERROR_SUCCESS)
        return;
    EXPECT_EQ(RegSetValueExA(key, name_.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

TestValue::~TestValue()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_path_, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, name_.c_str());
    RegCloseKey(key);
}

std::string multi_string(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines)
        out += line + '\0';
    return out + '\0';
}
