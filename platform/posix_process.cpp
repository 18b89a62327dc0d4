// Starting the extractor on POSIX: the program is looked up the way Windows looks it up
// (the executable's own directory, then the working directory), then on PATH. It runs in the data
// folder; what it writes to stderr is kept, for the demo to show the user as its reason.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/data_folder.h"
#include "platform/platform.h"
#include "platform/posix_clock.h"

extern char** environ;

// Splits a command line at blanks; double quotes group words with blanks in them.
static std::vector<std::string> SplitCommandLine(const char* commandLine)
{
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;
    bool inWord = false;
    for (const char* c = commandLine; *c != '\0'; ++c) {
        if (*c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((*c == ' ' || *c == '\t') && !quoted) {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += *c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

static bool IsExecutableFile(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

static std::string OwnDirectory()
{
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return "";
    const std::string path(buffer, static_cast<std::size_t>(length));
    return path.substr(0, path.find_last_of('/'));
}

static std::string FindProgram(const std::string& name)
{
    if (name.find('/') != std::string::npos)
        return IsExecutableFile(name) ? name : "";
    std::vector<std::string> places{OwnDirectory(), "."};
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path != nullptr ? path : "");
    for (std::string dir; std::getline(dirs, dir, ':');)
        places.push_back(dir.empty() ? "." : dir);
    for (const std::string& dir : places) {
        const std::string candidate = dir + "/" + name;
        if (!dir.empty() && IsExecutableFile(candidate))
            return candidate;
    }
    return "";
}

namespace {

struct Started {
    int ErrorPipe = -1;  // the read end of the program's stderr, -1 once it is closed
    SysProgramOutcome Outcome;
};
std::map<SysProcess, Started> Programs;

// Keeps what the program wrote to stderr so far; at the end of its output closes the pipe.
void DrainErrors(Started& program)
{
    char chunk[4096];
    for (;;) {
        const ssize_t got = read(program.ErrorPipe, chunk, sizeof chunk);
        if (got > 0) {
            program.Outcome.Errors.append(chunk, static_cast<std::size_t>(got));
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got == 0) {
            close(program.ErrorPipe);
            program.ErrorPipe = -1;
        }
        return;
    }
}

bool Spawn(const std::string& program, std::vector<char*>& argv, int errorWrite, pid_t& pid)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, errorWrite, STDERR_FILENO);
    if (!DataFolder().empty())
        posix_spawn_file_actions_addchdir_np(&actions, DataFolder().c_str());
    // The program gets the signals' usual actions back, whatever this process ignores.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    const int failed = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return failed == 0;
}

}  // namespace

SysProcess SysStartProgram(const char* commandLine, int)
{
    const std::vector<std::string> words = SplitCommandLine(commandLine != nullptr ? commandLine : "");
    if (words.empty())
        return 0;
    const std::string program = FindProgram(words[0]);
    if (program.empty())
        return 0;
    std::vector<char*> argv;
    for (const std::string& word : words)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    int errors[2];
    if (pipe2(errors, O_CLOEXEC) != 0)
        return 0;
    pid_t pid = 0;
    const bool started = Spawn(program, argv, errors[1], pid);
    close(errors[1]);
    if (!started) {
        close(errors[0]);
        return 0;
    }
    fcntl(errors[0], F_SETFL, O_NONBLOCK);
    Started& record = Programs[static_cast<SysProcess>(pid)];
    record.ErrorPipe = errors[0];
    return static_cast<SysProcess>(pid);
}

bool SysWaitForProgram(SysProcess process, std::uint32_t timeoutMs)
{
    const auto found = Programs.find(process);
    if (found == Programs.end())
        return true;  // not ours to wait for
    Started& program = found->second;
    const std::uint32_t start = PosixTickCount();
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(static_cast<pid_t>(process), &status, WNOHANG);
        if (done != 0) {
            program.Outcome.Ended = true;
            program.Outcome.ExitCode = done > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            while (program.ErrorPipe >= 0) {
                pollfd wait{program.ErrorPipe, POLLIN, 0};
                // A child of the program may still hold the pipe; never wait on it for long.
                if (poll(&wait, 1, 100) <= 0)
                    break;
                DrainErrors(program);
            }
            return true;
        }
        if (PosixTickCount() - start >= timeoutMs)
            return false;
        if (program.ErrorPipe >= 0) {
            pollfd wait{program.ErrorPipe, POLLIN, 0};
            if (poll(&wait, 1, 10) > 0)
                DrainErrors(program);
        } else {
            PosixSleep(10);
        }
    }
}

SysProgramOutcome SysProgramResult(SysProcess process)
{
    const auto found = Programs.find(process);
    if (found == Programs.end())
        return {};
    if (found->second.ErrorPipe >= 0)
        close(found->second.ErrorPipe);
    const SysProgramOutcome outcome = found->second.Outcome;
    Programs.erase(found);
    return outcome;
}
