#include "text.h"

#include <cstring>

bool is_lead_byte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool ends_in_separator(const char* text, std::size_t len)
{
    if (len == 0 || static_cast<unsigned char>(text[len - 1]) != 0x5C)
        return false;
    // Only the byte right before is looked at, as the file dialogs of the
    // platform do; a run of lead bytes before it is not re-parsed.
    return len == 1 || !is_lead_byte(static_cast<unsigned char>(text[len - 2]));
}

bool ends_in_separator(const char* text)
{
    return ends_in_separator(text, std::strlen(text));
}

std::size_t next_separator(const char* text, std::size_t len, std::size_t from)
{
    for (std::size_t i = from; i < len; ++i) {
        if (is_lead_byte(static_cast<unsigned char>(text[i])) && i + 1 < len)
            ++i;
        else if (text[i] == '\\')
            return i;
    }
    return len;
}

std::size_t last_character(const char* text, std::size_t len, char c)
{
    std::size_t found = len;
    for (std::size_t i = 0; i < len; ++i) {
        if (is_lead_byte(static_cast<unsigned char>(text[i])) && i + 1 < len)
            ++i;
        else if (text[i] == c)
            found = i;
    }
    return found;
}

std::size_t last_separator(const char* text, std::size_t len)
{
    return last_character(text, len, '\\');
}

std::size_t folder_part_length(const char* path, std::size_t len)
{
    std::size_t separator = last_separator(path, len);
    return separator == len ? 0 : separator + 1;
}

std::size_t folder_part_length(const char* path)
{
    return folder_part_length(path, std::strlen(path));
}

PathRoot path_root(const char* path, std::size_t len)
{
    if (len >= 2 && path[1] == ':' && !is_lead_byte(static_cast<unsigned char>(path[0])))
        return {RootKind::drive, 2};
    if (len < 2 || path[0] != '\\' || path[1] != '\\')
        return {RootKind::none, 0};
    std::size_t server_end = next_separator(path, len, 2);
    std::size_t server_len = server_end - 2;
    bool device = server_len == 1 && (path[2] == '?' || path[2] == '.');
    if (server_len == 0 || device || server_end == len)
        return {RootKind::unusable, 0};
    std::size_t share_end = next_separator(path, len, server_end + 1);
    if (share_end == server_end + 1)
        return {RootKind::unusable, 0};
    return {RootKind::share, share_end};
}

PathRoot path_root(const char* path)
{
    return path_root(path, std::strlen(path));
}

// Length of the longest prefix of src[0..len) within limit bytes that does
// not end inside a double-byte character.
static std::size_t fitting_prefix(const char* src, std::size_t len, std::size_t limit)
{
    std::size_t i = 0;
    while (i < len) {
        std::size_t width = is_lead_byte(static_cast<unsigned char>(src[i])) && i + 1 < len ? 2 : 1;
        if (i + width > limit)
            break;
        i += width;
    }
    return i;
}

bool copy_text(char* dst, std::size_t cap, const char* src, std::size_t len)
{
    if (cap == 0)
        return len == 0;
    const char* zero = static_cast<const char*>(std::memchr(src, 0, len));
    if (zero)
        len = static_cast<std::size_t>(zero - src);
    bool fits = len < cap;
    std::size_t n = fits ? len : fitting_prefix(src, len, cap - 1);
    std::memmove(dst, src, n);
    dst[n] = 0;
    return fits;
}

bool copy_text(char* dst, std::size_t cap, const char* src)
{
    return copy_text(dst, cap, src, std::strlen(src));
}

static bool concat(char (&out)[kFieldSize], const char* a, std::size_t alen, const char* sep,
                   std::size_t seplen, const char* b, std::size_t blen)
{
    if (alen + seplen + blen > kMaxText) {
        out[0] = 0;
        return false;
    }
    char tmp[kFieldSize];  // a or b may alias out
    std::memcpy(tmp, a, alen);
    std::memcpy(tmp + alen, sep, seplen);
    std::memcpy(tmp + alen + seplen, b, blen);
    tmp[alen + seplen + blen] = 0;
    std::memcpy(out, tmp, alen + seplen + blen + 1);
    return true;
}

bool join_path(char (&out)[kFieldSize], const char* folder, const char* name)
{
    std::size_t flen = std::strlen(folder);
    bool sep = !ends_in_separator(folder, flen);
    return concat(out, folder, flen, "\\", sep ? 1 : 0, name, std::strlen(name));
}

bool append_path(char (&out)[kFieldSize], const char* folder, const char* tail)
{
    return concat(out, folder, std::strlen(folder), "", 0, tail, std::strlen(tail));
}

std::int32_t atoi_compat(const char* text, std::size_t len)
{
    std::size_t i = 0;
    while (i < len && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < len && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::uint32_t value = 0;
    for (; i < len && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    if (negative)
        value = 0u - value;
    // Two's complement reinterpretation, well defined since C++20 and what
    // every compiler we use does before it.
    return static_cast<std::int32_t>(value);
}

std::int32_t atoi_compat(const char* text)
{
    return atoi_compat(text, std::strlen(text));
}

void clear_entry_buffer(EntryBuffer& buffer)
{
    std::memset(&buffer, 0, sizeof buffer);
}
