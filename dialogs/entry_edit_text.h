// Text rules of the entry edit dialog's file browser. No operating system
// here, so they are tested natively.
#pragma once
#include <cstddef>

#include "base/text.h"

// The path the file browser opens on: the folder, the separator rule, the
// name, and ".txt" when the whole path holds no dot, so that a bare name
// opens as a text file of that folder. Returns false with out empty when the
// path would exceed 259 bytes: the browser then opens on no name rather than
// on a cut one that names another file.
bool initial_browse_path(char (&out)[kFieldSize], const char* folder, const char* name);

// Splits the path the browser returned at its file-name offset: the name from
// the offset on, the folder up to it with its trailing backslash kept
// ("C:\data\", "C:\"). An offset past the end gives the whole path as folder.
void split_picked_path(const char* path, std::size_t name_offset, char (&name)[kFieldSize],
                       char (&folder)[kFieldSize]);
