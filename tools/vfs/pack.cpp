// Packing: every plain file of a folder, in byte order of name, so the same folder always gives
// the same archive.
#include "archive.h"
#include "vfs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
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

bool ListFolder(const std::string& folder, std::vector<std::string>& names)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir) {
        ReportFailure("cannot open " + folder + ": " + std::strerror(errno));
        return false;
    }
    bool ok = true;
    while (dirent* item = readdir(dir)) {
        std::string name = item->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat info;
        if (fstatat(dirfd(dir), name.c_str(), &info, 0) != 0 || !S_ISREG(info.st_mode)) {
            ReportFailure(folder + "/" + name + ": only plain files can be packed");
            ok = false;
        } else if (!IsSafeEntryName(name)) {
            ReportFailure(folder + "/" + name + ": the name cannot be stored (separator, leading dot or control character)");
            ok = false;
        }
        names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return ok;
}

// Writes beside the destination and renames, so a failed pack never leaves a broken archive.
bool WriteArchive(const std::string& path, const std::string& bytes)
{
    std::string temp = path + ".part";
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        ReportFailure("cannot create " + temp + ": " + std::strerror(errno));
        return false;
    }
    const char* at = bytes.data();
    std::size_t left = bytes.size();
    bool ok = true;
    while (ok && left > 0) {
        ssize_t done = write(fd, at, left);
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0)
            ok = false;
        else {
            at += done;
            left -= std::size_t(done);
        }
    }
    if (ok && fsync(fd) != 0)
        ok = false;
    int error = errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        unlink(temp.c_str());
        ReportFailure("cannot write " + path + ": " + std::strerror(error));
    }
    return ok;
}

}  // namespace

bool PackFolder(const std::string& folder, const std::string& archivePath)
{
    std::vector<std::string> names;
    if (!ListFolder(folder, names))
        return false;
    std::vector<ArchiveFile> files(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        files[i].Name = names[i];
        if (!ReadWholeFile(folder + "/" + names[i], files[i].Bytes))
            return false;
    }
    if (!WriteArchive(archivePath, EncodeArchive(files)))
        return false;
    std::printf("vfs.dll: %zu files packed into %s\n", files.size(), archivePath.c_str());
    return true;
}
