// The calls every Linux backend answers the same way, the fake included: there is no module or
// cursor resource to load, no keyboard layout to translate with, and a dispatched message goes to
// its window's procedure through the class table (window_classes.h).
#include "platform/platform.h"
#include "platform/window_classes.h"

// The address a 32-bit Windows program is loaded at, so the handle is not 0 ("none").
SysInstance SysGetModuleHandle()
{
    return 0x400000;
}

// The cursor's own identifier stands for the loaded cursor.
SysCursor SysLoadCursor(std::uint32_t cursorId)
{
    return cursorId;
}

// Key messages carry virtual keys already; no character messages are made from them.
bool SysTranslateMessage(const SysMessage&)
{
    return false;
}

std::intptr_t SysDispatchMessage(const SysMessage& message)
{
    return SendToWindow(message.Window, message.Message, message.WParam, message.LParam);
}
