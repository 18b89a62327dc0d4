// The ffmpeg program fed with raw frames through a pipe, muxing the music in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// True when an ffmpeg program is on PATH.
bool FfmpegAvailable();
// Starts ffmpeg writing file from width x height RGB frames at fps, with music (may be empty)
// starting at the first frame. False when it cannot be started.
bool OpenVideo(const std::string& file, int width, int height, std::uint64_t fpsNumerator, std::uint64_t fpsDenominator,
               const std::string& music);
// One frame, top row first.
bool WriteVideoFrame(const std::vector<std::uint8_t>& rgb);
// Closes the pipe and waits for ffmpeg; true when it finished cleanly.
bool CloseVideo();
