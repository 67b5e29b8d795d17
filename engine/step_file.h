// The copy of one file within a backup step and what it came to; the entry
// steps (backup_step.cpp) move the run position on from it.
#pragma once
#include <string>

#include "engine/copy_result.h"
#include "engine/report.h"
#include "engine/tables.h"

struct Engine;

// The system's code the step gives itself (winerror.h).
constexpr unsigned long kPathNotFound = 3;

// What a file's step came to: the result, and why when it is no success.
struct Outcome {
    CopyResult result = copy_done;
    Failure why;
    bool passed = false;  // failed its last try: passed, the run goes on
    bool copied = false;  // done, and a backup was written (not up to date)
};

// What the worker's pause after a step follows.
struct StepEnd {
    bool kept_to_retry = false;  // the step's file failed and is kept for a next try
    bool copied = false;         // the step copied a file
};
// The end of a step of the pass whose file came to out.
StepEnd step_end_of(const Outcome& out);

// Publishes the pair, makes the destination's folders, copies the file the
// way the run's mode asks, and settles the outcome into the pass.
// entry_name: a single-file entry's file, null for a tree. listed_size: what
// the folder's listing gave, or kSizeNotListed.
Outcome copy_one_file(Engine& engine, int row, const char* source_folder, const char* destination_folder,
                      const char* relative, const char* name, const char* entry_source, const char* entry_name,
                      std::uint64_t listed_size);

// The same for a file the watch of a standby run brings forward, ahead of
// the pass: by the same rules, into the pass's tally when it is copied, but
// a failure is left to the pass (no try counted, nothing told, nothing
// missed), which reaches the file in its turn, so it is never kept to
// retry. Its last chunk goes into place before the pause that follows it,
// not after.
Outcome copy_changed_file(Engine& engine, int row, const char* source_folder, const char* destination_folder,
                          const char* relative, const char* name, const char* entry_source, const char* entry_name);

// Whether the run moves on from the file: done, unreadable, or passed.
bool moves_on(const Outcome& out);
// Raises error_pending for a kept failure, unless rw_error_mode is 0.
void note_error(Engine& engine, const Outcome& out);

// The file's path as the report names it, also when it is too long to use.
std::string reported_path(const char* folder, const char* name);
// Old versions past their days go as the pass reaches their folder.
void prune_versions_of(Engine& engine, const char* destination_folder, const char* relative);
