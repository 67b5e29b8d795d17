// The system folder browser, opened on a folder the caller remembers.
#pragma once
#include "engine/text.h"

// Shows the browser without owner, rooted at the desktop, with title as its
// prompt, and with initial selected when it opens. Returns true with the
// chosen folder in out (as the system gives it: a trailing backslash on a
// drive root only); false, out untouched, when it was cancelled or the item
// has no file-system path.
bool browse_for_folder(const char* title, const char* initial, char (&out)[kFieldSize]);
