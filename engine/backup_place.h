// A backup put in place over the one it replaces, which is kept as an old
// version first when the settings keep versions; on any failure the old
// backup stays where it was.
#pragma once
#include "base/safe_replace.h"
#include "engine/copy_result.h"

// A file becomes an old version: a rename within its volume, no byte
// copied, to keep_as or, when that name is taken, the first free " (2)",
// " (3)"... False with the system's error when it could not be kept.
bool keep_old_backup(const char* file, const char* keep_as);

// Moves the whole temporary file over a backup, the old backup kept as
// keep_as first when that is given (detail.kept_version tells whether it
// was). A read-only old backup is made writable and tried again, and gets
// its attributes back when it could not be replaced after all. On failure
// the temporary file is removed and a kept old backup goes back in place.
bool put_backup_in_place(const char* temp, const char* destination, const char* keep_as, CopyDetail& detail);
// The same, but a temporary file that could not be put in place is left
// whole to the caller: the standby copy keeps it for the next try.
bool put_backup_in_place_keeping_temp(const char* temp, const char* destination, const char* keep_as,
                                      CopyDetail& detail);
