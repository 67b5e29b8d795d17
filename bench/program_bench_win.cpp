// One continuous run of the real quillsave.exe, as a user starts it: the
// program in a working folder of its own whose list is one row (SRC to DST),
// the start question answered, then 連続バックアップ posted.
//   program_bench.exe SRC DST
// The clock starts when the command is posted, so the program's own start-up
// is not counted, and stops when the run put its last backup in place: the
// latest change time in DST, which Wine reports from the file system. (The
// window shows the end of a run at its next one-second tick, too coarse for
// a figure.) Prints one line of "key=value" figures for bench/run.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "bench/tree_walk.h"
#include "bench/warm_memory.h"
#include "resources/resource.h"
#include "tests/e2e/harness.h"
#include "tests/wine/support.h"

namespace {

// Files and bytes below a backup folder, and the latest change time of a
// file in it.
struct Tree {
    unsigned files = 0;
    unsigned long long bytes = 0;
    long long last_change = 0;
};

void note_change(const std::string& path, Tree& tree)
{
    HANDLE file = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    FILE_BASIC_INFO info;
    if (GetFileInformationByHandleEx(file, FileBasicInfo, &info, sizeof info))
        tree.last_change = std::max(tree.last_change, static_cast<long long>(info.ChangeTime.QuadPart));
    CloseHandle(file);
}

void count_tree(const std::string& root, Tree& tree)
{
    walk_tree(root, "", [](const std::string&) {}, [&](const std::string& relative, unsigned long long size) {
        tree.files += 1;
        tree.bytes += size;
        note_change(root + relative, tree);
    });
}

long long system_time_now()
{
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    return (static_cast<long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

// Waits for the pass's end line in the program's report. The program is
// watched through its files only: reading a window's text of another
// process makes Wine allocate and free memory in it, on one of the
// program's own threads, so the tool would work inside what it measures.
void wait_for_the_end(const std::string& report)
{
    for (int polls = 0; polls < 360000; ++polls) {
        if (read_file(report).find("\t完了") != std::string::npos)
            return;
        Sleep(10);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: program_bench.exe SRC DST\n");
        return 2;
    }
    TempDir dir;
    write_file(dir / "quillsave.ini", list_line("*.*", argv[1], argv[2]));
    // Never due (February 31st), so the run ends at the end of the list.
    write_file(dir / "set.ini", settings_file({{"set_t_mode", "1"}, {"set_t_mon", "2"}, {"set_t_mday", "31"},
                                               {"start_time", "1"}, {"rw_error_mode", "0"}}));
    Quillsave program(dir.path(), "");
    HWND main = start_with_yes(program);
    if (main == nullptr) {
        std::fprintf(stderr, "program_bench: the program did not start\n");
        return 1;
    }
    Tree sources;
    count_tree(argv[1], sources);
    warm_memory(sources.bytes);
    long long start = system_time_now();
    post_command(main, IDM_START_CONTINUOUS);
    wait_for_the_end(dir / "quillsave.log");
    std::string status = list_cell(main, 0, 3);
    int exit_code = end_by_menu(program, main);
    if (status != "完" || exit_code != 0) {
        std::fprintf(stderr, "program_bench: the run ended with %s, the program with %d\n", status.c_str(), exit_code);
        return 1;
    }
    Tree backups;
    count_tree(argv[2], backups);
    std::printf("bench=program seconds=%.3f files=%u bytes=%llu cpu=0 peak=0\n",
                static_cast<double>(backups.last_change - start) / 1e7, backups.files, backups.bytes);
    return 0;
}
