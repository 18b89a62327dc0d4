// Starting the extractor on Windows. WinExec gives nothing to wait on, so the program is started
// with CreateProcessA, which looks it up the same way (the program's own directory, then the
// working directory, then the system folders and PATH) and hands back the process to wait for.
// It runs in the data folder, and what it writes to stderr is kept for the demo to show.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "platform/data_folder.h"
#include "platform/platform.h"

namespace {

struct Started {
    HANDLE ErrorPipe = nullptr;  // the read end of the program's stderr
    SysProgramOutcome Outcome;
};
std::map<SysProcess, Started> Programs;

constexpr DWORD ErrorPipeBytes = 1 << 16;

void DrainErrors(Started& program)
{
    DWORD waiting = 0;
    while (program.ErrorPipe != nullptr && PeekNamedPipe(program.ErrorPipe, nullptr, 0, nullptr, &waiting, nullptr) &&
           waiting > 0) {
        char chunk[4096];
        DWORD got = 0;
        if (ReadFile(program.ErrorPipe, chunk, sizeof chunk < waiting ? sizeof chunk : waiting, &got, nullptr) ==
                FALSE ||
            got == 0)
            return;
        program.Outcome.Errors.append(chunk, got);
    }
}

}  // namespace

SysProcess SysStartProgram(const char* commandLine, int showCommand)
{
    if (commandLine == nullptr || *commandLine == '\0')
        return 0;
    // CreateProcessA may write into the command line it is given.
    std::vector<char> line(commandLine, commandLine + std::char_traits<char>::length(commandLine) + 1);
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE errorRead = nullptr;
    HANDLE errorWrite = nullptr;
    if (CreatePipe(&errorRead, &errorWrite, &inherited, ErrorPipeBytes) == FALSE)
        return 0;
    SetHandleInformation(errorRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = static_cast<WORD>(showCommand);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = errorWrite;
    PROCESS_INFORMATION process{};
    const char* folder = DataFolder().empty() ? nullptr : DataFolder().c_str();
    const BOOL started =
        CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, folder, &startup, &process);
    CloseHandle(errorWrite);
    if (started == FALSE) {
        CloseHandle(errorRead);
        return 0;
    }
    CloseHandle(process.hThread);
    const auto handle = reinterpret_cast<SysProcess>(process.hProcess);
    Programs[handle].ErrorPipe = errorRead;
    return handle;
}

// The handle is closed either way: the production waits for its extractor once.
bool SysWaitForProgram(SysProcess process, std::uint32_t timeoutMs)
{
    const HANDLE handle = reinterpret_cast<HANDLE>(process);
    Started& program = Programs[process];
    const DWORD start = GetTickCount();
    DWORD result = WAIT_TIMEOUT;
    for (;;) {
        result = WaitForSingleObject(handle, 10);
        DrainErrors(program);
        if (result != WAIT_TIMEOUT || GetTickCount() - start >= timeoutMs)
            break;
    }
    if (result != WAIT_TIMEOUT) {
        DWORD code = 0;
        program.Outcome.Ended = true;
        program.Outcome.ExitCode = GetExitCodeProcess(handle, &code) != FALSE ? static_cast<int>(code) : -1;
    }
    CloseHandle(handle);
    return result != WAIT_TIMEOUT;
}

SysProgramOutcome SysProgramResult(SysProcess process)
{
    const auto found = Programs.find(process);
    if (found == Programs.end())
        return {};
    if (found->second.ErrorPipe != nullptr)
        CloseHandle(found->second.ErrorPipe);
    const SysProgramOutcome outcome = found->second.Outcome;
    Programs.erase(found);
    return outcome;
}
