// set.ini from arbitrary bytes, read in arbitrary pieces: no read or write
// past a field, every text field stays terminated within 259 bytes, and what
// was read is written as set.ini's lines that read back byte for byte.
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/run_state.h"
#include "engine/settings.h"
#include "engine/settings_table.h"
#include "store/formats.h"

namespace {

std::string read_and_write(const char* data, std::size_t size, std::size_t chunk)
{
    Settings settings{};
    ProgressState progress;
    reset_settings(settings, progress);
    read_settings(settings, progress, memory_source(data, size, chunk));
    for (const char* field : {settings.temp_backup, settings.temp_foler_a1, settings.temp_foler_a2, settings.file_folder,
                               settings.exclude})
        if (std::memchr(field, 0, kFieldSize) == nullptr)
            __builtin_trap();
    return format_settings(settings, progress);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::size_t chunk = size ? data[0] % 17 : 0;
    const char* bytes = reinterpret_cast<const char*>(data);
    std::string written = read_and_write(bytes, size, chunk);
    // How the reads are cut never changes what is read.
    if (read_and_write(bytes, size, 0) != written)
        __builtin_trap();
    if (read_and_write(written.data(), written.size(), 0) != written)
        __builtin_trap();
    return 0;
}
