// Extraction: the whole archive is checked first, then each missing or changed file is written
// under a temporary name, flushed to disk and renamed, so a reader never sees half a file.
#include "archive.h"
#include "vfs.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t WriteChunk = 1 << 16;

// Test hook: MORAVEL_VFS_KILL_AFTER=N kills the extractor with SIGKILL once N bytes of file
// contents are written, to prove that an interrupted run leaves no partial file behind.
long long KillAfter = -1;
long long BytesWritten = 0;

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size)
{
    while (size > 0) {
        std::size_t chunk = std::min(size, WriteChunk);
        if (KillAfter >= 0 && BytesWritten + (long long)chunk > KillAfter) {
            chunk = std::size_t(std::max(0LL, KillAfter - BytesWritten));
            if (chunk > 0 && write(fd, data, chunk) < 0)
                return false;
            raise(SIGKILL);
        }
        ssize_t done = write(fd, data, chunk);
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += done;
        size -= std::size_t(done);
        BytesWritten += done;
    }
    return true;
}

// True when the folder already holds this entry as a regular file of the right size and CRC.
bool IsIntact(int dirFd, const ArchiveEntry& entry)
{
    struct stat info;
    if (fstatat(dirFd, entry.Name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (!S_ISREG(info.st_mode) || std::uint64_t(info.st_size) != entry.Size)
        return false;
    int fd = openat(dirFd, entry.Name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
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
        crc = UpdateCrc32(crc, buffer.data(), std::size_t(got));
        total += std::uint64_t(got);
    }
    close(fd);
    return readable && total == entry.Size && crc == entry.Crc;
}

bool WriteEntry(int dirFd, const std::string& dir, const ArchiveEntry& entry, const std::uint8_t* contents)
{
    std::string temp = "." + entry.Name + ".part";
    std::string shown = dir + "/" + entry.Name;
    int fd = openat(dirFd, temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        ReportFailure("cannot write " + shown + ": " + std::strerror(errno));
        return false;
    }
    const char* step = "write";
    bool ok = WriteAll(fd, contents, entry.Size);
    if (ok && fsync(fd) != 0) {
        ok = false;
        step = "flush";
    }
    int error = errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && renameat(dirFd, temp.c_str(), dirFd, entry.Name.c_str()) != 0) {
        ok = false;
        step = "rename into";
        error = errno;
    }
    if (!ok) {
        unlinkat(dirFd, temp.c_str(), 0);
        ReportFailure(std::string("cannot ") + step + " " + shown + ": " + std::strerror(error));
    }
    return ok;
}

int OpenDestination(const std::string& dir)
{
    if (mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) {
        ReportFailure("cannot create " + dir + ": " + std::strerror(errno));
        return -1;
    }
    int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        ReportFailure("cannot open " + dir + ": " + std::strerror(errno));
    return fd;
}

}  // namespace

bool ExtractArchive(const std::string& archivePath, const std::string& dir)
{
    if (const char* limit = std::getenv("MORAVEL_VFS_KILL_AFTER"))
        KillAfter = std::atoll(limit);

    MappedFile archive;
    if (!MapFile(archivePath, archive))
        return false;
    std::vector<ArchiveEntry> entries;
    std::string reason;
    if (!ParseArchive(archive.Data, archive.Size, entries, reason) ||
        !CheckArchiveContents(archive.Data, entries, reason)) {
        ReportFailure(archivePath + " is damaged: " + reason + "; nothing was extracted");
        return false;
    }

    int dirFd = OpenDestination(dir);
    if (dirFd < 0)
        return false;
    // One extractor at a time per folder: a second one waits, then finds everything in place.
    flock(dirFd, LOCK_EX);

    int written = 0;
    bool ok = true;
    for (const ArchiveEntry& entry : entries) {
        // A temporary file left by a run that was killed is stale; drop it before anything else.
        unlinkat(dirFd, ("." + entry.Name + ".part").c_str(), 0);
        if (IsIntact(dirFd, entry))
            continue;
        if (!WriteEntry(dirFd, dir, entry, archive.Data + entry.Offset)) {
            ok = false;
            break;
        }
        ++written;
    }
    // The renames themselves must reach the disk too.
    if (written > 0 && fsync(dirFd) != 0 && ok) {
        ReportFailure("cannot flush " + dir + ": " + std::strerror(errno));
        ok = false;
    }
    close(dirFd);
    if (ok)
        std::printf("vfs.dll: %d of %zu files written to %s\n", written, entries.size(), dir.c_str());
    return ok;
}
