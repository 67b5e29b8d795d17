// Two spellings of one folder, told apart from two folders without an
// operating system: the part of the comparison that is only text. What
// Windows alone knows (the current folder, short names, the case of a name
// on disk) is resolved before, in the walk.
#pragma once
#include <cstddef>
#include <string>

#include "base/text.h"

// The one spelling that every spelling of an absolute folder path comes to:
// its root ("R:" for "R:", "R:\" and "r:\\"; "\\SERVER\SHARE" for a share),
// then "\" and each name. Names and separators are read by characters, so
// the 0x5C of ソ or 表 stays inside its name and the one after 書 (8F 91)
// is a separator; runs of separators count as one, a trailing one as none;
// "." is no name, and ".." takes the name before it away (never the root).
// ASCII letters are upper case; the bytes of double-byte characters are kept.
std::string folder_key(const char* path, std::size_t len);
std::string folder_key(const char* path);

// Where the last name of a key begins (after its last separator; 0 when it
// has none).
std::size_t last_name_start(const std::string& key);

// Whether name (as listed) is the name a key holds, in its key spelling:
// ASCII letters without regard to case, double-byte characters byte for
// byte.
bool name_matches(const char* name, std::size_t len, const char* key_name, std::size_t key_len);

// Whether the folder of key is the folder of top or below it (both keys).
bool key_within(const std::string& key, const std::string& top);
