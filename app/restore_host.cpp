// The restore window's host: a restore holds back every run and pauses the
// one going, as BackUP停止 stops it with its position kept, and afterwards
// starts it again in the same mode and as the same kind of start, so that
// it resumes at the same folder and file.
#include <windows.h>
#include <commctrl.h>

#include "app/restore_host.h"

#include "app/app.h"
#include "app/run_control.h"
#include "dialogs/restore_win.h"

namespace {

class RunControlHost : public RestoreHost {
public:
    bool pause_run() override
    {
        Engine& e = engine();
        hold_runs();
        stopped_ = run_active(e.flags);
        kind_ = static_cast<StartKind>(e.report.start_kind.load());
        if (stopped_)
            stop_run(Pause::keep);
        return stopped_;
    }

    // A scheduled start that fell due during the restore is a new standby
    // run, as the schedule would have started it.
    void resume_run() override
    {
        bool due = release_runs();
        if (stopped_)
            start_run(StartBy::user, kind_, RunMode::as_before);
        else if (due)
            start_run(StartBy::timer, StartKind::schedule, RunMode::standby);
        stopped_ = false;
    }

private:
    bool stopped_ = false;
    StartKind kind_ = StartKind::by_hand;
};

// A folder entry restores its tree, a single-file entry its one file.
RestoreRoot selected_root()
{
    App& a = app();
    const BackupList& list = engine().list;
    int row = static_cast<int>(
        SendMessageA(a.list_view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
    if (row < 0 || row >= list_row_count(list))
        return RestoreRoot{};
    char name[kFieldSize], source[kFieldSize], destination[kFieldSize];
    list_get_cell(list, row, col_file_name, name);
    list_get_cell(list, row, col_source, source);
    list_get_cell(list, row, col_destination, destination);
    return RestoreRoot{destination, source, name[0] == '*' ? "" : name};
}

}  // namespace

void open_restore_window()
{
    App& a = app();
    if (a.restore_open)
        return;
    a.restore_open = true;
    RunControlHost host;
    show_restore_window(a.main_window, engine(), selected_root(), host);
    a.restore_open = false;
}
