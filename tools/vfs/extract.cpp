// Extraction: the whole archive is checked first, then each missing or changed file is written
// under a temporary name, flushed to disk and renamed, so a reader never sees half a file.
#include "archive.h"
#include "vfs.h"
#include "vfs_system.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

// The last line a failed extraction gives: how many files are missing and which, so that a user
// who sees only the end of the output still knows what to fix.
std::string FailedFilesSummary(const std::vector<std::string>& failed, std::size_t total, const std::string& dir)
{
    std::string text =
        std::to_string(failed.size()) + " of " + std::to_string(total) + " files could not be written to " + dir + ":";
    const char* separator = " ";
    for (const std::string& name : failed) {
        text += separator + name;
        separator = ", ";
    }
    return text;
}

}  // namespace

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

    // A file that cannot be written (a folder in the way, a name the file system refuses, no
    // room for it) is reported and passed over: every other file still gets its chance.
    int written = 0;
    std::vector<std::string> failed;
    for (const ArchiveEntry& entry : entries) {
        // A temporary file left by a run that was killed is stale; drop it before anything else.
        RemoveFromFolder(folder, TemporaryName(entry.Name));
        if (HoldsIntactEntry(folder, entry))
            continue;
        if (WriteEntryFile(folder, dir + "/" + entry.Name, entry, archive.Data + entry.Offset))
            ++written;
        else
            failed.push_back(entry.Name);
    }
    bool ok = failed.empty();
    if (written > 0 && !FlushOutputFolder(folder, dir))
        ok = false;
    CloseOutputFolder(folder);
    if (!failed.empty())
        ReportFailure(FailedFilesSummary(failed, entries.size(), dir));
    if (ok)
        std::printf("vfs.dll: %d of %zu files written to %s\n", written, entries.size(), dir.c_str());
    return ok;
}
