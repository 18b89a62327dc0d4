// The data archive's reader and writer; the reader checks every length before it uses it.
#include "archive.h"

#include <zlib.h>

#include <cstring>
#include <set>

namespace {

const char ArchiveMagic[8] = {'M', 'O', 'R', 'A', 'V', 'F', 'S', 0x1a};

std::uint64_t ReadLe(const std::uint8_t* at, int bytes)
{
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | at[i];
    return value;
}

void WriteLe(std::string& out, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(char((value >> (8 * i)) & 0xff));
}

}  // namespace

bool IsSafeEntryName(const std::string& name)
{
    if (name.empty() || name.size() > ArchiveMaxName || name[0] == '.')
        return false;
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7f || c == '/' || c == '\\' || c == ':')
            return false;
    return true;
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size)
{
    return std::uint32_t(crc32_z(crc32_z(0L, Z_NULL, 0), data, size));
}

std::uint32_t UpdateCrc32(std::uint32_t crc, const std::uint8_t* data, std::size_t size)
{
    return std::uint32_t(crc32_z(crc, data, size));
}

bool ParseArchive(const std::uint8_t* data, std::size_t size, std::vector<ArchiveEntry>& entries, std::string& reason)
{
    entries.clear();
    if (size < ArchiveHeaderSize) {
        reason = "truncated: shorter than its header";
        return false;
    }
    if (std::memcmp(data, ArchiveMagic, sizeof ArchiveMagic) != 0) {
        reason = "not a Moravel archive (bad magic)";
        return false;
    }
    std::uint32_t version = std::uint32_t(ReadLe(data + 8, 4));
    if (version != ArchiveVersion) {
        reason = "unsupported archive version " + std::to_string(version);
        return false;
    }
    std::uint64_t count = ReadLe(data + 12, 4);
    std::uint64_t tableSize = ReadLe(data + 16, 4);
    std::uint32_t tableCrc = std::uint32_t(ReadLe(data + 20, 4));
    if (tableSize > size - ArchiveHeaderSize) {
        reason = "truncated: the table runs past the end";
        return false;
    }
    const std::uint8_t* table = data + ArchiveHeaderSize;
    if (Crc32(table, tableSize) != tableCrc) {
        reason = "the table is damaged (checksum mismatch)";
        return false;
    }
    // Every entry takes at least 15 table bytes; this bounds the count before anything is allocated.
    if (count > tableSize / 15) {
        reason = "the table is inconsistent (entry count)";
        return false;
    }

    std::set<std::string> seen;
    std::uint64_t at = 0;
    std::uint64_t offset = ArchiveHeaderSize + tableSize;
    for (std::uint64_t i = 0; i < count; ++i) {
        if (tableSize - at < 2) {
            reason = "the table is inconsistent (entry " + std::to_string(i + 1) + " cut short)";
            return false;
        }
        std::uint64_t nameLength = ReadLe(table + at, 2);
        at += 2;
        if (tableSize - at < nameLength + 12) {
            reason = "the table is inconsistent (entry " + std::to_string(i + 1) + " cut short)";
            return false;
        }
        ArchiveEntry entry;
        entry.Name.assign(reinterpret_cast<const char*>(table + at), nameLength);
        at += nameLength;
        entry.Size = ReadLe(table + at, 8);
        entry.Crc = std::uint32_t(ReadLe(table + at + 8, 4));
        at += 12;
        if (!IsSafeEntryName(entry.Name)) {
            reason = "unsafe entry name \"" + entry.Name + "\"";
            for (char& c : reason)
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
                    c = '?';
            return false;
        }
        if (!seen.insert(entry.Name).second) {
            reason = "the table is inconsistent (\"" + entry.Name + "\" twice)";
            return false;
        }
        if (entry.Size > size - offset) {
            reason = "truncated: \"" + entry.Name + "\" runs past the end";
            return false;
        }
        entry.Offset = offset;
        offset += entry.Size;
        entries.push_back(std::move(entry));
    }
    if (at != tableSize) {
        reason = "the table is inconsistent (bytes left over)";
        return false;
    }
    if (offset != size) {
        reason = "the table is inconsistent (" + std::to_string(size - offset) + " bytes after the last entry)";
        return false;
    }
    return true;
}

bool CheckArchiveContents(const std::uint8_t* data, const std::vector<ArchiveEntry>& entries, std::string& reason)
{
    for (const ArchiveEntry& entry : entries)
        if (Crc32(data + entry.Offset, entry.Size) != entry.Crc) {
            reason = "\"" + entry.Name + "\" is damaged (checksum mismatch)";
            return false;
        }
    return true;
}

std::string EncodeArchive(const std::vector<ArchiveFile>& files)
{
    std::string table;
    for (const ArchiveFile& file : files) {
        WriteLe(table, file.Name.size(), 2);
        table += file.Name;
        WriteLe(table, file.Bytes.size(), 8);
        WriteLe(table, Crc32(reinterpret_cast<const std::uint8_t*>(file.Bytes.data()), file.Bytes.size()), 4);
    }
    std::string out(ArchiveMagic, sizeof ArchiveMagic);
    WriteLe(out, ArchiveVersion, 4);
    WriteLe(out, files.size(), 4);
    WriteLe(out, table.size(), 4);
    WriteLe(out, Crc32(reinterpret_cast<const std::uint8_t*>(table.data()), table.size()), 4);
    out += table;
    for (const ArchiveFile& file : files)
        out += file.Bytes;
    return out;
}
