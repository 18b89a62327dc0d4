// Files on POSIX systems: production names use backslashes, the file system wants slashes, and
// relative names resolve against the data folder.
#include <cstdio>

#include "platform/data_folder.h"
#include "platform/platform.h"

static std::string Folder;

const std::string& DataFolder()
{
    return Folder;
}

void SetDataFolder(const std::string& folder)
{
    Folder = folder;
    if (!Folder.empty() && Folder.back() != '/')
        Folder += '/';
}

std::string SysNativePath(const char* productionPath)
{
    std::string path = productionPath != nullptr ? productionPath : "";
    for (char& c : path)
        if (c == '\\')
            c = '/';
    if (!path.empty() && path.front() != '/')
        path.insert(0, Folder);
    return path;
}

bool SysReadFile(const char* productionPath, std::vector<std::uint8_t>& bytes)
{
    bytes.clear();
    std::FILE* file = std::fopen(SysNativePath(productionPath).c_str(), "rb");
    if (file == nullptr)
        return false;
    std::uint8_t chunk[65536];
    bool ok = true;
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file);
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (got < sizeof chunk) {
            ok = std::ferror(file) == 0;
            break;
        }
    }
    std::fclose(file);
    if (!ok)
        bytes.clear();
    return ok;
}
