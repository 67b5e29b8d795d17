// Copy routines of a backup step and their outcome codes.
#pragma once

struct Engine;

enum CopyResult {
    copy_done = 0,           // "完"  copied, or up to date and left alone
    copy_read_error = 1,     // "読e" source cannot be opened (or read)
    copy_create_error = 2,   // "作e" destination cannot be created
    copy_write_error = 3,    // "書e" writing the destination failed
    copy_stopped = 4,        // "終"  the run was stopped during the copy
    copy_folder_error = 5,   // "棚e" destination folders cannot be made
};

// Status text of a result, as written into the file status column.
const char* copy_result_text(int result);

constexpr int kCopyBufferSize = 1050624;  // 1 MiB and 2 KiB

// 0 when every folder level of the destination file path exists or was made,
// 1 otherwise. Leaves the current directory at the last level entered.
int check_destination(const char* path);
int copy_standby(Engine& engine, const char* source, const char* destination, int force);
int copy_continuous(Engine& engine, const char* source, const char* destination, int overwrite);
