// The memory a copy is about to write into, made equal for every side of a
// comparison.
//
// On the virtual machine these benches run on, memory that has stayed free
// for a few seconds is taken back by the host, and the first writes into it
// are about six times slower: a bare CopyFileA of 256 MiB files into a tmpfs
// took 0.15 s per file right after the previous copy's files were deleted,
// and 0.8 s per file when it started ten seconds later. A real program
// starts up for a second or two before its copy begins, a console probe for
// a tenth, so without this the side that starts slower copies into colder
// memory. Each side therefore writes and deletes as many bytes as it is about
// to copy, in a memory file system, just before its clock starts.
#pragma once
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "base/handle_win.h"

namespace warm_detail {

inline void write_and_delete(const std::string& path, unsigned long long bytes)
{
    ScopedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE,
                                  nullptr));
    if (!file.valid())
        return;
    std::vector<char> chunk(1 << 20, 1);
    for (unsigned long long done = 0; done < bytes; done += chunk.size()) {
        DWORD written = 0;
        if (!WriteFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &written, nullptr))
            break;
    }
}

// What the kernel has handed back to the host so far, in KiB; -1 where the
// kernel does not tell it.
inline long long reported_kib()
{
    ScopedHandle file(CreateFileA("Z:\\sys\\module\\page_reporting\\parameters\\reported_kib", GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    char text[32] = {};
    DWORD got = 0;
    if (!file.valid() || !ReadFile(file.get(), text, sizeof text - 1, &got, nullptr) || got == 0)
        return -1;
    return std::atoll(text);
}

// The kernel hands free memory back in passes about two seconds apart, a
// few hundred KiB to 128 MiB each, and a copy that a pass overlaps was
// slowed two to three times (1.1 to 1.4 s for 1 GiB where 0.4 s was the
// rule), whichever side made it. So the warming and the clock start just
// after a pass, and a copy of a second or less sees none. Where no pass
// comes within the period, none is pending.
inline void wait_for_memory_pass()
{
    long long before = reported_kib();
    if (before < 0)
        return;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 2500;) {
        Sleep(2);
        if (reported_kib() != before) {
            Sleep(40);  // a pass comes in bursts a few milliseconds apart
            return;
        }
    }
}

}  // namespace warm_detail

// QS_BENCH_WARM_DIR: a folder on a memory file system; without it nothing is
// done.
//
// The kernel keeps the pages a processor freed in a list of that processor's
// own (up to 450 MiB each here), and hands them out again only to copies
// made on it: warmed on one processor, a copy made on the other (the
// program's worker, a probe's second thread) still wrote into cold memory.
// The run's 1 GiB took 0.43 to 1.14 s (median 0.85) warmed on one processor
// and 0.42 to 0.53 s (median 0.50) warmed on both. So the memory is warmed
// on every processor the process may run on, one after the other.
inline void warm_memory(unsigned long long bytes)
{
    const char* folder = std::getenv("QS_BENCH_WARM_DIR");
    if (folder == nullptr || folder[0] == 0)
        return;
    std::string path = std::string(folder) + "\\~warm-" + std::to_string(GetCurrentProcessId()) + ".tmp";
    warm_detail::wait_for_memory_pass();
    DWORD_PTR process_mask = 0, system_mask = 0;
    if (!GetProcessAffinityMask(GetCurrentProcess(), &process_mask, &system_mask) || process_mask == 0) {
        warm_detail::write_and_delete(path, bytes);
        return;
    }
    HANDLE self = GetCurrentThread();
    for (DWORD_PTR one = 1; one != 0; one <<= 1) {
        if ((process_mask & one) != 0 && SetThreadAffinityMask(self, one) != 0)
            warm_detail::write_and_delete(path, bytes);
    }
    SetThreadAffinityMask(self, process_mask);
}
