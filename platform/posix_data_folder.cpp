// The demo's data folder on POSIX systems: the release folder when the data can be written there,
// else $XDG_CACHE_HOME/moravel/KEY (or ~/.cache/moravel/KEY), KEY naming the archive's contents.
#include <fcntl.h>
#include <pwd.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/data_folder.h"

namespace {

std::string ProgramFolder()
{
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return "";
    const std::string path(buffer, static_cast<std::size_t>(length));
    return path.substr(0, path.find_last_of('/') + 1);
}

// The extractor writes data/ into the folder: it must be able to create it, or to write in it.
bool DataWritableIn(const std::string& folder)
{
    const std::string data = folder + "data";
    struct stat info {};
    if (stat(data.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode) && access(data.c_str(), W_OK | X_OK) == 0;
    return access(folder.c_str(), W_OK | X_OK) == 0;
}

// $XDG_CACHE_HOME when it is an absolute path, else ~/.cache; "" when there is no home.
std::string CacheFolder()
{
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache != nullptr && cache[0] == '/')
        return cache;
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        const passwd* user = getpwuid(getuid());
        home = user != nullptr ? user->pw_dir : nullptr;
    }
    return home != nullptr && home[0] == '/' ? std::string(home) + "/.cache" : "";
}

bool KeyOfArchive(const std::string& path, std::string& key, std::string& failure)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        failure = "cannot read " + path + ": " + (fd < 0 ? std::strerror(errno) : "not a regular file");
        if (fd >= 0)
            close(fd);
        return false;
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    void* bytes = size > 0 ? mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0) : nullptr;
    close(fd);
    if (bytes == MAP_FAILED) {
        failure = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    key = ArchiveKey(static_cast<const std::uint8_t*>(bytes), size);
    if (bytes != nullptr)
        munmap(bytes, size);
    return true;
}

// mkdir -p, each new level private to the user; the reason of the first failure.
bool MakeFolders(const std::string& path, std::string& failure)
{
    for (std::size_t at = 1; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '/')
            continue;
        const std::string part = path.substr(0, at);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            failure = "cannot create " + part + ": " + std::strerror(errno);
            return false;
        }
    }
    if (access(path.c_str(), W_OK | X_OK) != 0) {
        failure = "cannot write in " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace

bool ChooseReleaseDataFolder(std::string& failure)
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
    const std::string cache = CacheFolder();
    std::string key;
    if (cache.empty()) {
        failure = release + " cannot be written and there is no home folder for a per-user copy of the data";
        return false;
    }
    if (!KeyOfArchive(release + ReleaseArchiveName, key, failure))
        return false;
    const std::string folder = cache + "/moravel/" + key;
    std::string reason;
    if (!MakeFolders(folder, reason)) {
        failure = release + " cannot be written, and neither can the per-user folder: " + reason;
        return false;
    }
    SetDataFolder(folder);
    return true;
}
