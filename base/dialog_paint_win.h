// WM_PAINT of the program's dialogs: their controls draw themselves, so the
// dialog only validates its area. Shared by every dialog of the program.
#pragma once
#include <windows.h>

inline INT_PTR validate_dialog_paint(HWND dialog)
{
    PAINTSTRUCT paint;
    BeginPaint(dialog, &paint);
    EndPaint(dialog, &paint);
    return TRUE;
}
