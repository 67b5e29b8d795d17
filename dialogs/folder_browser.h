// The system folder browser, opened on a folder the caller remembers.
#pragma once
#include "base/text.h"

// Shows the browser without owner, rooted at the desktop, with title as its
// prompt, and with initial selected when it opens. Returns true with the
// chosen folder in out (as the system gives it: a trailing backslash on a
// drive root only; a folder whose name code page 932 cannot hold by its
// short path); false, out untouched, when it was cancelled, the item has no
// file-system path, or it has no path this program can use (the user is
// told why).
bool browse_for_folder(const char* title, const char* initial, char (&out)[kFieldSize]);
