// The three jobs of vfs.dll; each reports its own failures on stderr and returns false.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Packs every plain file of folder, sorted by name, into a new archive.
bool PackFolder(const std::string& folder, const std::string& archivePath);

// Checks the whole archive, then writes every entry that dir does not already hold intact.
bool ExtractArchive(const std::string& archivePath, const std::string& dir);

// Checks the archive and prints its table.
bool ListArchive(const std::string& archivePath);

// A file mapped read-only for the life of the record.
struct MappedFile {
    const std::uint8_t* Data = nullptr;
    std::size_t Size = 0;
    MappedFile() = default;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile();
};

bool MapFile(const std::string& path, MappedFile& file);

// Reports a failure the way every part of the tool does: one line on stderr.
void ReportFailure(const std::string& text);

// The folder the running program lies in, ending in a separator.
bool ExecutableFolder(std::string& folder);
