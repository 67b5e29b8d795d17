// List files from arbitrary bytes: rows read in any pieces are the same, no
// cell overflows, and the list read is written in a form that reads back
// byte for byte (quoting included). Single lines also go to parse_list_line.
#include <cstdint>
#include <string>

#include "engine/backup_list.h"
#include "store/formats.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    std::size_t chunk = size ? data[0] % 29 : 0;

    BackupList list;
    read_list(list, memory_source(bytes, size, chunk));
    std::string written = format_list(list);

    BackupList whole;
    read_list(whole, memory_source(bytes, size));
    if (format_list(whole) != written)
        __builtin_trap();

    BackupList again;
    read_list(again, memory_source(written.data(), written.size()));
    if (list_row_count(again) != list_row_count(list) || format_list(again) != written)
        __builtin_trap();

    BackupList one;
    bool added = parse_list_line(one, 0, bytes, size);
    if (list_row_count(one) != (added ? 1 : 0))
        __builtin_trap();
    return 0;
}
