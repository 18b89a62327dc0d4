// The whole production against reviewed reference frames: one capture run writes a frame at each
// listed time, and each must match its reference within a tolerance that lets llvmpipe's small
// differences pass and a wrong scene fail. With MORAVEL_UPDATE_REFERENCES=1 it writes them anew.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "tests/support/capture_run.h"
#include "tools/capture/png_file.h"

namespace {

// Frames are compared tile by tile (16 x 16 pixels of the half-size frame), so that a fault in one
// part of the picture, a caption drawn twice or a picture a pixel or two out of place, is not averaged
// away over the whole frame. In no tile may the mean channel difference exceed TileMeanTolerance (a
// fade one step off moves every pixel of a tile a little), nor may more than TileDifferingShare of its
// pixels have a channel more than ChannelTolerance off (a shifted edge moves a few pixels a lot).
// llvmpipe draws these frames bit for bit alike whatever its thread count or vector width, so the
// limits only leave room for another Mesa's rounding; the faults they are for move the worst tile's
// mean by 5 to 30 in nearly every moment they show in (docs/reliability.md has the measurements).
constexpr int Tile = 16;
constexpr double TileMeanTolerance = 2.0;
constexpr int ChannelTolerance = 40;
constexpr double TileDifferingShare = 0.04;

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

struct FrameDifference {
    double WorstMean = 0;   // the largest mean channel difference of a tile
    double WorstShare = 0;  // the largest share of a tile's pixels off by more than ChannelTolerance
    int MeanTileX = 0, MeanTileY = 0, ShareTileX = 0, ShareTileY = 0;

    bool Passes() const { return WorstMean <= TileMeanTolerance && WorstShare <= TileDifferingShare; }
};

// The difference picture marks the pixels that are far off in red, over a dimmed frame.
FrameDifference CompareFrames(const RgbImage& frame, const RgbImage& reference, RgbImage& difference)
{
    difference = frame;
    FrameDifference result;
    for (int tileY = 0; tileY * Tile < frame.Height; ++tileY)
        for (int tileX = 0; tileX * Tile < frame.Width; ++tileX) {
            long sum = 0;
            int pixels = 0, off = 0;
            for (int y = tileY * Tile; y < std::min(frame.Height, (tileY + 1) * Tile); ++y)
                for (int x = tileX * Tile; x < std::min(frame.Width, (tileX + 1) * Tile); ++x) {
                    const std::size_t i = (static_cast<std::size_t>(y) * frame.Width + x) * 3;
                    bool far = false;
                    for (int c = 0; c < 3; ++c) {
                        const int d = std::abs(frame.Pixels[i + c] - reference.Pixels[i + c]);
                        sum += d;
                        far = far || d > ChannelTolerance;
                    }
                    for (int c = 0; c < 3; ++c)
                        difference.Pixels[i + c] = far ? (c == 0 ? 255 : 0) : frame.Pixels[i + c] / 3;
                    ++pixels;
                    off += far ? 1 : 0;
                }
            const double mean = static_cast<double>(sum) / (pixels * 3);
            const double share = static_cast<double>(off) / pixels;
            if (mean > result.WorstMean) {
                result.WorstMean = mean;
                result.MeanTileX = tileX;
                result.MeanTileY = tileY;
            }
            if (share > result.WorstShare) {
                result.WorstShare = share;
                result.ShareTileX = tileX;
                result.ShareTileY = tileY;
            }
        }
    return result;
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
    // Each moment's worst tile, for setting the tolerances: time, mean difference, share far off.
    std::ofstream stats(std::filesystem::path(MORAVEL_DIFFS) / "stats.txt");
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
        const FrameDifference result = CompareFrames(half, reference, difference);
        stats << time << ' ' << result.WorstMean << ' ' << result.WorstShare << '\n';
        if (!result.Passes()) {
            const std::string diffName =
                (std::filesystem::path(MORAVEL_DIFFS) / ("diff-" + std::to_string(time) + ".png")).string();
            WritePng(diffName, difference);
            ADD_FAILURE() << "mean difference " << result.WorstMean << " in tile (" << result.MeanTileX << ", "
                          << result.MeanTileY << "), " << result.WorstShare * 100 << "% of pixels far off in tile ("
                          << result.ShareTileX << ", " << result.ShareTileY << "); difference picture: " << diffName;
        }
    }
}
