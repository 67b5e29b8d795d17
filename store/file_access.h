// Opening, reading and replacing the program's files on Win32, with the
// messages the file Parts show. Each call first makes the working directory
// current again, so relative names land beside the program's other files;
// file names are shown as passed in.
#pragma once
#include <cstddef>
#include <functional>
#include <string>

#include "store/formats.h"

struct Engine;

enum class OpenMode {
    create_missing,  // OPEN_ALWAYS: a missing file is created empty
    must_exist,      // OPEN_EXISTING: a missing file is an open failure
};

// A name without a drive or a leading "\" is one of the program's own files,
// found in the working folder.
bool names_program_file(const char* file_name);

enum class ReadOutcome {
    read,        // opened and read to its end
    missing,     // not there (with create_missing: and it could not be made)
    unreadable,  // there, but it could not be opened, or a read failed
};

// Opens the file and hands `read` a source over it. Shows the open failure
// ("%sのﾌｧｲﾙが開けません") when it cannot be opened; shows the close failure
// when closing fails. A failing read ends the source as the end of the file
// does, without a message, and gives unreadable.
ReadOutcome read_program_file(Engine& engine, const char* file_name, OpenMode mode,
                              const std::function<void(const ByteSource&)>& read);

// Writes the bytes to "<file_name>.tmp" beside the file and moves that over
// the file only when every byte is written and the handle closed, so a
// failure at any point leaves the old file whole. A program file is never
// written elsewhere: when the working folder cannot be entered, nothing is
// written and the open failure is shown. A temporary file that
// cannot be created or moved into place shows the open failure, a failing
// close the close failure; a failing write is silent, by design.
// Returns true when the file was replaced.
bool write_program_file(Engine& engine, const char* file_name, const std::string& bytes);
// DeleteFileA on the file, for a list or table with nothing to write; a
// program file only from within the working folder, or not at all.
bool delete_program_file(Engine& engine, const char* file_name);
