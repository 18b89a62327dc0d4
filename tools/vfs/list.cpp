// Listing: the archive is checked whole, then its table is printed, one file a line.
#include "archive.h"
#include "vfs.h"

#include <cstdio>
#include <vector>

bool ListArchive(const std::string& archivePath)
{
    MappedFile archive;
    if (!MapFile(archivePath, archive))
        return false;
    std::vector<ArchiveEntry> entries;
    std::string reason;
    if (!ParseArchive(archive.Data, archive.Size, entries, reason) ||
        !CheckArchiveContents(archive.Data, entries, reason)) {
        ReportFailure(archivePath + " is damaged: " + reason);
        return false;
    }
    std::uint64_t total = 0;
    for (const ArchiveEntry& entry : entries) {
        std::printf("%10llu  %08x  %s\n", static_cast<unsigned long long>(entry.Size), entry.Crc, entry.Name.c_str());
        total += entry.Size;
    }
    std::printf("%zu files, %llu bytes\n", entries.size(), static_cast<unsigned long long>(total));
    return true;
}
