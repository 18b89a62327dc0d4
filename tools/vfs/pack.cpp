// Packing: every plain file of a folder, in byte order of name, so the same folder always gives
// the same archive.
#include "archive.h"
#include "vfs.h"
#include "vfs_system.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

bool ReadWholeFile(const std::string& path, std::string& bytes)
{
    MappedFile file;
    if (!MapFile(path, file))
        return false;
    bytes.assign(reinterpret_cast<const char*>(file.Data), file.Size);
    return true;
}

}  // namespace

bool PackFolder(const std::string& folder, const std::string& archivePath)
{
    std::vector<std::string> names;
    if (!ListPlainFiles(folder, names))
        return false;
    std::sort(names.begin(), names.end());
    std::vector<ArchiveFile> files(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        files[i].Name = names[i];
        if (!ReadWholeFile(folder + "/" + names[i], files[i].Bytes))
            return false;
    }
    if (!WriteFileReplacing(archivePath, EncodeArchive(files)))
        return false;
    std::printf("vfs.dll: %zu files packed into %s\n", files.size(), archivePath.c_str());
    return true;
}
