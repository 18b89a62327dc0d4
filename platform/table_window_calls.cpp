// The calls the SDL and headless backends answer from the class table and the message queue alone
// (window_classes.h). The fake backend makes the same calls into the table, but records each one
// and can be told to fail it, so it keeps its own.
#include "platform/platform.h"
#include "platform/window_classes.h"

std::uint16_t SysRegisterClass(const SysWindowClass& windowClass)
{
    return ClassTableRegister(windowClass);
}

bool SysUnregisterClass(const char* className, SysInstance)
{
    return ClassTableUnregister(className);
}

// Nothing is left for a default procedure to do: no window frame, menu or system keys to handle.
std::intptr_t SysDefWindowProc(SysWindow, std::uint32_t, std::uintptr_t, std::intptr_t)
{
    return 0;
}

void SysPostQuitMessage(int exitCode)
{
    QueueQuit(exitCode);
}
