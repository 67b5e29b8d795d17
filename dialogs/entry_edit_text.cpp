// Text rules of the entry edit dialog's file browser.
#include "dialogs/entry_edit_text.h"

#include <cstring>

bool initial_browse_path(char (&out)[kFieldSize], const char* folder, const char* name)
{
    if (!join_path(out, folder, name))
        return false;
    // A "." is never the second byte of a Shift-JIS character, so a plain
    // byte search is exact.
    if (std::strchr(out, '.') != nullptr)
        return true;
    std::size_t len = std::strlen(out);
    if (len + 4 > kMaxText) {
        out[0] = 0;
        return false;
    }
    std::memcpy(out + len, ".txt", 5);
    return true;
}

void split_picked_path(const char* path, std::size_t name_offset, char (&name)[kFieldSize],
                       char (&folder)[kFieldSize])
{
    std::size_t len = std::strlen(path);
    if (name_offset > len)
        name_offset = len;
    copy_text(folder, kFieldSize, path, name_offset);
    copy_field(name, path + name_offset);
}
