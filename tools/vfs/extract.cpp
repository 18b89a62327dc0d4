// Extraction: the whole archive is checked first, then each missing or changed file is written
// under a temporary name, flushed to disk and renamed, so a reader never sees half a file.
#include "archive.h"
#include "vfs.h"
#include "vfs_system.h"

#include <cstdio>
#include <vector>

bool ExtractArchive(const std::string& archivePath, const std::string& dir)
{
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

    // One extractor at a time per folder: a second one waits, then finds everything in place.
    OutputFolder* folder = OpenOutputFolder(dir);
    if (folder == nullptr)
        return false;

    int written = 0;
    bool ok = true;
    for (const ArchiveEntry& entry : entries) {
        // A temporary file left by a run that was killed is stale; drop it before anything else.
        RemoveFromFolder(folder, TemporaryName(entry.Name));
        if (HoldsIntactEntry(folder, entry))
            continue;
        if (!WriteEntryFile(folder, dir + "/" + entry.Name, entry, archive.Data + entry.Offset)) {
            ok = false;
            break;
        }
        ++written;
    }
    if (written > 0 && !FlushOutputFolder(folder, dir) && ok)
        ok = false;
    CloseOutputFolder(folder);
    if (ok)
        std::printf("vfs.dll: %d of %zu files written to %s\n", written, entries.size(), dir.c_str());
    return ok;
}
