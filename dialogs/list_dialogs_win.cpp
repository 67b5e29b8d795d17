// The open and save-as dialogs of the File menu.
#include <windows.h>
#include <commdlg.h>

#include "dialogs/list_dialogs_win.h"
#include "base/file_dialog_win.h"
#include "base/workdir.h"
#include "dialogs/list_name.h"
#include "store/formats.h"

namespace {

// Shows the dialog on `workdir\temp1.csv`; on confirmation the chosen path,
// forced to ".csv", replaces current_list_file.
bool choose_list_file(HWND owner, const WorkingDirectory& workdir, char (&current_list_file)[kFieldSize],
                      const Notifier& messages, const char* title, BOOL(WINAPI* show)(LPOPENFILENAMEA))
{
    char name[kFieldSize];
    if (!join_path(name, workdir.path, "temp1.csv"))
        name[0] = 0;
    // No OFN_ALLOWMULTISELECT: the result is used as one path, and with
    // several files chosen the buffer would begin with their folder alone,
    // which would then be opened or overwritten as "<folder>.csv".
    OPENFILENAMEA ofn =
        file_dialog_record(owner, "csvFile(*.csv)\0*.csv\0AllFile(*.*)\0*.*\0\0", name, title, OFN_EXPLORER);
    if (!show(&ofn))
        return false;
    return take_chosen_list_file(current_list_file, name, messages);
}

}  // namespace

bool choose_list_file_to_open(HWND owner, const WorkingDirectory& workdir, char (&current_list_file)[kFieldSize],
                              const Notifier& messages)
{
    return choose_list_file(owner, workdir, current_list_file, messages, "ファイル読出", GetOpenFileNameA);
}

bool choose_list_file_to_save(HWND owner, const WorkingDirectory& workdir, char (&current_list_file)[kFieldSize],
                              const Notifier& messages)
{
    return choose_list_file(owner, workdir, current_list_file, messages, "ファイル書込", GetSaveFileNameA);
}
