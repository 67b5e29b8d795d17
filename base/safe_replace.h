// Replacing a file without ever losing it: the new bytes are written or
// copied into a temporary file beside it, and only the whole temporary file
// is moved over it, so a failure at any point leaves the old file as it was.
// The program's own files (store/file_access_win.cpp) and the backups (the two
// copies) are replaced so; what differs between them are the options below.
#pragma once

struct ReplaceOptions {
    // MOVEFILE_WRITE_THROUGH: the move is on disk when it returns. The
    // program's files are rewritten whole at each save and have no other
    // copy; a backup can be made again from its source, and a run moves
    // thousands of them.
    bool write_through;
    // MOVEFILE_REPLACE_EXISTING. A backup made where the folder's listing saw
    // none goes without: a backup made there since must fail the move, to be
    // found and compared as usual.
    bool replace_existing;
};
constexpr ReplaceOptions kProgramFileReplace{true, true};
constexpr ReplaceOptions kBackupReplace{false, true};
constexpr ReplaceOptions kNewBackupOnly{false, false};

// Makes every missing folder of a file path below its root.
void make_folders_of(const char* path);

// Moves the whole temporary file over path. False, with the move's error as
// the thread's last error and the temporary file left to the caller, when
// it cannot be.
bool move_temp_over(const char* temp, const char* path, ReplaceOptions options);

// Removes a temporary file, also one a system copy made read-only. The
// error of the call that failed before it stays the thread's last error: the
// report tells that one.
void remove_temp(const char* temp);
