// Files on POSIX systems: production names use backslashes, the file system wants slashes.
#include <cstdio>

#include "platform/platform.h"

std::string SysNativePath(const char* productionPath)
{
    std::string path = productionPath != nullptr ? productionPath : "";
    for (char& c : path)
        if (c == '\\')
            c = '/';
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
