#include "engine/folder_key.h"

#include <cstring>
#include <vector>

namespace {

char folded(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Appends text folded by characters: the second byte of a double-byte
// character is never an ASCII letter to fold.
void append_folded(std::string& out, const char* text, std::size_t len)
{
    for (std::size_t i = 0; i < len; ++i) {
        if (is_lead_byte(static_cast<unsigned char>(text[i])) && i + 1 < len) {
            out.append(text + i, 2);
            ++i;
            continue;
        }
        out += folded(text[i]);
    }
}

bool is_name(const char* text, std::size_t len, const char* name)
{
    return len == std::strlen(name) && std::memcmp(text, name, len) == 0;
}

}  // namespace

std::string folder_key(const char* path, std::size_t len)
{
    PathRoot root = path_root(path, len);
    std::size_t from = root.kind == RootKind::drive || root.kind == RootKind::share ? root.length : 0;
    std::string key;
    key.reserve(len);
    append_folded(key, path, from);
    // The offsets in key where each name's separator begins, for "..".
    std::vector<std::size_t> names;
    while (from < len) {
        std::size_t end = next_separator(path, len, from);
        std::size_t name_len = end - from;
        if (name_len == 0 || is_name(path + from, name_len, ".")) {
            // nothing: a run of separators, or the folder itself
        } else if (is_name(path + from, name_len, "..")) {
            if (!names.empty()) {
                key.resize(names.back());
                names.pop_back();
            }
        } else {
            names.push_back(key.size());
            if (!key.empty() || root.kind != RootKind::none || from > 0)
                key += '\\';
            append_folded(key, path + from, name_len);
        }
        from = end + 1;
    }
    return key;
}

std::string folder_key(const char* path)
{
    return folder_key(path, std::strlen(path));
}

std::size_t last_name_start(const std::string& key)
{
    return folder_part_length(key.c_str(), key.size());
}

bool name_matches(const char* name, std::size_t len, const char* key_name, std::size_t key_len)
{
    if (len != key_len)
        return false;
    for (std::size_t i = 0; i < len; ++i) {
        if (is_lead_byte(static_cast<unsigned char>(name[i])) && i + 1 < len) {
            if (name[i] != key_name[i] || name[i + 1] != key_name[i + 1])
                return false;
            ++i;
            continue;
        }
        if (folded(name[i]) != key_name[i])
            return false;
    }
    return true;
}

bool key_within(const std::string& key, const std::string& top)
{
    if (key.size() < top.size() || key.compare(0, top.size(), top) != 0)
        return false;
    return key.size() == top.size() || key[top.size()] == '\\';
}
