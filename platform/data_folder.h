// Where the production's data lives. Its file names (data\logo.tga) and the programs it starts
// resolve against one folder. The demo uses its release folder (the program's own, whatever the
// working folder is) or, where that cannot be written, a per-user folder keyed by the archive, so a
// new release never reads the data of an old one. The tools keep the working folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The folder names are resolved against; empty: the working folder.
const std::string& DataFolder();
void SetDataFolder(const std::string& folder);

// The archive the extractor unpacks, beside the programs.
constexpr const char* ReleaseArchiveName = "moravel.vfs";

// A name for one archive's contents (FNV-1a, 64 bits, with the size): the per-user folder it
// unpacks into, so two releases never share one.
inline std::string ArchiveKey(const std::uint8_t* bytes, std::size_t size)
{
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (std::size_t i = 0; i < size; ++i)
        hash = (hash ^ bytes[i]) * 0x100000001b3ull;
    static const char Digits[] = "0123456789abcdef";
    std::string key = std::to_string(size) + "-";
    for (int shift = 60; shift >= 0; shift -= 4)
        key += Digits[(hash >> shift) & 0xF];
    return key;
}

// Picks the demo's data folder on POSIX systems (see above) and makes it the one names resolve
// against. False, with the reason, when neither the release folder nor a per-user folder can be used.
bool ChooseReleaseDataFolder(std::string& failure);
