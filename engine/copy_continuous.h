// The continuous copy (copy_continuous_win.cpp): the system's own copy at
// full speed, for a continuous run.
#pragma once
#include "engine/copy_result.h"

struct Engine;

// Takes the request's source, destination, force (conut_save_mode; 1: copied
// even when up to date), keep_as and hint; the Engine gives the run's flags.
// Gives the result and what the copy did.
//
// CopyFileA into the temporary file, then moved over the destination. Up to
// date (copy_done, nothing copied): see backup_up_to_date, times only. A
// source that cannot be opened or read is copy_read_error and keeps the old
// destination; a backup that cannot be made, or cannot be opened (held
// open by another program), is copy_create_error, and an older backup the
// copy could not replace is copy_write_error, the old one kept as it was; a
// temporary path over 259 bytes is copy_create_error. A stop
// during the copy is copy_stopped, also when the copy was made. The hint
// only chooses which calls find the outcome out, never the outcome.
CopyOutcome copy_continuous(Engine& engine, const CopyRequest& request);
