// What the standby and the continuous copy share: how they open a file and
// how they note a failure for the report.
#pragma once
#include <windows.h>

#include "engine/copy_result.h"

constexpr DWORD kScanFlags = FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL;

// Others may go on reading the file while it is copied (an open document, a
// player), but nobody may write it: a file another program is writing, or
// holds without sharing, cannot be opened, so no half-written copy is taken.
inline HANDLE open_existing(const char* path, DWORD access)
{
    return CreateFileA(path, access, FILE_SHARE_READ, nullptr, OPEN_EXISTING, kScanFlags, nullptr);
}

// A failed copy: its result, with the error of the call that failed.
inline CopyOutcome failed(CopyOutcome& out, CopyResult result)
{
    out.detail.error = GetLastError();
    out.result = result;
    return out;
}

// A FILETIME as one number, in the order CompareFileTime gives.
inline unsigned long long file_time_number(const FILETIME& t)
{
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}
