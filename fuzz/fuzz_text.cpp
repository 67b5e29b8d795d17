// The separator rule, the root of a path, the bounded joins and copies, and
// the number reader on arbitrary bytes: nothing may read or write past a
// buffer, and a join that succeeds must be exactly folder + (separator) + name.
#include <cstdint>
#include <cstring>
#include <string>

#include "base/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string input(reinterpret_cast<const char*>(data), size);
    (void)atoi_compat(input.data(), input.size());
    (void)atoi_compat(input.c_str());
    std::size_t cut = size ? data[0] % (size + 1) : 0;
    std::string folder = input.substr(0, cut), name = input.substr(cut);
    folder = folder.c_str();  // texts end at their first zero, as C strings do
    name = name.c_str();
    char out[kFieldSize];
    std::memset(out, 'x', sizeof out);
    bool sep = !ends_in_separator(folder.c_str());
    std::string expected = folder + (sep ? "\\" : "") + name;
    if (join_path(out, folder.c_str(), name.c_str())) {
        if (expected != out || expected.size() > kMaxText)
            __builtin_trap();
    } else if (expected.size() <= kMaxText || out[0] != 0) {
        __builtin_trap();
    }
    // A root lies within the text, and a share's is followed by a separator
    // or nothing.
    PathRoot root = path_root(input.data(), input.size());
    if (root.length > size || (root.kind == RootKind::share && root.length < size && input[root.length] != '\\'))
        __builtin_trap();
    char field[kFieldSize];
    bool fits = copy_field(field, input.c_str());
    std::size_t n = std::strlen(field);
    if (n > kMaxText || fits != (std::strlen(input.c_str()) <= kMaxText) ||
        std::memcmp(field, input.data(), n) != 0)
        __builtin_trap();
    return 0;
}
