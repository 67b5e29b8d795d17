// Shift-JIS aware text rules shared by every layer. No operating system here:
// this file is built into the program and natively for tests and fuzzers.
#pragma once
#include <cstddef>
#include <cstdint>

// Every path, list cell and settings text lives in a field of this size:
// at most 259 bytes of text and a terminating zero.
constexpr std::size_t kFieldSize = 260;
constexpr std::size_t kMaxText = kFieldSize - 1;

// First byte of a two-byte Shift-JIS character (0x81-0x9F, 0xE0-0xFC).
bool is_lead_byte(unsigned char b);

// True when the text's last byte is a path separator: 0x5C that is not the
// second byte of a double-byte character such as ソ (83 5C) or 表 (95 5C).
// A lone "\" ends in a separator; an empty text does not.
bool ends_in_separator(const char* text, std::size_t len);
bool ends_in_separator(const char* text);

// Where a path is cut, read by characters: a 0x5C that is the second byte of
// ソ or 表 is no separator, and a lead byte as the last byte is a character
// of its own. Offsets count from the start of text.
// The first separator at or after from (a character start); len when none.
std::size_t next_separator(const char* text, std::size_t len, std::size_t from);
// The last character c (a single-byte one: the separator, a "."); len when
// there is none.
std::size_t last_character(const char* text, std::size_t len, char c);
std::size_t last_separator(const char* text, std::size_t len);
// The folder part: up to and with the last separator; 0 when there is none.
std::size_t folder_part_length(const char* path, std::size_t len);
std::size_t folder_part_length(const char* path);

// Where a full path begins. A drive path's root is its drive ("C:", entered
// as "C:\"); a network path's root is "\\server\share", which only exists as
// a whole: the server and the share are no folders to enter or make one by
// one. Device and long-path forms ("\\?\", "\\.\") and a network path
// without a server or share name have no root the program can use. Names are
// read by characters, so a share or folder named ソ (83 5C) is one name.
enum class RootKind { none, drive, share, unusable };
struct PathRoot {
    RootKind kind;
    std::size_t length;  // bytes of the root, without the separator after it
};
PathRoot path_root(const char* path, std::size_t len);
PathRoot path_root(const char* path);

// Copies src (len bytes, or up to its zero) into dst of cap bytes, always
// zero-terminated. Returns false when the text did not fit; the copy then
// holds the longest prefix that fits without splitting a double-byte
// character.
bool copy_text(char* dst, std::size_t cap, const char* src, std::size_t len);
bool copy_text(char* dst, std::size_t cap, const char* src);
template <std::size_t N>
bool copy_field(char (&dst)[N], const char* src) { return copy_text(dst, N, src); }

// folder + "\" + name, with the separator left out when folder already ends
// in one. Returns false, leaving out empty, when the result would exceed 259
// bytes: a cut path would name another file.
bool join_path(char (&out)[kFieldSize], const char* folder, const char* name);
// folder + tail, no separator added (tail is a relative path that already
// begins with "\" or is empty). Same bound as join_path.
bool append_path(char (&out)[kFieldSize], const char* folder, const char* tail);

// atoi as the C library does it in the "C" locale: leading white space, an
// optional sign, decimal digits up to the first other byte, 0 without digits.
// Overflow wraps modulo 2^32 (the digits are accumulated as an unsigned
// 32-bit value and the sign applied to it), so "2147483648" reads as
// -2147483648 and "4294967297" as 1; never a trap.
std::int32_t atoi_compat(const char* text, std::size_t len);
std::int32_t atoi_compat(const char* text);

// The program's own entry clipboard: file name, source folder, destination.
struct EntryBuffer {
    char file_name[kFieldSize];
    char source[kFieldSize];
    char destination[kFieldSize];
};
void clear_entry_buffer(EntryBuffer& buffer);
