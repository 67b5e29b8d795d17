// Opening the help pages beside the program (dialogs/help_pages.h) in the
// default browser, for every window that has a help button or command.
#pragma once
#include <windows.h>

// ShellExecuteA "open" on the page's full path, owned by owner, shown
// normally. Tests put a recorder in open_help_document instead, since the
// real call would start a browser.
void open_help_page(HWND owner, const char* page);
extern void (*open_help_document)(HWND owner, const char* path);
