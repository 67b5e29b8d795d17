// folder.ini and file.ini from arbitrary bytes: the count stays within the
// 5000 records, texts stay terminated, and the tables read are written in a
// form that reads back byte for byte.
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/tables.h"
#include "store/formats.h"

namespace {

// One table of each kind, allocated once: each holds 5000 records.
FolderTable g_folders, g_folders_again;
FileTable g_files, g_files_again;

void check_terminated(const char* field)
{
    if (std::memchr(field, 0, kFieldSize) == nullptr)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    std::size_t chunk = size ? data[0] % 13 : 0;

    read_folder_table(g_folders, memory_source(bytes, size, chunk));
    if (g_folders.count < 0 || g_folders.count > kTableCapacity)
        __builtin_trap();
    for (int i = 0; i < g_folders.count; ++i) {
        check_terminated(g_folders.records[i].full_path);
        check_terminated(g_folders.records[i].relative_path);
    }
    std::string folders = format_folder_table(g_folders);
    read_folder_table(g_folders_again, memory_source(folders.data(), folders.size()));
    if (g_folders_again.count != g_folders.count || format_folder_table(g_folders_again) != folders)
        __builtin_trap();

    read_file_table(g_files, memory_source(bytes, size, chunk));
    if (g_files.count < 0 || g_files.count > kTableCapacity)
        __builtin_trap();
    for (int i = 0; i < g_files.count; ++i)
        check_terminated(g_files.records[i].file_name);
    std::string files = format_file_table(g_files);
    read_file_table(g_files_again, memory_source(files.data(), files.size()));
    if (g_files_again.count != g_files.count || format_file_table(g_files_again) != files)
        __builtin_trap();
    return 0;
}
