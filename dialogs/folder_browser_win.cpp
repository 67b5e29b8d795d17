// The system folder browser, opened on a folder the caller remembers.
#include <windows.h>
#include <shlobj.h>

#include "dialogs/folder_browser.h"

namespace {

// The browser tells when its tree is ready; only then can the remembered
// folder be selected in it.
int CALLBACK on_browser_event(HWND browser, UINT message, LPARAM, LPARAM initial)
{
    if (message == BFFM_INITIALIZED)
        SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, initial);
    return 0;
}

}  // namespace

bool browse_for_folder(const char* title, const char* initial, char (&out)[kFieldSize])
{
    char display_name[MAX_PATH];
    BROWSEINFOA info = {};
    info.pszDisplayName = display_name;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = on_browser_event;
    info.lParam = reinterpret_cast<LPARAM>(initial);
    LPITEMIDLIST item = SHBrowseForFolderA(&info);
    if (item == nullptr)
        return false;
    char path[MAX_PATH] = {};
    BOOL found = SHGetPathFromIDListA(item, path);
    ILFree(item);
    if (!found || path[0] == 0)
        return false;
    copy_field(out, path);
    return true;
}
