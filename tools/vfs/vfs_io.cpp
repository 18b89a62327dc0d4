// File access shared by the packer, the extractor and the lister.
#include "vfs.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

MappedFile::~MappedFile()
{
    if (Data && Size)
        munmap(const_cast<std::uint8_t*>(Data), Size);
}

void ReportFailure(const std::string& text)
{
    std::fprintf(stderr, "vfs.dll: %s\n", text.c_str());
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
    file.Size = std::size_t(info.st_size);
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
