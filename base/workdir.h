// The folder the program was started in. The four files of the program are
// opened by relative name, and file dialogs and the destination check move
// the process's current directory, so every load and save makes this folder
// current again first.
#pragma once
#include "base/text.h"

struct WorkingDirectory {
    char path[kFieldSize] = {};
};

// Records the process's current directory (at most 259 bytes).
void record_working_directory(WorkingDirectory& dir);
// SetCurrentDirectoryA on the recorded folder; does nothing while it is
// still empty (during the main window's creation). Returns false only when
// a recorded folder could not be entered.
bool make_working_directory_current(const WorkingDirectory& dir);
