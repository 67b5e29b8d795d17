// The message box flags of a notifier's message kind.
#pragma once
#include <windows.h>

#include "base/notify.h"

inline UINT message_box_flags(MessageKind kind)
{
    switch (kind) {
    case MessageKind::warning: return MB_OK | MB_ICONWARNING;
    case MessageKind::exclamation: return MB_OK | MB_ICONEXCLAMATION;
    case MessageKind::plain: break;
    }
    return MB_OK;
}
