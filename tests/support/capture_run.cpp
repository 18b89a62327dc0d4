// Runs moravel-capture in a scratch copy of the release folder, as a user would.
#include "tests/support/capture_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

std::filesystem::path MakeCaptureFolder(const std::string& name)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("moravel-capture-" + std::to_string(getpid()) + "-" + name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    for (const char* file : {"vfs.dll", "moravel.vfs"})
        std::filesystem::copy_file(std::filesystem::path(MORAVEL_DIST) / file, folder / file);
    return folder;
}

std::string ReadWholeFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

CaptureResult RunCapture(const std::filesystem::path& folder, const std::string& arguments, const std::string& env)
{
    const std::string command = "cd '" + folder.string() + "' && " + env + " '" + MORAVEL_CAPTURE + "' " + arguments +
                                " > capture.out 2> capture.err";
    CaptureResult result;
    const int status = std::system(command.c_str());
    result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.Stdout = ReadWholeFile(folder / "capture.out");
    result.Stderr = ReadWholeFile(folder / "capture.err");
    return result;
}
