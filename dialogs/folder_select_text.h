// Text rules of the folder selection dialog, the program's own browser for
// Add selected. No operating system here, so they are tested natively. Every
// rule reads Shift-JIS by characters: a 0x5C or a "." can never be the second
// byte of a double-byte character, and a trail 0x5C (ソ, 表) is no separator.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/text.h"

// A drive row as the dialog lists it: a letter, ":" and "\" (d:\).
bool is_drive_item(const char* text);

// The drive rows are listed at a root: a drive root (any text of three
// bytes, as "C:\") or a share root ("\\nas\backup", with or without its
// "\"), which has no level above it to go back to a drive by.
bool lists_drives(const char* folder);

// Up one level: the folder is cut at its last separator, and a bare drive
// that is left ("C:") becomes its root again ("C:\"). A share root
// ("\\nas\backup") is the top as a drive root is. A folder without a
// separator, or a network path without a usable root, stays as it is.
void cut_to_parent(char (&folder)[kFieldSize]);

// A name with a "." among its last `characters` characters (among all of
// them when it is shorter): the dialog refuses to move into such a name.
bool has_dot_near_end(const char* name, std::size_t characters);

// The folder a double click on a folder row moves into: a drive letter alone
// gets ":\", a folder that ends in a separator (a drive root) gets nothing,
// any other gets "\", then the name. False, with folder unchanged, when the
// result would exceed 259 bytes.
bool enter_folder(char (&folder)[kFieldSize], const char* name);

// The folder that confirming a row of the destination mode chooses: a drive
// row is itself, any other row is the shown folder joined with its name.
// False, with out empty, when the path would exceed 259 bytes.
bool chosen_folder(char (&out)[kFieldSize], const char* shown_folder, const char* item);

// The item list's texts: the local last-write time as year/month/day
// hour:minute with a four-digit year, and a size in decimal.
void format_item_time(char (&out)[32], int year, int month, int day, int hour, int minute);
void format_item_size(char (&out)[32], std::uint64_t size);
