// The program's help pages: HTML files in the folder "help" beside
// quillsave.exe, opened in the default browser. The main window, the entry
// edit dialog and the settings dialog share the one manual; the home page is
// its top page.
#pragma once
#include "base/text.h"

// Pages of the folder "help", by file name.
inline constexpr char kHelpPage[] = "help.html";
inline constexpr char kHomePage[] = "index.html";

// The path of page in the folder "help" beside the program whose full path is
// module_path: the module's folder (everything up to its last separator, a
// 0x5C trail byte of a double-byte character being no separator) + "help\" +
// page. False, with out empty, when module_path has no separator or the
// result would pass 259 bytes.
bool help_page_path(char (&out)[kFieldSize], const char* module_path, const char* page);
