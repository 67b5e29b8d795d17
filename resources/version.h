// The program's version, in one place: the window title, the about box and
// the release package's name all take it from here. Plain macros, so the
// resource script, the code and the release script can all read it.
#pragma once

#define QS_VERSION "1.03"
