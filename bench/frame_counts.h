// What one frame drew, counted at the OpenGL calls; only the counting build of the frame benchmark counts.
#pragma once

#include <cstdint>

struct FrameCounts {
    std::uint64_t Triangles = 0;  // triangles and quads (as two) handed to OpenGL, display lists included
    std::uint64_t Vertices = 0;
    std::uint64_t Fragments = 0;  // samples that passed every test, from an occlusion query
    std::uint64_t Clears = 0;     // glClear calls that clear the colour buffer
};

// True in the counting build; the plain build's counters stay zero.
bool CountingBuild();
// Starts the first frame's count; needs the context current.
void StartCounting();
// The counts since the last call (or StartCounting); the next frame starts from zero.
FrameCounts TakeFrameCounts();
// Ends the count on the last frame, while the context still exists.
void StopCounting();
