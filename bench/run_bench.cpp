// Measures backup runs and the minimal Win32 probes they are held against.
// One measurement per process, so that each peak resident size is its own:
//   run_bench noop|fresh SRC DST   continuous run of SRC into DST
//   run_bench standby SRC DST      standby run of SRC\big.bin (data_size
//                                  262144, data_time 1)
//   run_bench probe-open SRC DST   per pair: open both as copy_continuous
//                                  does, both last-write times, close both
//   run_bench probe-attr SRC DST   per pair: GetFileAttributesExA on both
//   run_bench probe-copy SRC DST   per file: CopyFileA into a temporary name,
//                                  MoveFileExA over the destination
//   run_bench probe-copy-worker SRC DST
//                                  the same on a second thread, while the
//                                  main thread waits for messages, as a
//                                  run's window thread does
//   run_bench replace|replace-keep SRC DST
//                                  continuous run that copies every file
//                                  again over its backup (always overwrite),
//                                  with version_days 0 or 30
//   run_bench probe-rename SRC DST per file: the backup renamed aside and
//                                  back, two renames
//   run_bench standby-pass SRC DST a standby pass at the default settings
//                                  over SRC, whose backups in DST are up to
//                                  date
//   run_bench idle SRC DST S       a standby run's processor time over S seconds
//                                  of its pass (QS_BENCH_WATCH=0: no watch)
//   run_bench protect SRC DST N    a never-ending standby run at the default
//                                  settings over SRC; N times, at a random
//                                  moment, a random file of SRC is changed
//                                  and the time until its backup holds the
//                                  change is taken
//   run_bench tables TREE FLAT WORK the tables of a large tree: walk_folders
//                                  over TREE (WORK\backup its backup
//                                  folder), walk_files over FLAT, then
//                                  folder.ini and file.ini saved into WORK
//                                  and loaded again
//   run_bench empty                nothing: the resident size of the program
//   run_bench calls SRC DST        where a step's time goes: each call a
//                                  continuous step makes, timed alone over
//                                  the tree (a fresh copy into DST, then an
//                                  up-to-date pass over it)
// Each prints one line of "key=value" figures for bench/run.
#define PSAPI_VERSION 2  // GetProcessMemoryInfo from kernel32
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "bench/tree_walk.h"
#include "bench/warm_memory.h"
#include "engine/engine.h"
#include "engine/worker.h"
#include "store/program_files.h"
#include "store/formats.h"

