// The record of the system's open and save dialogs as the program fills it:
// the first version of the record (every Windows takes it), the first filter
// chosen, the path both given and returned in one 260-byte field.
#pragma once
#include <windows.h>

#include <commdlg.h>

#include "base/text.h"

inline OPENFILENAMEA file_dialog_record(HWND owner, const char* filter, char (&path)[kFieldSize], const char* title,
                                        DWORD flags)
{
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = sizeof path;
    ofn.lpstrTitle = title;
    ofn.Flags = flags;
    return ofn;
}
