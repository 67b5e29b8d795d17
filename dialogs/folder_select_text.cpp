// Text rules of the folder selection dialog.
#include "dialogs/folder_select_text.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Byte offsets at which the characters of a Shift-JIS text begin. A lead
// byte as the last byte counts as a character of its own.
std::vector<std::size_t> character_starts(const char* text, std::size_t len)
{
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < len;) {
        starts.push_back(i);
        i += is_lead_byte(static_cast<unsigned char>(text[i])) && i + 1 < len ? 2 : 1;
    }
    return starts;
}

}  // namespace

bool is_drive_item(const char* text)
{
    return std::strlen(text) == 3 && text[1] == ':' && text[2] == '\\';
}

bool lists_drives(const char* folder)
{
    std::size_t len = std::strlen(folder);
    PathRoot root = path_root(folder, len);
    bool share_root = root.kind == RootKind::share && (root.length == len || root.length + 1 == len);
    return len == 3 || share_root;
}

void cut_to_parent(char (&folder)[kFieldSize])
{
    std::size_t len = std::strlen(folder);
    PathRoot root = path_root(folder, len);
    if (root.kind == RootKind::unusable)
        return;  // no level of it can be listed, so none above it either
    std::size_t cut = last_separator(folder, len);
    if (cut == len)
        return;
    if (root.kind == RootKind::share && cut <= root.length) {
        folder[root.length] = 0;  // the server alone is no folder to list
        return;
    }
    folder[cut] = 0;
    if (cut == 2) {
        folder[2] = '\\';
        folder[3] = 0;
    }
}

bool has_dot_near_end(const char* name, std::size_t characters)
{
    std::size_t len = std::strlen(name);
    std::vector<std::size_t> starts = character_starts(name, len);
    std::size_t first = starts.size() > characters ? starts.size() - characters : 0;
    for (std::size_t i = first; i < starts.size(); ++i)
        if (name[starts[i]] == '.')
            return true;
    return false;
}

bool enter_folder(char (&folder)[kFieldSize], const char* name)
{
    std::size_t len = std::strlen(folder);
    const char* separator = len == 1 ? ":\\" : ends_in_separator(folder, len) ? "" : "\\";
    std::size_t total = len + std::strlen(separator) + std::strlen(name);
    if (total > kMaxText)
        return false;
    std::strcat(folder, separator);
    std::strcat(folder, name);
    return true;
}

bool chosen_folder(char (&out)[kFieldSize], const char* shown_folder, const char* item)
{
    if (is_drive_item(item))
        return copy_field(out, item);
    return join_path(out, shown_folder, item);
}

void format_item_time(char (&out)[32], int year, int month, int day, int hour, int minute)
{
    std::snprintf(out, sizeof out, "%02d/%02d/%02d %02d:%02d", year, month, day, hour, minute);
}

void format_item_size(char (&out)[32], std::uint64_t size)
{
    std::snprintf(out, sizeof out, "%llu", static_cast<unsigned long long>(size));
}
