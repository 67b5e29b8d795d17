// The restore window: browses a backup folder folder by folder, shows how
// each backed-up file stands beside its own place and which old versions
// are kept, and restores a version, the selected files and folders, or the
// folder shown, to the files' own place or to a folder the user chooses.
#pragma once
#include <windows.h>

#include "engine/restore_win.h"

struct Engine;

// What the window needs of the program around it.
//
// A restore cannot run beside a backup run: both write the backup folder's
// old versions, and a run could back up a file the restore is writing.
// The default set-up is an endless standby run, so a box "stop the backup
// first" would stand in front of every user; a restore button therefore
// pauses the run and resumes it after the restore ends. Browsing needs no
// pause.
class RestoreHost {
public:
    virtual ~RestoreHost() = default;
    // Holds back every start of a run until resume_run, and stops a run
    // that is going, keeping its position as BackUP停止 does. Whether a run
    // was stopped.
    virtual bool pause_run() = 0;
    // Ends the hold and starts the stopped run again in the same mode, which
    // resumes at the same folder and file. Called after every pause_run,
    // whether it stopped a run or not, so the hold always ends.
    virtual void resume_run() = 0;
};

// Modal over owner. root names the entry the window opens on; with an empty
// backup_folder it opens empty and waits for the user to open one. Without
// a source_folder only a restore to another place can be made.
void show_restore_window(HWND owner, Engine& engine, const RestoreRoot& root, RestoreHost& host);
