// The ".csv" rule of the list dialogs.
#include <cstring>

#include "store/formats.h"

bool force_csv_extension(char (&path)[kFieldSize])
{
    const void* zero = std::memchr(path, 0, kFieldSize);
    std::size_t len = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - path) : kMaxText;
    // Walk by characters: a 0x5C that is the second byte of ソ or 表 is not
    // a separator, and "." is never a second byte. Each separator forgets the
    // dots of the folders before it.
    std::size_t cut = len;
    for (std::size_t i = 0; i < len; ++i) {
        unsigned char b = static_cast<unsigned char>(path[i]);
        if (is_lead_byte(b) && i + 1 < len)
            ++i;
        else if (b == '\\')
            cut = len;
        else if (b == '.')
            cut = i;
    }
    static const char kExtension[] = ".csv";
    if (cut + sizeof kExtension - 1 > kMaxText)
        return false;
    std::memcpy(path + cut, kExtension, sizeof kExtension);
    return true;
}
