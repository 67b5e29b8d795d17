#include "base/owned_handle.h"

#include <windows.h>

void OwnedHandleTraits::close(void* h)
{
    CloseHandle(h);
}
