// Ogg Vorbis files made by the tests themselves, and the samples libvorbisfile decodes from them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int FixtureRate = 44100;
constexpr int FixtureChannels = 2;

// Interleaved stereo: a different chord on each side, loud from the first frame, so a swapped,
// shifted or looped copy cannot pass for the original.
std::vector<std::int16_t> MakeTestChord(int frames);
bool WriteOggVorbis(const std::string& path, const std::vector<std::int16_t>& stereo);
// The whole file as signed 16-bit samples in the machine's byte order; empty if it cannot be read.
std::vector<std::int16_t> DecodeOggVorbis(const std::string& path);

// A fresh empty directory under the system's temporary directory.
std::string MakeTempDirectory();
void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadBytes(const std::string& path);
