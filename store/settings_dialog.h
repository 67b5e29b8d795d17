// The settings dialog (dialog 3, "環境設定"): shows the Settings record and
// writes the user's choices back into it on OK; Cancel and the close box
// leave it as it was. Nothing is saved to set.ini here.
#pragma once
#include <windows.h>

#include "store/settings.h"

// Modal. The menu command hands over the main window's list view; the dialog
// reads nothing from it, and as its parent the dialog box is owned by the
// list view's main window. Returns 1 whichever way the dialog closes.
INT_PTR show_settings_dialog(HWND list_view, Settings& settings);
