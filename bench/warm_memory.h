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

// QS_BENCH_WARM_DIR: a folder on a memory file system; without it nothing is
// done.
inline void warm_memory(unsigned long long bytes)
{
    const char* folder = std::getenv("QS_BENCH_WARM_DIR");
    if (folder == nullptr || folder[0] == 0)
        return;
    std::string path = std::string(folder) + "\\~warm-" + std::to_string(GetCurrentProcessId()) + ".tmp";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    std::vector<char> chunk(1 << 20, 1);
    for (unsigned long long done = 0; done < bytes; done += chunk.size()) {
        DWORD written = 0;
        if (!WriteFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &written, nullptr))
            break;
    }
    CloseHandle(file);
}
