// The name the list dialogs give a list file.
#pragma once
#include "base/text.h"

// The extension rule of the list dialogs: the file name part (after the last
// "\" that is not the second byte of a double-byte character) is cut at its
// last "." and ".csv" appended. Returns false, leaving path alone, when the
// result would exceed 259 bytes.
bool force_csv_extension(char (&path)[kFieldSize]);

struct Notifier;
// The path a list dialog returned, forced to ".csv", becomes the current
// list file name (true). A path that cannot take ".csv" within 259 bytes is
// told as a file that cannot be opened (the path as chosen, caption
// "CreateFile", exclamation) and changes nothing (false).
bool take_chosen_list_file(char (&current_list_file)[kFieldSize], const char* chosen, const Notifier& messages);
