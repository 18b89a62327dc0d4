// What packing and extraction need from the file system, one implementation per system:
// vfs_io.cpp (POSIX) and vfs_io_win32.cpp (Windows). Each reports its own failures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "archive.h"

// The names of the plain files in folder; false (after saying why) when something else is there or
// a name cannot be stored, though the names are still listed.
bool ListPlainFiles(const std::string& folder, std::vector<std::string>& names);

// Writes bytes beside path and renames them over it, so a failure never leaves a broken file.
bool WriteFileReplacing(const std::string& path, const std::string& bytes);

// The folder extraction writes into, created when missing, open and locked against a second
// extractor until it is closed.
struct OutputFolder;
OutputFolder* OpenOutputFolder(const std::string& dir);
void CloseOutputFolder(OutputFolder* folder);

// Removes a file (a temporary one left by a run that was stopped); a missing one is no failure.
void RemoveFromFolder(OutputFolder* folder, const std::string& name);

// True when the folder holds the entry as a plain file of the right size and CRC-32.
bool HoldsIntactEntry(OutputFolder* folder, const ArchiveEntry& entry);

// Writes the contents under a temporary name, flushes it to disk and renames it to the entry's
// name; on failure removes the temporary file and reports, naming the file as shown.
bool WriteEntryFile(OutputFolder* folder, const std::string& shown, const ArchiveEntry& entry,
                    const std::uint8_t* contents);

// Makes the renames themselves durable.
bool FlushOutputFolder(OutputFolder* folder, const std::string& dir);

// The temporary name an entry is written under: a leading dot, which no stored name has.
inline std::string TemporaryName(const std::string& name)
{
    return "." + name + ".part";
}
