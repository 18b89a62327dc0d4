// libFuzzer entry for the archive reader: whatever it accepts must be safe to extract.
#include "tools/vfs/archive.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<ArchiveEntry> entries;
    std::string reason;
    if (!ParseArchive(data, size, entries, reason)) {
        if (reason.empty())
            std::abort();
        return 0;
    }
    // Accepted: the entries tile the data exactly and every name is one the extractor may write.
    std::uint64_t next = entries.empty() ? size : entries.front().Offset;
    for (const ArchiveEntry& entry : entries) {
        if (entry.Offset != next || entry.Offset + entry.Size > size || !IsSafeEntryName(entry.Name))
            std::abort();
        next = entry.Offset + entry.Size;
    }
    if (next != size)
        std::abort();
    CheckArchiveContents(data, entries, reason);
    return 0;
}
