// What a copy is asked to do and what it comes to: the request a step makes
// of the standby or the continuous copy, and the outcome it gets back.
#pragma once
#include <cstdint>

#include "engine/backup_names.h"

enum CopyResult {
    copy_done = 0,           // "完"  copied, or up to date and left alone
    copy_read_error = 1,     // "読e" source cannot be opened (or read)
    copy_create_error = 2,   // "作e" destination cannot be created
    copy_write_error = 3,    // "書e" writing the destination failed
    copy_stopped = 4,        // "終"  the run was stopped during the copy
    copy_folder_error = 5,   // "棚e" destination folders cannot be made
};

// Status text of a result, as written into the file status column; empty
// for a number that is no result.
const char* copy_result_text(int result);

// What a copy did beyond its result, for the report: whether it wrote a
// backup (not up to date), how many bytes, and on a failure the system's
// error code of the call that failed (0 when none is known).
struct CopyDetail {
    bool copied = false;
    // The bytes a standby copy read (bytes_known); the continuous copy
    // leaves them to the listing, which saw the size without a call.
    bool bytes_known = false;
    std::uint64_t bytes = 0;
    unsigned long error = 0;
    bool replaced = false;      // an old backup was there and was replaced
    bool kept_version = false;  // it went to the folder of old versions
    // Why a backup that was to be kept as an old version could not be (the
    // system's code); it was replaced all the same.
    unsigned long keep_error = 0;
};

// One copy of one file. Paths come whole: a caller that cannot join one
// within 259 bytes must not pass it cut (join_path leaves it empty, which no
// copy can open).
struct CopyRequest {
    const char* source = "";
    const char* destination = "";
    // 1: copied even when the backup is up to date (a standby copy's force,
    // a continuous run's conut_save_mode).
    int force = 0;
    // Where the backup this copy replaces goes: the old version's path,
    // chosen by the step; empty: it is replaced (deleted) as before.
    const char* keep_as = "";
    // What the backup folder's listing says of the destination's name (the
    // continuous copy): it only chooses which calls find the outcome out,
    // never the outcome.
    BackupHint hint = BackupHint::unknown;
    // The copy was brought forward by the watch of a standby run: its last
    // chunk is moved into place before the pause rather than after it, and
    // the step's own pause follows, so a saved file is protected that much
    // sooner at the same pace of data.
    bool brought_forward = false;
};

struct CopyOutcome {
    CopyResult result = copy_done;
    CopyDetail detail;
};
