// Where a backup goes: whether its drive or share is there and takes
// writing, and the folders of a destination file path made sure of
// (backup_folder_win.cpp).
#pragma once

// The calling thread's last system error code (GetLastError), for callers
// that include no Windows header.
unsigned long last_system_error();

// Whether the drive or share a backup folder lies on is there: false for a
// drive letter or share that is gone (a USB drive taken out, a NAS off).
// A folder without a root of its own (relative) counts as there.
bool backup_root_present(const char* folder);

// Whether a new file can be made in the backup folder: false for a disk
// that takes no writing (a card's lock on, a read-only share) or a folder
// the user may not write. Leaves nothing behind.
bool backup_folder_writable(const char* folder);

// 0 when every folder level of the destination file path exists or was made,
// 1 otherwise. Leaves the current directory at the last level entered.
int check_destination(const char* path);
