// Owners for kernel handles, so that every early return of a file operation
// closes what it opened. A HANDLE of CreateFileA is invalid as
// INVALID_HANDLE_VALUE, one of CreateEventA or CreateThread as null; both
// count as "nothing owned".
#pragma once
#include <windows.h>

#include "base/unique_owner.h"

template <BOOL(WINAPI* Close)(HANDLE)>
struct KernelHandleTraits {
    using Value = HANDLE;
    static HANDLE none() { return INVALID_HANDLE_VALUE; }
    static bool valid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { Close(h); }
};

using ScopedHandle = UniqueOwner<KernelHandleTraits<CloseHandle>>;  // files, events, threads
using ScopedFind = UniqueOwner<KernelHandleTraits<FindClose>>;   // FindFirstFileA searches
