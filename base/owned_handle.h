// An owner of a kernel handle for a header that builds without <windows.h>
// (engine.h builds natively): the handle is held as void* and closed by
// owned_handle_win.cpp. Null counts as "nothing owned", as CreateEventA and
// CreateThread give it on failure. Files keep ScopedHandle (handle_win.h),
// whose "nothing" is also INVALID_HANDLE_VALUE.
#pragma once
#include "base/unique_owner.h"

struct OwnedHandleTraits {
    using Value = void*;
    static void* none() { return nullptr; }
    static bool valid(void* h) { return h != nullptr; }
    static void close(void* h);
};

using OwnedHandle = UniqueOwner<OwnedHandleTraits>;
