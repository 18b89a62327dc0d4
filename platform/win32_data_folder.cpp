// The demo's data folder on Windows: the release folder (where a double-click starts it anyway)
// when the data can be written there, else %LOCALAPPDATA%\Moravel\KEY, KEY naming the archive.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/data_folder.h"
#include "platform/platform.h"

namespace {

std::string ProgramFolder()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return "";
    const std::string full(path, length);
    return full.substr(0, full.find_last_of("\\/") + 1);
}

// The only reliable test on Windows is to try: a file that removes itself on closing.
bool CanCreateFileIn(const std::string& folder)
{
    const std::string probe = folder + ".moravel-write-check";
    const HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

bool DataWritableIn(const std::string& folder)
{
    const DWORD data = GetFileAttributesA((folder + "data").c_str());
    if (data != INVALID_FILE_ATTRIBUTES)
        return (data & FILE_ATTRIBUTE_DIRECTORY) != 0 && CanCreateFileIn(folder + "data\\");
    return CanCreateFileIn(folder);
}

std::string SystemReason()
{
    char text[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, GetLastError(), 0, text,
                   sizeof text, nullptr);
    std::string reason = text;
    while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n'))
        reason.pop_back();
    return reason;
}

bool MakeFolders(const std::string& path, std::string& failure)
{
    for (std::size_t at = 3; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '\\')
            continue;
        const std::string part = path.substr(0, at);
        if (CreateDirectoryA(part.c_str(), nullptr) == FALSE && GetLastError() != ERROR_ALREADY_EXISTS) {
            failure = "cannot create " + part + ": " + SystemReason();
            return false;
        }
    }
    return true;
}

}  // namespace

bool SysCheckDisplay()
{
    return true;
}

// The Windows backends keep no thread of their own past the run (the waveOut decoder is joined
// when its stream is freed), and the system ends the rest with the process.
void SysShutdown() {}

bool SysChooseDataFolder(std::string& failure)
{
    const std::string release = ProgramFolder();
    if (release.empty()) {
        failure = "cannot find the program's own folder";
        return false;
    }
    if (DataWritableIn(release)) {
        SetDataFolder(release);
        return true;
    }
    const char* local = std::getenv("LOCALAPPDATA");
    if (local == nullptr || *local == '\0') {
        failure = release + " cannot be written and LOCALAPPDATA names no folder for a per-user copy of the data";
        return false;
    }
    std::vector<std::uint8_t> archive;
    const std::string archivePath = release + ReleaseArchiveName;
    if (!SysReadFile(archivePath.c_str(), archive)) {
        failure = "cannot read " + archivePath;
        return false;
    }
    const std::string folder = std::string(local) + "\\Moravel\\" + ArchiveKey(archive.data(), archive.size());
    std::string reason;
    if (!MakeFolders(folder, reason)) {
        failure = release + " cannot be written, and neither can the per-user folder: " + reason;
        return false;
    }
    SetDataFolder(folder);
    return true;
}
