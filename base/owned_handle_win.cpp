#include "base/owned_handle.h"

#include <windows.h>

void OwnedHandle::reset(void* h)
{
    if (h_ != nullptr)
        CloseHandle(h_);
    h_ = h;
}
