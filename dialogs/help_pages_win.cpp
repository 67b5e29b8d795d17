#include "dialogs/help_pages_win.h"

#include <shellapi.h>

#include "dialogs/help_pages.h"

namespace {

void shell_open(HWND owner, const char* path)
{
    ShellExecuteA(owner, "open", path, nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

void (*open_help_document)(HWND owner, const char* path) = shell_open;

// A program path too long for the page (or cut by GetModuleFileNameA) opens
// nothing: a shortened path would name another file.
void open_help_page(HWND owner, const char* page)
{
    char module_path[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameA(nullptr, module_path, MAX_PATH + 1);
    if (length == 0 || length > kMaxText)
        return;
    char path[kFieldSize];
    if (help_page_path(path, module_path, page))
        open_help_document(owner, path);
}
