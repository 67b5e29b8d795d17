// The system folder browser, opened on a folder the caller remembers.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>

#include "base/listing_win.h"
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

// The chosen folder as an ANSI path that names it. Its path is taken in
// UTF-16: the ANSI form of C:\Users\José would be C:\Users\Jose, another
// folder or none, and an entry over it would back up nothing without a word.
// Such a folder is taken by its short path; without one it is refused.
bool chosen_path(LPITEMIDLIST item, char (&out)[kFieldSize])
{
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(item, path) || path[0] == 0)
        return false;
    if (ansi_path_of(path, out))
        return true;
    char shown[2 * kFieldSize] = {};
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path, -1, shown, sizeof shown - 1, "?", nullptr);
    char text[3 * kFieldSize];
    std::snprintf(text, sizeof text,
                  "%s\r\n\r\nこのフォルダは名前にShift-JISで表せない文字があり、短い名前もないため、"
                  "バックアップに使えません。",
                  shown);
    MessageBoxA(nullptr, text, "フォルダの指定", MB_OK | MB_ICONWARNING);
    return false;
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
    char path[kFieldSize];
    bool found = chosen_path(item, path);
    ILFree(item);
    if (!found)
        return false;
    copy_field(out, path);
    return true;
}
