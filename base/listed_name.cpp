#include "base/listed_name.h"

#include <cstring>

bool is_unreachable_name(const char* text)
{
    return std::strpbrk(text, "?*") != nullptr;
}

bool held_exactly(const NameConversion& name)
{
    std::size_t len = std::strlen(name.text);
    return len > 0 && len <= kMaxText && !name.used_default && name.same_back && !is_unreachable_name(name.text);
}

NameReach reach_name(char (&out)[kFieldSize], const NameConversion& own, const NameConversion& short_name)
{
    if (held_exactly(own)) {
        copy_field(out, own.text);
        return NameReach::own_name;
    }
    if (held_exactly(short_name)) {
        copy_field(out, short_name.text);
        return NameReach::short_name;
    }
    // Kept readable for the tables and the folder display; a best-fit text
    // without "?" gets one in front, so it can never pass for a name.
    copy_field(out, own.text);
    if (!is_unreachable_name(out)) {
        out[0] = '?';
        copy_text(out + 1, kFieldSize - 1, own.text);
    }
    return NameReach::none;
}
