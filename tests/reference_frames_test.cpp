// The whole production against reviewed reference frames: one capture run writes a frame at each
// listed time, and each must match its reference within a tolerance that lets llvmpipe's small
// differences pass and a wrong scene fail. With MORAVEL_UPDATE_REFERENCES=1 it writes them anew.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "tests/capture_run.h"
#include "tools/capture/png_file.h"

namespace {

constexpr int ChannelTolerance = 40;      // a pixel differs when a channel is this far off
constexpr double DifferingShare = 0.02;   // and at most this share of pixels may differ

const std::filesystem::path References = MORAVEL_REFERENCES;

std::vector<int> ReferenceTimes()
{
    std::vector<int> times;
    std::ifstream list(References / "times.txt");
    for (std::string line; std::getline(list, line);)
        if (!line.empty() && line[0] != '#')
            times.push_back(std::stoi(line));
    return times;
}

// References are kept at half size: each pixel the average of a 2 x 2 block.
RgbImage HalfSize(const RgbImage& frame)
{
    RgbImage half;
    half.Width = frame.Width / 2;
    half.Height = frame.Height / 2;
    half.Pixels.resize(static_cast<std::size_t>(half.Width) * half.Height * 3);
    for (int y = 0; y < half.Height; ++y)
        for (int x = 0; x < half.Width; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx)
                        sum += frame.Pixels[((2 * y + dy) * frame.Width + 2 * x + dx) * 3 + c];
                half.Pixels[(y * half.Width + x) * 3 + c] = static_cast<std::uint8_t>((sum + 2) / 4);
            }
    return half;
}

// Share of pixels that differ; the difference picture marks them in red over a dimmed frame.
double CompareFrames(const RgbImage& frame, const RgbImage& reference, RgbImage& difference)
{
    difference = frame;
    int differing = 0;
    const int pixels = frame.Width * frame.Height;
    for (int i = 0; i < pixels; ++i) {
        bool off = false;
        for (int c = 0; c < 3; ++c)
            off = off || std::abs(frame.Pixels[i * 3 + c] - reference.Pixels[i * 3 + c]) > ChannelTolerance;
        for (int c = 0; c < 3; ++c)
            difference.Pixels[i * 3 + c] = off ? (c == 0 ? 255 : 0) : frame.Pixels[i * 3 + c] / 3;
        differing += off ? 1 : 0;
    }
    return static_cast<double>(differing) / pixels;
}

}  // namespace

TEST(ReferenceFramesTest, EveryListedMomentLooksAsReviewed)
{
    const std::vector<int> times = ReferenceTimes();
    ASSERT_FALSE(times.empty()) << "no times in " << (References / "times.txt");
    std::string at;
    for (int time : times)
        at += (at.empty() ? "" : ",") + std::to_string(time);
    const auto folder = MakeCaptureFolder("references");
    const CaptureResult run = RunCapture(folder, "--fps 30 --png frame-%d.png --at " + at);
    ASSERT_EQ(run.ExitCode, 0) << run.Stderr;

    const bool update = std::getenv("MORAVEL_UPDATE_REFERENCES") != nullptr;
    std::filesystem::create_directories(MORAVEL_DIFFS);
    for (int time : times) {
        SCOPED_TRACE("demo time " + std::to_string(time));
        const std::string name = "frame-" + std::to_string(time) + ".png";
        RgbImage frame;
        ASSERT_TRUE(ReadPng((folder / name).string(), frame));
        const RgbImage half = HalfSize(frame);
        if (update) {
            ASSERT_TRUE(WritePng((References / name).string(), half));
            continue;
        }
        RgbImage reference;
        ASSERT_TRUE(ReadPng((References / name).string(), reference))
            << "missing reference " << name << ": run scripts/update-references.sh and review the pictures";
        ASSERT_EQ(reference.Width, half.Width);
        ASSERT_EQ(reference.Height, half.Height);
        RgbImage difference;
        const double share = CompareFrames(half, reference, difference);
        if (share > DifferingShare) {
            const std::string diffName = (std::filesystem::path(MORAVEL_DIFFS) / ("diff-" + std::to_string(time) + ".png")).string();
            WritePng(diffName, difference);
            ADD_FAILURE() << share * 100 << "% of pixels differ; difference picture: " << diffName;
        }
    }
}
