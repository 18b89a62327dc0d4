// The write loop both systems' file access share: a whole buffer written in chunks through the
// system's own write call, with the test hook that ends the extractor part-way through a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

// The most one system call writes, and the buffer size for reading files back.
constexpr std::size_t WriteChunk = 1 << 16;

// Writes up to size bytes and gives how many it wrote; false when the system refused, its reason
// (errno, GetLastError) left for the caller to report.
using WriteSomeBytes = std::function<bool(const std::uint8_t* data, std::size_t size, std::size_t& written)>;

// Writes all of data through writeSome; false at the first refusal.
// Test hook: MORAVEL_VFS_KILL_AFTER=N writes only up to the Nth byte of file contents of the run,
// then calls endNow, which ends the process at once as a kill would, to prove that an interrupted
// run leaves no partial file behind.
bool WriteInChunks(const std::uint8_t* data, std::size_t size, const WriteSomeBytes& writeSome, void (*endNow)());
