// The entry edit dialog (dialog 1): the three texts of one BackupEntry, typed
// or browsed for, over the EntryBuffer rather than over a list row.
#pragma once
#include <windows.h>

#include "base/text.h"
#include "engine/settings.h"

// Shows the dialog modally, owned by owner. OK writes the three fields into
// buffer and the destination into settings.temp_backup, without any check;
// Cancel and the close box leave both as they were. Returns whether OK ended
// it (the dialog itself always ends with 1).
bool show_entry_edit_dialog(HWND owner, EntryBuffer& buffer, Settings& settings);
