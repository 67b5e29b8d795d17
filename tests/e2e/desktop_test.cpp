// The program on a desktop that lives around it: the session of Windows
// ending under a run, a second start in the same working folder, and the
// shell's tray going away and coming back.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "engine/copy_rules.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/program_files.h"
#include "tests/wine/support.h"

namespace {

constexpr int kToTray = 141;  // "タクスバー(&T)"
const char* const kProgramFiles[] = {"quillsave.ini", "set.ini", "folder.ini", "file.ini"};

std::vector<std::string> program_files_of(const std::string& folder)
{
    std::vector<std::string> bytes;
    for (const char* name : kProgramFiles)
        bytes.push_back(read_file(folder + "\\" + name));
    return bytes;
}

// A set.ini text with one key's value replaced.
std::string with_setting(const std::string& file, const std::string& key, const std::string& value)
{
    std::string result;
    for (const std::string& line : lines_of(file))
        result += (line.compare(0, key.size() + 1, key + "=") == 0 ? key + "=" + value : line) + "\r\n";
    return result;
}

int setting_number(const std::string& file, const std::string& key)
{
    return std::atoi(settings_value(file, key).c_str());
}

// Files below a folder, by their paths relative to it, sorted.
std::vector<std::string> files_below(const std::string& folder, const std::string& prefix = "")
{
    std::vector<std::string> files;
    for (const std::string& name : list_folder(folder)) {
        std::string path = folder + "\\" + name;
        if (folder_exists(path)) {
            std::vector<std::string> inner = files_below(path, prefix + name + "\\");
            files.insert(files.end(), inner.begin(), inner.end());
        } else {
            files.push_back(prefix + name);
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

unsigned long long file_size(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// A list and settings under which a program started with /B stays idle.
void write_idle_program_files(const TempDir& dir)
{
    write_file(dir / "quillsave.ini", list_line("a.txt", "C:\\元", "D:\\先"));
    write_file(dir / "set.ini", settings_file({{"start_time", "600"}}));
}

// A program started with /B whose window has gone to the tray.
HWND main_window_in_tray(const Quillsave& program)
{
    HWND main = nullptr;
    bool in_tray = wait_until(
        [&] { return (main = program.main_window()) != nullptr && !IsWindowVisible(main) && tray_icon_exists(main); },
        kWindowWait + 10000);
    return in_tray ? main : nullptr;
}

// "終了" of the tray menu; the program's exit code, or -1.
int end_from_tray(Quillsave& program, HWND main)
{
    if (!choose_tray_menu_item(program, main, kTrayExitItem))
        return -1;
    return program.wait_exit(kExitWait);
}

// The working folder of a tree whose walk a standby run from the tray is
// part-way through: the root's file and "一"'s two are done, and in "一\深"
// a large file is being copied in small chunks, one a second, beside three
// small ones that the folder's listing may put before or after it.
struct TreeBed {
    TempDir dir;
    std::string source = dir / "元";
    std::string backup = dir / "先";
    const std::vector<std::string> tree = {"r.txt",        "一\\1.txt",    "一\\2.txt",     "一\\深\\a.txt",
                                           "一\\深\\b.txt", "一\\深\\c.txt", "一\\深\\big.dat"};

    TreeBed()
    {
        make_folder(source + "\\一\\深");
        for (const std::string& file : tree)
            write_file(source + "\\" + file, file == "一\\深\\big.dat" ? std::string(256 * 1024, 'b') : file);
        write_file(dir / "quillsave.ini", list_line("*.*", source, backup));
        // "連続": a start with /B runs at once.
        write_file(dir / "set.ini", settings_file({{"set_t_mode", "0"}, {"start_time", "1"}, {"data_time", "1"},
                                                   {"data_size", "1024"}, {"rw_error_mode", "0"}}));
    }
    bool copying_big_file() const
    {
        return file_size(backup + "\\一\\深\\" + kCopyTempName) >= 2048;
    }
};

// The session ends (a shutdown) under a standby run started from the tray:
// the four files are what the program's own end writes, and the next start
// from the tray goes on with the very file the run was copying.
TEST(SessionEnd, StandbyRunFromTheTrayResumesAtTheSameFolderAndFile)
{
    TreeBed bed;
    const std::string& folder = bed.dir.path();
    {
        Quillsave program(folder, "/B");
        ASSERT_TRUE(program.started());
        ASSERT_TRUE(wait_until([&] { return bed.copying_big_file(); }, 120000)) << "the run reaches the large file";
        ASSERT_TRUE(end_windows_session());
        program.ended_as_windows_does(kSessionGrace);
    }
    expect_program_files_whole(folder);
    std::string settings = read_file(folder + "\\set.ini");
    ASSERT_EQ(settings_value(settings, "folder_search_flag"), "1") << "the walk under way is saved";
    std::vector<std::string> folders = saved_folder_paths(folder);
    std::vector<std::string> files = saved_file_names(folder);
    int folder_at = setting_number(settings, "folder_count");
    int file_at = setting_number(settings, "file_count");
    ASSERT_LT(folder_at, static_cast<int>(folders.size()));
    ASSERT_LT(file_at, static_cast<int>(files.size()));
    EXPECT_EQ(folders[folder_at], bed.source + "\\一\\深");
    EXPECT_EQ(files[file_at], "big.dat");
    std::vector<std::string> done = files_below(bed.backup);
    EXPECT_EQ(std::count(done.begin(), done.end(), std::string("一\\深\\") + kCopyTempName), 1)
        << "the stopped copy keeps its part for the next start";

    // Read and written again by the program's own end, unchanged.
    std::vector<std::string> at_session_end = program_files_of(folder);
    {
        Quillsave again(folder, "");
        HWND main = start_with_yes(again);
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(status_text(main, 1), "Folder=" + std::to_string(folder_at) + "/" +
                                             settings_value(settings, "folder_max"));
        EXPECT_EQ(status_text(main, 2), "File=" + std::to_string(file_at) + "/" + settings_value(settings, "file_max"));
        EXPECT_EQ(end_by_menu(again, main), 0);
    }
    std::vector<std::string> at_normal_end = program_files_of(folder);
    for (std::size_t i = 0; i < at_normal_end.size(); ++i)
        EXPECT_EQ(at_session_end[i], at_normal_end[i]) << kProgramFiles[i];

    // The next start from the tray, with a schedule that never comes (so
    // the run ends at the end of the list) and whole chunks: only what was
    // not done is copied.
    settings = with_setting(with_setting(settings, "set_t_mode", "1"), "set_t_mday", "31");
    write_file(folder + "\\set.ini", with_setting(settings, "data_size", "1048576"));
    remove_tree(bed.backup);
    std::vector<std::string> expected;
    for (const std::string& file : bed.tree)
        if (std::find(done.begin(), done.end(), file) == done.end())
            expected.push_back(file);
    std::sort(expected.begin(), expected.end());
    Quillsave resumed(folder, "/B");
    HWND main = main_window_in_tray(resumed);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(wait_until([&] { return files_below(bed.backup) == expected; }, 60000));
    ASSERT_TRUE(wait_until([&] { return status_text(main, 3) == "停止中"; }, 30000));
    EXPECT_EQ(files_below(bed.backup), expected);
    EXPECT_EQ(read_file(bed.backup + "\\一\\深\\big.dat"), std::string(256 * 1024, 'b'));
    EXPECT_EQ(end_from_tray(resumed, main), 0);
}

// A second start in the folder of a running program reads and writes none
// of the four files, shows nothing and ends with 0; without a switch it
// brings the running program out of the tray. The folder's name is compared
// without regard to case. A start in another folder is a program of its own.
TEST(SecondStart, SameFolderEndsAndShowsTheRunningProgram)
{
    TempDir dir;
    const std::string list = list_line("a.txt", "C:\\元", "D:\\先");
    const std::string settings = settings_file({{"start_time", "600"}, {"data_time", "7"}});
    write_file(dir / "quillsave.ini", list);
    write_file(dir / "set.ini", settings);
    Quillsave first(dir.path(), "/B");
    HWND main = main_window_in_tray(first);
    ASSERT_NE(main, nullptr);
    // The first program holds its list and settings in memory now (and has
    // made the two empty tables); a second one would make set.ini again when
    // it reads it and write the list at its end.
    DeleteFileA((dir / "quillsave.ini").c_str());
    DeleteFileA((dir / "set.ini").c_str());
    const std::vector<std::string> tables = {"file.ini", "folder.ini"};

    std::string shouted = dir.path();
    CharUpperBuffA(&shouted[0], static_cast<DWORD>(shouted.size()));
    struct Case {
        const char* what;
        std::string folder;
        const char* arguments;
        bool shows;
    } cases[] = {
        {"/B", dir.path(), "/B", false},
        {"/t in the folder's name in capitals", shouted, "/t", false},
        {"no switch", dir.path(), "", true},
    };
    for (const Case& c : cases) {
        Quillsave second(c.folder, c.arguments);
        ASSERT_TRUE(second.started()) << c.what;
        EXPECT_EQ(second.wait_exit(kWindowWait), 0) << c.what;
        EXPECT_EQ(list_folder(dir.path()), tables) << c.what << ": no file read or written";
        if (c.shows)
            EXPECT_TRUE(wait_until([&] { return IsWindowVisible(main) && !tray_icon_exists(main); }, kWindowWait))
                << c.what << ": out of the tray";
        else
            EXPECT_FALSE(wait_until([&] { return IsWindowVisible(main) != 0; }, 2000)) << c.what;
    }

    TempDir other;
    write_file(other / "quillsave.ini", list_line("b.txt", "C:\\元", "D:\\先"));
    write_file(other / "set.ini", settings);
    {
        Quillsave beside(other.path(), "/B");
        HWND beside_main = main_window_in_tray(beside);
        ASSERT_NE(beside_main, nullptr) << "a program of another folder runs";
        EXPECT_NE(beside_main, main);
        EXPECT_EQ(end_from_tray(beside, beside_main), 0);
    }
    EXPECT_EQ(read_file(other / "quillsave.ini"), list_line("b.txt", "C:\\元", "D:\\先"));

    EXPECT_EQ(end_by_menu(first, main), 0);
    EXPECT_EQ(read_file(dir / "quillsave.ini"), list);
    EXPECT_EQ(read_file(dir / "set.ini"), settings);
}

// A shell that starts sends "TaskbarCreated": the program ends up hidden with
// its icon in the tray, and ends from there.
void expect_in_tray_once_the_shell_starts(Quillsave& program, HWND main)
{
    broadcast_taskbar_created();
    EXPECT_TRUE(wait_until([&] { return !IsWindowVisible(main) && tray_icon_exists(main); }, kWindowWait))
        << "the window hidden, its icon in the tray";
    EXPECT_EQ(end_from_tray(program, main), 0);
}

// A shell that restarts loses the icons of its tray, then announces itself
// with "TaskbarCreated": the program in the tray adds its icon again.
TEST(Tray, IconComesBackWhenTheShellStartsAgain)
{
    TempDir dir;
    write_idle_program_files(dir);
    Quillsave program(dir.path(), "/B");
    HWND main = main_window_in_tray(program);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(delete_tray_icon(main));
    ASSERT_FALSE(tray_icon_exists(main));

    expect_in_tray_once_the_shell_starts(program, main);
}

// A top-level window of the shell tray's class, made before the real one is
// asked, that refuses every icon: a shell that is not there yet.
class RefusingTray {
public:
    RefusingTray() : thread_([this] { run(); })
    {
        wait_until([this] { return window_ != nullptr; }, kWindowWait);
    }
    ~RefusingTray()
    {
        PostMessageA(window_, WM_CLOSE, 0, 0);
        thread_.join();
    }
    RefusingTray(const RefusingTray&) = delete;
    RefusingTray& operator=(const RefusingTray&) = delete;
    HWND window() const { return window_; }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
    {
        if (message == WM_COPYDATA)
            return FALSE;
        if (message == WM_DESTROY)
            PostQuitMessage(0);
        return DefWindowProcA(window, message, wparam, lparam);
    }
    void run()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = procedure;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "Shell_TrayWnd";
        RegisterClassA(&wc);
        HWND window = CreateWindowExA(0, "Shell_TrayWnd", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                      wc.hInstance, nullptr);
        window_ = window;
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0)
            DispatchMessageA(&msg);
    }

    std::atomic<HWND> window_{nullptr};
    std::thread thread_;
};

// Without a shell to take the icon the window is never hidden: it waits
// minimized on the taskbar and goes to the tray when the shell announces
// itself.
TEST(Tray, WithoutAShellTheWindowWaitsOnTheTaskbar)
{
    TempDir dir;
    write_idle_program_files(dir);
    Quillsave program(dir.path(), "");
    HWND main = start_with_yes(program);
    ASSERT_NE(main, nullptr);
    {
        RefusingTray refusing;
        ASSERT_EQ(FindWindowA("Shell_TrayWnd", nullptr), refusing.window()) << "the program meets this tray first";
        post_command(main, kToTray);
        EXPECT_TRUE(wait_until([&] { return IsIconic(main) != 0; }, kWindowWait));
        EXPECT_TRUE(IsWindowVisible(main)) << "on the taskbar";
    }
    EXPECT_FALSE(tray_icon_exists(main));

    expect_in_tray_once_the_shell_starts(program, main);
}

}  // namespace
