#include "dialogs/help_pages.h"

#include <cstring>

bool help_page_path(char (&out)[kFieldSize], const char* module_path, const char* page)
{
    out[0] = 0;
    std::size_t folder = folder_part_length(module_path);
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
