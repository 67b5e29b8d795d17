#include "store/help_pages.h"

#include <cstring>

namespace {

// Length of the folder part of path, its last separator included; 0 when it
// has none.
std::size_t folder_length(const char* path)
{
    std::size_t folder = 0;
    for (std::size_t i = 0; path[i] != 0; ++i) {
        if (is_lead_byte(static_cast<unsigned char>(path[i])) && path[i + 1] != 0)
            ++i;
        else if (path[i] == '\\')
            folder = i + 1;
    }
    return folder;
}

}  // namespace

bool help_page_path(char (&out)[kFieldSize], const char* module_path, const char* page)
{
    out[0] = 0;
    std::size_t folder = folder_length(module_path);
    if (folder == 0 || folder > kMaxText)
        return false;
    char base[kFieldSize];
    std::memcpy(base, module_path, folder);
    base[folder] = 0;
    char help[kFieldSize];
    if (!append_path(help, base, "help") || !join_path(out, help, page)) {
        out[0] = 0;
        return false;
    }
    return true;
}
