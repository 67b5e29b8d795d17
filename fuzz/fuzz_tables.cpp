// folder.ini and file.ini from arbitrary bytes: the count stays within the
// tables' limit, no text is longer than 259 bytes or holds a zero byte, and
// the tables read are written in a form that reads back byte for byte.
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/tables.h"
#include "store/formats.h"

namespace {

// A limit small enough that inputs of the fuzzer's size reach it.
constexpr int kFuzzLimit = 64;

void check_text(const std::string& text)
{
    if (text.size() > kMaxText || std::memchr(text.data(), 0, text.size()) != nullptr)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    std::size_t chunk = size ? data[0] % 13 : 0;
    // Every other input reads under the program's own limit.
    int limit = size && (data[size - 1] & 1) ? kFuzzLimit : kTableLimit;

    FolderTable folders, folders_again;
    folders.limit = limit;
    read_folder_table(folders, memory_source(bytes, size, chunk));
    if (folders.count() > limit)
        __builtin_trap();
    for (const FolderRecord& r : folders.records) {
        check_text(r.full_path);
        check_text(r.relative_path);
    }
    std::string folder_bytes = format_folder_table(folders);
    read_folder_table(folders_again, memory_source(folder_bytes.data(), folder_bytes.size()));
    if (folders_again.count() != folders.count() || format_folder_table(folders_again) != folder_bytes)
        __builtin_trap();

    FileTable files, files_again;
    files.limit = limit;
    read_file_table(files, memory_source(bytes, size, chunk));
    if (files.count() > limit)
        __builtin_trap();
    for (const FileRecord& r : files.records)
        check_text(r.file_name);
    std::string file_bytes = format_file_table(files);
    read_file_table(files_again, memory_source(file_bytes.data(), file_bytes.size()));
    if (files_again.count() != files.count() || format_file_table(files_again) != file_bytes)
        __builtin_trap();
    return 0;
}
