// Starting the extractor on POSIX: the program is looked up the way Windows looks it up
// (the executable's own directory, then the working directory), then on PATH.
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <sstream>
#include <string>
#include <vector>

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
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return 0;
    return static_cast<SysProcess>(pid);
}

bool SysWaitForProgram(SysProcess process, std::uint32_t timeoutMs)
{
    const std::uint32_t start = PosixTickCount();
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(static_cast<pid_t>(process), &status, WNOHANG);
        if (done != 0)
            return true;  // ended, or not ours to wait for
        if (PosixTickCount() - start >= timeoutMs)
            return false;
        PosixSleep(10);
    }
}
