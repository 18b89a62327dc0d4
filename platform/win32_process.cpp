// Starting the extractor on Windows. WinExec gives nothing to wait on, so the program is started
// with CreateProcessA, which looks it up the same way (the program's own directory, then the
// working directory, then the system folders and PATH) and hands back the process to wait for.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <string>
#include <vector>

#include "platform/platform.h"

SysProcess SysStartProgram(const char* commandLine, int showCommand)
{
    if (commandLine == nullptr || *commandLine == '\0')
        return 0;
    // CreateProcessA may write into the command line it is given.
    std::vector<char> line(commandLine, commandLine + std::char_traits<char>::length(commandLine) + 1);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showCommand);
    PROCESS_INFORMATION process{};
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process) ==
        FALSE)
        return 0;
    CloseHandle(process.hThread);
    return reinterpret_cast<SysProcess>(process.hProcess);
}

// The handle is closed either way: the production waits for its extractor once.
bool SysWaitForProgram(SysProcess process, std::uint32_t timeoutMs)
{
    const HANDLE handle = reinterpret_cast<HANDLE>(process);
    const DWORD result = WaitForSingleObject(handle, timeoutMs);
    CloseHandle(handle);
    return result != WAIT_TIMEOUT;
}
