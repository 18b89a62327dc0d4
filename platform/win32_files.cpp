// Files on Windows: production names are native already, relative ones resolve against the data
// folder; read whole with CreateFileA and ReadFile.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

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
    if (!Folder.empty() && Folder.back() != '\\' && Folder.back() != '/')
        Folder += '\\';
}

static bool IsAbsolute(const std::string& path)
{
    return (path.size() >= 2 && path[1] == ':') || (!path.empty() && (path[0] == '\\' || path[0] == '/'));
}

std::string SysNativePath(const char* productionPath)
{
    std::string path = productionPath != nullptr ? productionPath : "";
    if (!path.empty() && !IsAbsolute(path))
        path.insert(0, Folder);
    return path;
}

bool SysReadFile(const char* productionPath, std::vector<std::uint8_t>& bytes)
{
    bytes.clear();
    const HANDLE file = CreateFileA(SysNativePath(productionPath).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::uint8_t chunk[65536];
    bool ok = true;
    for (;;) {
        DWORD got = 0;
        if (ReadFile(file, chunk, sizeof chunk, &got, nullptr) == FALSE) {
            ok = false;
            break;
        }
        if (got == 0)
            break;
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    CloseHandle(file);
    if (!ok)
        bytes.clear();
    return ok;
}
