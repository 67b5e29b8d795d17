// The standby copy (copy_standby_win.cpp): the source in chunks of data_size
// bytes with a pause of data_time seconds after each, so that the PC stays
// usable while a standby run copies.
#pragma once

#include "engine/copy_result.h"

struct Engine;

// Takes the request's source, destination, force (1: copied even when up to
// date), keep_as and brought_forward; the Engine gives the run's settings,
// flags, buffer and stop. Gives the result and what the copy did.
//
// Up to date (copy_done, nothing copied): see backup_up_to_date; the backup
// is not opened, so one held by any program is compared too. The pauses end
// at once on request_stop. A stop keeps the part copied (copy_stopped), and
// the next standby copy of the same source goes on after it (see KeptMark);
// a failed read (copy_read_error, also a read that fails before the end) or
// write (copy_write_error) removes it and keeps the old destination. A whole
// copy that cannot be put in place (the backup held open) is copy_create_error,
// as a destination that cannot be created, and is kept with its mark too:
// the next try of the same source, unchanged, only moves it, and reads
// nothing. A temporary path over 259 bytes is copy_create_error.
CopyOutcome copy_standby(Engine& engine, const CopyRequest& request);
