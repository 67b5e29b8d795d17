// The open and save-as dialogs of the File menu. On confirmation they store
// the chosen path, its extension forced to ".csv", in current_list_file and
// return true; on cancel, or a path that cannot take ".csv" (told through
// messages), they leave it alone and return false.
#pragma once
#include <windows.h>

#include "base/text.h"

struct WorkingDirectory;
struct Notifier;

bool choose_list_file_to_open(HWND owner, const WorkingDirectory& workdir, char (&current_list_file)[kFieldSize],
                              const Notifier& messages);
bool choose_list_file_to_save(HWND owner, const WorkingDirectory& workdir, char (&current_list_file)[kFieldSize],
                              const Notifier& messages);