namespace {

double now_seconds()
{
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double cpu_seconds()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto value = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    return (value(kernel) + value(user)) / 1e7;
}

unsigned long long peak_resident()
{
    PROCESS_MEMORY_COUNTERS counters;
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return 0;
    return counters.PeakWorkingSetSize;
}

struct Pair {
    std::string source, destination;
};

void list_pairs(const char* source, const char* destination, std::vector<Pair>& pairs,
                std::vector<std::string>& folders);

// Files and bytes of a tree, without keeping its names: the peak resident
// size of a run must not count the bench's own lists.
void count_tree(const std::string& root, std::size_t& files, unsigned long long& bytes)
{
    walk_tree(root, "", [](const std::string&) {}, [&](const std::string&, unsigned long long size) {
        files += 1;
        bytes += size;
    });
}

void print_figures(const char* what, double seconds, std::size_t files, unsigned long long bytes, double cpu)
{
    std::printf("bench=%s seconds=%.3f files=%u bytes=%llu cpu=%.3f peak=%llu\n", what, seconds,
                static_cast<unsigned>(files), bytes, cpu, peak_resident());
}

void prepare_engine(Engine& engine, const char* name, const char* source, const char* destination)
{
    engine.settings.data_size = 131072;
    engine.settings.data_time = 3;
    engine.settings.rw_error_mode = 1;
    engine.settings.thread_dialog_mode = 1;
    engine.settings.version_days = 30;
    // The user's patterns, as set.ini would give them: none unless the bench asks.
    if (const char* patterns = std::getenv("QS_BENCH_PATTERNS"))
        copy_field(engine.settings.exclude, patterns);
    int row = list_insert_row(engine.list, 0, name);
    list_set_cell(engine.list, row, col_source, source);
    list_set_cell(engine.list, row, col_destination, destination);
}

// A pass through the worker, from start_worker to the end of the list: a
// continuous one, or for "standby-pass" a standby one at the default
// settings (data_time 3).
int run_pass(const char* what, const char* source, const char* destination)
{
    std::size_t files = 0;
    unsigned long long bytes = 0;
    count_tree(source, files, bytes);
    Engine engine;
    prepare_engine(engine, "*.*", source, destination);
    engine.flags.run_mode = std::strcmp(what, "standby-pass") == 0 ? 0 : 1;
    // Replacing: every backup is copied again, its old self removed or kept.
    if (std::strncmp(what, "replace", 7) == 0) {
        engine.settings.conut_save_mode = 1;
        engine.settings.version_days = std::strcmp(what, "replace-keep") == 0 ? 30 : 0;
    }
    // The end of the run is the end of its last step, taken by the worker
    // itself: a main thread that woke every millisecond to look would load
    // the wineserver that the worker's file calls go through.
    std::atomic<double> last_step{0};
    engine.notifier.request_refresh = [&last_step] { last_step = now_seconds(); };
    if (std::strcmp(what, "noop") != 0 && std::strcmp(what, "standby-pass") != 0)
        warm_memory(bytes);
    double cpu = cpu_seconds();
    double start = now_seconds();
    if (start_worker(engine) != 0)
        return 1;
    while (engine.flags.list_finished == 0 && engine.flags.error_pending == 0)
        Sleep(100);
    double seconds = last_step - start;
    cpu = cpu_seconds() - cpu;
    stop_worker(engine);
    if (engine.flags.error_pending != 0) {
        std::fprintf(stderr, "run_bench: a copy failed\n");
        return 1;
    }
    print_figures(what, seconds, files, bytes, cpu);
    return 0;
}

// How long a change waits for its backup in a never-ending standby run:
// the changes come at random moments, each to a random file.
int run_protect(const char* source, const char* destination, int changes)
{
    std::vector<Pair> pairs;
    std::vector<std::string> folders;
    list_pairs(source, destination, pairs, folders);
    if (pairs.empty())
        return 1;
    Engine engine;
    prepare_engine(engine, "*.*", source, destination);
    engine.flags.run_mode = 0;
    if (start_worker(engine) != 0)
        return 1;
    std::vector<double> delays;
    unsigned seed = GetTickCount();
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 8) & 0xFFFFFF; };
    for (int i = 0; i < changes; ++i) {
        Sleep(5000 + next() % 60000);
        const Pair& p = pairs[next() % pairs.size()];
        std::string bytes = "changed " + std::to_string(i) + " " + std::to_string(GetTickCount());
        HANDLE h = CreateFileA(p.source.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(h);
        double changed = now_seconds();
        for (;;) {
            Sleep(200);
            char got[128] = {};
            HANDLE b = CreateFileA(p.destination.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
            DWORD read = 0;
            if (b != INVALID_HANDLE_VALUE) {
                ReadFile(b, got, sizeof got - 1, &read, nullptr);
                CloseHandle(b);
            }
            if (bytes == std::string(got, read))
                break;
        }
        delays.push_back(now_seconds() - changed);
        std::fprintf(stderr, "change %d protected after %.1f s\n", i + 1, delays.back());
    }
    stop_worker(engine);
    std::sort(delays.begin(), delays.end());
    std::printf("bench=protect median=%.1f worst=%.1f files=%u\n", delays[delays.size() / 2], delays.back(),
                static_cast<unsigned>(pairs.size()));
    return 0;
}

// What a never-ending standby run costs while nothing changes: its
// processor time over some seconds of its pass, with the watch of its
// source or (QS_BENCH_WATCH=0) without, the pass alone.
int run_idle(const char* source, const char* destination, int seconds)
{
    Engine engine;
    prepare_engine(engine, "*.*", source, destination);
    engine.flags.run_mode = 0;
    const char* watch = std::getenv("QS_BENCH_WATCH");
    engine.watch_sources = watch == nullptr || std::strcmp(watch, "0") != 0;
    if (start_worker(engine) != 0)
        return 1;
    Sleep(2000);  // past the walk of the tree
    double cpu = cpu_seconds();
    double start = now_seconds();
    Sleep(static_cast<DWORD>(seconds) * 1000);
    double elapsed = now_seconds() - start;
    cpu = cpu_seconds() - cpu;
    stop_worker(engine);
    std::printf("bench=idle seconds=%.3f files=0 bytes=0 cpu=%.3f peak=%llu\n", elapsed, cpu, peak_resident());
    return 0;
}

// A standby run of one file: from start_worker until its status is written.
int run_standby(const char* source, const char* destination)
{
    Engine engine;
    prepare_engine(engine, "big.bin", source, destination);
    engine.settings.data_size = 262144;
    engine.settings.data_time = 1;
    std::size_t files = 0;
    unsigned long long bytes = 0;
    count_tree(source, files, bytes);
    double cpu = cpu_seconds();
    double start = now_seconds();
    if (start_worker(engine) != 0)
        return 1;
    char status[kFieldSize] = "";
    while (status[0] == 0 || std::strcmp(status, "未") == 0) {
        Sleep(20);  // the poll must not weigh on the CPU time measured
        list_get_cell(engine.list, 0, col_file_status, status);
    }
    double seconds = now_seconds() - start;
    cpu = cpu_seconds() - cpu;
    stop_worker(engine);
    if (std::strcmp(status, "完") != 0) {
        std::fprintf(stderr, "run_bench: the standby copy failed\n");
        return 1;
    }
    print_figures("standby", seconds, files, bytes, cpu);
    return 0;
}

bool probe_open(const Pair& p)
{
    const DWORD flags = FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL;
    HANDLE s = CreateFileA(p.source.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, flags, nullptr);
    HANDLE d = CreateFileA(p.destination.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, flags, nullptr);
    FILETIME c, a, ws, wd;
    bool ok = s != INVALID_HANDLE_VALUE && d != INVALID_HANDLE_VALUE && GetFileTime(s, &c, &a, &ws) &&
              GetFileTime(d, &c, &a, &wd);
    CloseHandle(s);
    CloseHandle(d);
    return ok;
}

bool probe_attributes(const Pair& p)
{
    WIN32_FILE_ATTRIBUTE_DATA s, d;
    return GetFileAttributesExA(p.source.c_str(), GetFileExInfoStandard, &s) &&
           GetFileAttributesExA(p.destination.c_str(), GetFileExInfoStandard, &d);
}

// Every source file with its destination, and every destination folder,
// the tree's root first.
void list_pairs(const char* source, const char* destination, std::vector<Pair>& pairs,
                std::vector<std::string>& folders)
{
    walk_tree(
        source, "", [&](const std::string& relative) { folders.push_back(destination + relative); },
        [&](const std::string& relative, unsigned long long) {
            pairs.push_back({source + relative, destination + relative});
        });
}

// Runs body on a thread of its own while this thread waits for messages,
// as the program's window thread waits while its worker copies.
DWORD WINAPI run_body(void* body)
{
    (*static_cast<const std::function<void()>*>(body))();
    return 0;
}

void on_worker_thread(const std::function<void()>& body)
{
    HANDLE thread = CreateThread(nullptr, 0, run_body, const_cast<std::function<void()>*>(&body), 0, nullptr);
    if (thread == nullptr) {
        body();
        return;
    }
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    CloseHandle(thread);
}

int run_probe(const char* what, const char* source, const char* destination)
{
    bool worker = std::strcmp(what, "probe-copy-worker") == 0;
    bool copy = worker || std::strcmp(what, "probe-copy") == 0;
    bool open = std::strcmp(what, "probe-open") == 0;
    bool rename = std::strcmp(what, "probe-rename") == 0;
    std::size_t files = 0;
    unsigned long long bytes = 0;
    count_tree(source, files, bytes);
    if (copy)
        warm_memory(bytes);
    double cpu = cpu_seconds();
    double start = now_seconds();
    // The listing is part of the measurement: a run cannot do without it.
    std::vector<Pair> pairs;
    std::vector<std::string> folders;
    list_pairs(source, destination, pairs, folders);
    if (copy) {
        for (const auto& folder : folders)
            CreateDirectoryA(folder.c_str(), nullptr);
    }
    std::size_t failures = 0;
    auto each_pair = [&] {
        for (const auto& p : pairs) {
            bool ok;
            if (copy) {
                std::string temp = p.destination.substr(0, p.destination.rfind('\\')) + "\\~probe.tmp";
                ok = CopyFileA(p.source.c_str(), temp.c_str(), FALSE) &&
                     MoveFileExA(temp.c_str(), p.destination.c_str(), MOVEFILE_REPLACE_EXISTING);
            } else if (rename) {
                std::string aside = p.destination + "~aside";
                ok = MoveFileExA(p.destination.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING) &&
                     MoveFileExA(aside.c_str(), p.destination.c_str(), 0);
            } else {
                ok = open ? probe_open(p) : probe_attributes(p);
            }
            failures += ok ? 0 : 1;
        }
    };
    if (worker)
        on_worker_thread(each_pair);
    else
        each_pair();
    double seconds = now_seconds() - start;
    cpu = cpu_seconds() - cpu;
    if (failures) {
        std::fprintf(stderr, "run_bench: %s failed on %u files\n", what, static_cast<unsigned>(failures));
        return 1;
    }
    print_figures(what, seconds, files, bytes, cpu);
    return 0;
}

// The walk, the saves and the loads of the tables of one tree, each timed on
// its own; the peak resident size is the whole process's.
int run_tables(const char* tree, const char* flat, const char* work)
{
    Engine engine;
    int messages = 0;
    engine.notifier.show_message = [&messages](const char*, const char*, MessageKind, MessageOwner) { ++messages; };
    // As the step walks a tree: with the entry's backup folder to leave out
    // (outside the tree, as mostly).
    const std::string backup = std::string(work) + "\\backup";
    double start = now_seconds();
    walk_folders(engine.folders, engine.notifier, tree, std::strlen(tree), nullptr, nullptr, backup.c_str());
    double walk = now_seconds() - start;
    start = now_seconds();
    walk_files(engine.files, flat, std::strlen(flat));
    double list = now_seconds() - start;

    copy_field(engine.workdir.path, work);
    start = now_seconds();
    save_folder_table(engine, "folder.ini");
    save_file_table(engine, "file.ini");
    double save = now_seconds() - start;

    Engine loaded;
    copy_field(loaded.workdir.path, work);
    start = now_seconds();
    load_folder_table(loaded, "folder.ini");
    load_file_table(loaded, "file.ini");
    double load = now_seconds() - start;

    if (messages != 0 || loaded.folders.count() != engine.folders.count() ||
        loaded.files.count() != engine.files.count() ||
        format_folder_table(loaded.folders) != format_folder_table(engine.folders)) {
        std::fprintf(stderr, "run_bench: the tables did not come back whole (%d messages)\n", messages);
        return 1;
    }
    std::printf("bench=tables folders=%d files=%d walk=%.3f list=%.3f save=%.3f load=%.3f peak=%llu\n",
                engine.folders.count(), engine.files.count(), walk, list, save, load, peak_resident());
    return 0;
}

// Seconds spent in each kind of call, summed over the tree.
struct CallClock {
    std::vector<std::pair<std::string, double>> totals;
    template <typename F>
    auto time(const char* what, F&& call) -> decltype(call())
    {
        double start = now_seconds();
        auto result = call();
        double spent = now_seconds() - start;
        for (auto& t : totals) {
            if (t.first == what) {
                t.second += spent;
                return result;
            }
        }
        totals.emplace_back(what, spent);
        return result;
    }
    void print(const char* pass, std::size_t files) const
    {
        for (const auto& t : totals)
            std::printf("call pass=%s what=%s us_per_file=%.1f\n", pass, t.first.c_str(),
                        t.second * 1e6 / static_cast<double>(files));
    }
};

// The calls of copy_continuous and check_destination one by one, as a step
// makes them, so that their costs under Wine can be told apart.
int profile_calls(const char* source, const char* destination)
{
    std::vector<Pair> pairs;
    std::vector<std::string> folders;
    list_pairs(source, destination, pairs, folders);
    const DWORD flags = FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL;
    auto open = [&](const std::string& path) {
        return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags, nullptr);
    };
    for (int pass = 0; pass < 2; ++pass) {
        CallClock clock;
        std::string checked;
        for (const auto& p : pairs) {
            std::string folder = p.destination.substr(0, p.destination.rfind('\\'));
            if (folder != checked) {
                clock.time("SetCurrentDirectoryA(destination folder)",
                           [&] { return SetCurrentDirectoryA(folder.c_str()); }) ||
                    clock.time("CreateDirectoryA", [&] { return CreateDirectoryA(folder.c_str(), nullptr); });
                clock.time("GetFileAttributesA(destination folder)",
                           [&] { return GetFileAttributesA(folder.c_str()); });
                checked = folder;
            }
            HANDLE s = clock.time("CreateFileA(source)", [&] { return open(p.source); });
            HANDLE d = clock.time("CreateFileA(destination)", [&] { return open(p.destination); });
            FILETIME c, a, w;
            if (d != INVALID_HANDLE_VALUE) {
                clock.time("GetFileTime x2", [&] { return GetFileTime(s, &c, &a, &w) && GetFileTime(d, &c, &a, &w); });
                clock.time("CloseHandle(destination)", [&] { return CloseHandle(d); });
            }
            clock.time("CloseHandle(source)", [&] { return CloseHandle(s); });
            WIN32_FILE_ATTRIBUTE_DATA attributes;
            clock.time("GetFileAttributesExA(destination)", [&] {
                return GetFileAttributesExA(p.destination.c_str(), GetFileExInfoStandard, &attributes);
            });
            if (pass == 0) {
                std::string temp = folder + "\\~qsv$.tmp";
                clock.time("CopyFileA(source, temporary)",
                           [&] { return CopyFileA(p.source.c_str(), temp.c_str(), FALSE); });
                clock.time("MoveFileExA(temporary, destination)", [&] {
                    return MoveFileExA(temp.c_str(), p.destination.c_str(), MOVEFILE_REPLACE_EXISTING);
                });
            }
        }
        for (const auto& folder : folders) {
            std::string from = source + folder.substr(std::strlen(destination));
            clock.time("FindFirstFileA..FindClose per folder (source)", [&] {
                WIN32_FIND_DATAA data;
                HANDLE find = FindFirstFileA((from + "\\*").c_str(), &data);
                if (find == INVALID_HANDLE_VALUE)
                    return 0;
                while (FindNextFileA(find, &data)) {
                }
                return FindClose(find);
            });
        }
        clock.print(pass == 0 ? "fresh" : "noop", pairs.size());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "empty") == 0) {
        print_figures("empty", 0, 0, 0, cpu_seconds());
        return 0;
    }
    if (argc == 5 && std::strcmp(argv[1], "tables") == 0)
        return run_tables(argv[2], argv[3], argv[4]);
    if (argc == 5 && std::strcmp(argv[1], "protect") == 0)
        return run_protect(argv[2], argv[3], std::atoi(argv[4]));
    if (argc == 5 && std::strcmp(argv[1], "idle") == 0)
        return run_idle(argv[2], argv[3], std::atoi(argv[4]));
    if (argc != 4) {
        std::fprintf(stderr, "usage: run_bench noop|fresh|standby|probe-open|probe-attr|probe-copy SRC DST\n"
                             "       run_bench tables TREE FLAT WORK\n"
                             "       run_bench empty\n");
        return 2;
    }
    std::string what = argv[1];
    if (what == "noop" || what == "fresh" || what == "replace" || what == "replace-keep" || what == "standby-pass")
        return run_pass(argv[1], argv[2], argv[3]);
    if (what == "standby")
        return run_standby(argv[2], argv[3]);
    if (what == "calls")
        return profile_calls(argv[2], argv[3]);
    if (what.compare(0, 6, "probe-") == 0)
        return run_probe(argv[1], argv[2], argv[3]);
    std::fprintf(stderr, "run_bench: unknown measurement %s\n", argv[1]);
    return 2;
}
