// Windows' own lists of what a backup leaves out, read from the registry:
// the files and folders named under BackupRestore\FilesNotToBackup, and the
// loaded registry hives (hivelist) with the logs Windows keeps open beside
// them. The rules that read a line live in engine/exclusions.h.
#pragma once
#include <vector>

#include "engine/exclusions.h"

// Read at each call, never cached, for the user may change the registry
// between two walks (a walk of a tree calls it once). A key that is missing
// or cannot be read gives nothing; a line that names no place is passed
// over.
std::vector<SystemExclusion> read_system_exclusions();
