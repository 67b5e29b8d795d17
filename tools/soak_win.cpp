// The soak's driver (tools/soak): one standby run of the real quillsave.exe
// over a tree of a few thousand files, "連続" so that it begins the list
// again after every pass, for a given number of minutes. Once a minute it
// samples the program's private memory and handle count, and rewrites a few
// source files so that every pass has real copies to make as well as files
// that are up to date. At the end it stops the run, ends the program and
// checks that every destination file is a whole copy of its source.
//   soak_driver.exe <minutes> <files> <pause ms>
#include <windows.h>
#include <winternl.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/e2e/harness.h"
#include "tests/wine/support.h"

namespace {

constexpr int kFilesPerFolder = 100;
constexpr int kRewrittenPerMinute = 20;

struct Sample {
    int minute;
    SIZE_T private_bytes, working_set;
    DWORD handles;
    int passes;
};

std::string file_name(const std::string& root, int i)
{
    return root + "\\d" + std::to_string(i / kFilesPerFolder) + "\\f" + std::to_string(i) + ".dat";
}

// Sizes from 1 to 12 KiB, so that some files take more than one chunk.
std::string contents(int i, int version)
{
    std::string head = "file " + std::to_string(i) + " version " + std::to_string(version) + "\n";
    return head + std::string(1024 * (1 + i % 12), static_cast<char>('a' + (i + version) % 26));
}

// The process's figures from the system's process list: the one source that
// gives them for another process under Wine as on Windows (Wine's
// GetProcessMemoryInfo and GetProcessHandleCount give 0 there). Private
// memory is the commit charge, which Windows also gives as PrivateUsage.
Sample sample(DWORD id, int minute, int passes)
{
    Sample s = {minute, 0, 0, 0, passes};
    using Query = NTSTATUS(WINAPI*)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<char> buffer(1 << 20);
    ULONG needed = 0;
    if (query == nullptr || query(SystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed) != 0)
        return s;
    for (size_t at = 0;;) {
        const auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + at);
        if (reinterpret_cast<ULONG_PTR>(entry->UniqueProcessId) == id) {
            s.private_bytes = entry->VirtualMemoryCounters.PagefileUsage;
            s.working_set = entry->VirtualMemoryCounters.WorkingSetSize;
            s.handles = entry->HandleCount;
            return s;
        }
        if (entry->NextEntryOffset == 0)
            return s;
        at += entry->NextEntryOffset;
    }
}

void print(const Sample& s)
{
    std::printf("%4d min  private %8lu KiB  working set %8lu KiB  handles %5lu  passes %d\n", s.minute,
                static_cast<unsigned long>(s.private_bytes / 1024), static_cast<unsigned long>(s.working_set / 1024),
                static_cast<unsigned long>(s.handles), s.passes);
}

// The folder status of the one row: a count during a pass, "未" at its
// start; a count that goes down means a new pass began.
int folder_progress(HWND main)
{
    std::string cell = list_cell(main, 0, 4);
    if (cell == "未" || cell.empty())
        return 0;
    return cell[0] >= '0' && cell[0] <= '9' ? std::atoi(cell.c_str()) : INT_MAX;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: soak_driver.exe <minutes> <files> <pause ms>\n");
        return 2;
    }
    int minutes = std::atoi(argv[1]), files = std::atoi(argv[2]);
    std::setvbuf(stdout, nullptr, _IONBF, 0);  // each figure shows as it is taken
    SetEnvironmentVariableA("QS_TEST_PAUSE_MS", argv[3]);

    TempDir dir;
    std::string src = dir / "src", dst = dir / "dst";
    std::vector<int> version(files, 0);
    for (int i = 0; i < files; ++i) {
        if (i % kFilesPerFolder == 0)
            make_folder(src + "\\d" + std::to_string(i / kFilesPerFolder));
        write_file(file_name(src, i), contents(i, 0));
    }
    write_file(dir / "quillsave.ini", list_line("*.*", src, dst));
    write_file(dir / "set.ini", settings_file({{"set_t_mode", "0"}, {"data_time", "1"}, {"start_time", "120"}}));
    std::printf("tree: %d files in %d folders; pauses of %s ms\n", files, (files + kFilesPerFolder - 1) / kFilesPerFolder,
                argv[3]);

    Quillsave program(dir.path(), "", host_path(QS_SEAMS_EXE_PATH));  // the build that knows QS_TEST_PAUSE_MS
    HWND main = start_with_yes(program);
    if (main == nullptr) {
        std::fprintf(stderr, "the program did not start\n");
        return 1;
    }
    post_command(main, IDM_START_STANDBY);

    std::vector<Sample> samples;
    int passes = 0, last = 0, rewritten = 0;
    ULONGLONG start = GetTickCount64();
    for (int minute = 0; minute <= minutes && !program.exited();) {
        int now = folder_progress(main);
        if (now < last)
            ++passes;
        last = now;
        if (GetTickCount64() - start >= static_cast<ULONGLONG>(minute) * 60000) {
            samples.push_back(sample(program.id(), minute, passes));
            print(samples.back());
            for (int k = 0; k < kRewrittenPerMinute; ++k, ++rewritten) {
                int i = (rewritten * 7919) % files;
                write_file(file_name(src, i), contents(i, ++version[i]));
            }
            ++minute;
        }
        Sleep(200);
    }

    post_command(main, IDM_STOP);
    wait_until([&] { return status_text(main, 3) == "停止中"; }, kExitWait);
    int exit_code = end_by_menu(program, main);
    // A copy is current, an older whole version (rewritten after the pass
    // went by), or not made yet; anything else is a cut or mixed file.
    int current = 0, older = 0, missing = 0, wrong = 0;
    for (int i = 0; i < files; ++i) {
        std::string path = file_name(dst, i);
        if (!file_exists(path)) {
            ++missing;
            continue;
        }
        std::string copy = read_file(path);
        int v = version[i];
        while (v >= 0 && copy != contents(i, v))
            --v;
        if (v == version[i])
            ++current;
        else if (v >= 0)
            ++older;
        else
            ++wrong;
    }
    const Sample& first = samples.front();
    const Sample& end = samples.back();
    std::printf("end: exit code %d; %d passes; %d files rewritten during the soak\n", exit_code, passes, rewritten);
    std::printf("destination: %d current, %d older whole copies, %d not copied yet, %d cut or mixed\n", current, older,
                missing, wrong);
    std::printf("private memory %lu -> %lu KiB, handles %lu -> %lu\n",
                static_cast<unsigned long>(first.private_bytes / 1024), static_cast<unsigned long>(end.private_bytes / 1024),
                static_cast<unsigned long>(first.handles), static_cast<unsigned long>(end.handles));
    return exit_code == 0 && wrong == 0 ? 0 : 1;
}
