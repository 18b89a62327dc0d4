// The data archive: its byte layout, and a reader that trusts nothing in the bytes it is given.
//
// Layout, all numbers little-endian:
//   header  8  magic "MORAVFS" + 0x1a
//           4  version (1)
//           4  entry count
//           4  table length in bytes
//           4  CRC-32 of the table
//   table   per entry: 2 name length, the name (no terminator), 8 size, 4 CRC-32 of the contents
//   data    the contents of every entry, in table order, back to back; the archive ends with the last.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr std::uint32_t ArchiveVersion = 1;
constexpr std::size_t ArchiveHeaderSize = 24;
constexpr std::size_t ArchiveMaxName = 255;

struct ArchiveEntry {
    std::string Name;
    std::uint64_t Size = 0;
    std::uint32_t Crc = 0;
    std::uint64_t Offset = 0;  // where the contents start, from the archive's first byte
};

// A name that may be written into the destination folder as it is: a plain file name, no separator
// of either system, no "." or "..", no leading dot (those are ours for temporary files), no control
// characters and no drive colon.
bool IsSafeEntryName(const std::string& name);

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size);
// Continues a CRC-32 over more bytes, for data read in pieces.
std::uint32_t UpdateCrc32(std::uint32_t crc, const std::uint8_t* data, std::size_t size);

// Reads and checks the header and table against the archive's length. Fills entries or sets a
// one-line reason and returns false. Does not look at the contents.
bool ParseArchive(const std::uint8_t* data, std::size_t size, std::vector<ArchiveEntry>& entries, std::string& reason);

// Compares every entry's contents with its CRC-32; entries must come from ParseArchive on the same bytes.
bool CheckArchiveContents(const std::uint8_t* data, const std::vector<ArchiveEntry>& entries, std::string& reason);

// One file to store: its name and contents.
struct ArchiveFile {
    std::string Name;
    std::string Bytes;
};

// Builds a whole archive in the order given; the caller chooses the order and checks the names.
std::string EncodeArchive(const std::vector<ArchiveFile>& files);
