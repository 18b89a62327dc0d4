// The command line of moravel-capture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CaptureOptions {
    std::uint64_t FpsNumerator = 60;  // frames per second as a fraction, so 60000/1001 is exact
    std::uint64_t FpsDenominator = 1;
    int Scale = 1;
    std::string PngPattern;             // --png: a file, or a pattern with %d for the requested time
    std::vector<std::int32_t> AtTimes;  // --at, ascending
    std::string FramesDir;              // --frames
    std::int32_t FromTime = 0;          // --from
    std::int32_t ToTime = -1;           // --to; -1: until the run ends
    std::string VideoFile;              // --video
    std::string SheetFile;              // --sheet
    std::int32_t SheetEvery = 4000;     // --every
    bool Help = false;                  // --help: print the usage and stop
    bool Version = false;               // --version: print the version and stop
};

// Parses argv[1..]; on failure returns false with a message in error naming the option, the value
// given and what it takes.
bool ParseCaptureOptions(int argc, char** argv, CaptureOptions& options, std::string& error);
// "60", "59.94", "60000/1001" as a fraction; false when it is not a positive rate.
bool ParseFrameRate(const std::string& text, std::uint64_t& numerator, std::uint64_t& denominator);
extern const char* CaptureUsage;

// The demo time the run stops at: --to, or the last --at when shots are all it writes, or the
// demo's own end. The progress line counts the time left towards it.
std::int32_t CaptureEndTime(const CaptureOptions& options, std::int32_t demoEnd);
