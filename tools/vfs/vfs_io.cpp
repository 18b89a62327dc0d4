// The tool's file access on POSIX systems: mapping, listing, atomic writes and the locked output
// folder that extraction writes into through one directory descriptor.
#include "chunked_write.h"
#include "vfs.h"
#include "vfs_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// One write call, again where a signal interrupted it.
bool WriteSome(int fd, const std::uint8_t* data, std::size_t size, std::size_t& written)
{
    for (;;) {
        const ssize_t done = write(fd, data, size);
        if (done >= 0) {
            written = static_cast<std::size_t>(done);
            return true;
        }
        if (errno != EINTR)
            return false;
    }
}

void KillNow()
{
    raise(SIGKILL);
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size)
{
    return WriteInChunks(
        data, size,
        [fd](const std::uint8_t* at, std::size_t length, std::size_t& written) {
            return WriteSome(fd, at, length, written);
        },
        KillNow);
}

}  // namespace

struct OutputFolder {
    int Fd = -1;
};

MappedFile::~MappedFile()
{
    if (Data && Size)
        munmap(const_cast<std::uint8_t*>(Data), Size);
}

bool MapFile(const std::string& path, MappedFile& file)
{
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        ReportFailure("cannot open " + path + ": " + std::strerror(errno));
        return false;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ReportFailure("cannot read " + path + ": not a regular file");
        close(fd);
        return false;
    }
    file.Size = static_cast<std::size_t>(info.st_size);
    if (file.Size == 0) {
        // An empty mapping is not allowed; an empty archive is simply too short, which the reader says.
        static const std::uint8_t Nothing = 0;
        file.Data = &Nothing;
        close(fd);
        return true;
    }
    void* at = mmap(nullptr, file.Size, PROT_READ, MAP_PRIVATE, fd, 0);
    int mapError = errno;
    close(fd);
    if (at == MAP_FAILED) {
        ReportFailure("cannot read " + path + ": " + std::strerror(mapError));
        file.Size = 0;
        return false;
    }
    file.Data = static_cast<const std::uint8_t*>(at);
    return true;
}

bool ExecutableFolder(std::string& folder)
{
    char self[4096];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) {
        ReportFailure("cannot find its own folder: " + std::string(std::strerror(errno)));
        return false;
    }
    self[length] = '\0';
    folder = self;
    folder.erase(folder.find_last_of('/') + 1);
    return true;
}

bool ListPlainFiles(const std::string& folder, std::vector<std::string>& names)
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
        // A link is not followed: packing it would store whatever it points at, anywhere on the system.
        struct stat info;
        if (fstatat(dirfd(dir), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(info.st_mode)) {
            ReportFailure(folder + "/" + name + ": a symbolic link; only plain files can be packed");
            ok = false;
        } else if (fstatat(dirfd(dir), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) {
            ReportFailure(folder + "/" + name + ": only plain files can be packed");
            ok = false;
        } else if (!IsSafeEntryName(name)) {
            ReportFailure(folder + "/" + name +
                          ": the name cannot be stored (separator, leading dot or control character)");
            ok = false;
        }
        names.push_back(name);
    }
    closedir(dir);
    return ok;
}

// Past a file-size limit (ulimit -f) the system would end the run with SIGXFSZ, leaving the
// temporary file behind and saying nothing; ignored, the write fails with EFBIG and is reported
// and cleaned up like a full disk.
static void FailWritesPastSizeLimit()
{
    signal(SIGXFSZ, SIG_IGN);
}

bool WriteFileReplacing(const std::string& path, const std::string& bytes)
{
    FailWritesPastSizeLimit();
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
            left -= static_cast<std::size_t>(done);
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

OutputFolder* OpenOutputFolder(const std::string& dir)
{
    FailWritesPastSizeLimit();
    if (mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) {
        ReportFailure("cannot create " + dir + ": " + std::strerror(errno));
        return nullptr;
    }
    int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        ReportFailure("cannot open " + dir + ": " + std::strerror(errno));
        return nullptr;
    }
    flock(fd, LOCK_EX);
    return new OutputFolder{fd};
}

void CloseOutputFolder(OutputFolder* folder)
{
    close(folder->Fd);
    delete folder;
}

void RemoveFromFolder(OutputFolder* folder, const std::string& name)
{
    unlinkat(folder->Fd, name.c_str(), 0);
}

bool HoldsIntactEntry(OutputFolder* folder, const ArchiveEntry& entry)
{
    struct stat info;
    if (fstatat(folder->Fd, entry.Name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (!S_ISREG(info.st_mode) || std::uint64_t(info.st_size) != entry.Size)
        return false;
    int fd = openat(folder->Fd, entry.Name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    std::vector<std::uint8_t> buffer(WriteChunk);
    std::uint32_t crc = Crc32(nullptr, 0);
    std::uint64_t total = 0;
    bool readable = true;
    for (;;) {
        ssize_t got = read(fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            readable = false;
            break;
        }
        if (got == 0)
            break;
        crc = UpdateCrc32(crc, buffer.data(), static_cast<std::size_t>(got));
        total += std::uint64_t(got);
    }
    close(fd);
    return readable && total == entry.Size && crc == entry.Crc;
}

bool WriteEntryFile(OutputFolder* folder, const std::string& shown, const ArchiveEntry& entry,
                    const std::uint8_t* contents)
{
    // Whichever step fails (creating, writing, flushing or renaming), the user is told the same
    // thing: this file could not be written, and the system's reason.
    const std::string temp = TemporaryName(entry.Name);
    int fd = openat(folder->Fd, temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        ReportFailure("cannot write " + shown + ": " + std::strerror(errno));
        return false;
    }
    bool ok = WriteAll(fd, contents, entry.Size) && fsync(fd) == 0;
    int error = errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && renameat(folder->Fd, temp.c_str(), folder->Fd, entry.Name.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        unlinkat(folder->Fd, temp.c_str(), 0);
        ReportFailure("cannot write " + shown + ": " + std::strerror(error));
    }
    return ok;
}

bool FlushOutputFolder(OutputFolder* folder, const std::string& dir)
{
    if (fsync(folder->Fd) == 0)
        return true;
    ReportFailure("cannot flush " + dir + ": " + std::strerror(errno));
    return false;
}
