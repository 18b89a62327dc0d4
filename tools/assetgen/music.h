// The production's music track: synthesised here and written as Ogg Vorbis.
#pragma once

#include <string>
#include <vector>

constexpr int MusicRate = 44100;        // samples per second and channel
constexpr double MusicSeconds = 121.0;  // the schedule's length, rounded up to whole seconds

// Renders the whole track, one buffer per channel, MusicRate * MusicSeconds samples each.
void RenderMusic(std::vector<float>& left, std::vector<float>& right);

// Renders and encodes the track; the same bytes on every run. Reports a failure on stderr.
bool WriteMusic(const std::string& path);
