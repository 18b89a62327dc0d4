// moravel-capture from the outside: frame counts, each frame's time under the exact clock, the frame
// each time picks, determinism, video.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <regex>

#include "tests/capture_run.h"

namespace {

// The virtual clock at fps = num/den, exact: whole milliseconds of `swaps` frames, rounded down.
std::uint32_t VirtualTick(std::uint64_t swaps, std::uint64_t num, std::uint64_t den)
{
    return static_cast<std::uint32_t>(swaps * 1000 * den / num);
}

// The demo time drawn in `frame` (counted from 1, as the capture counts them), given the one before.
// Frame f is drawn after f - 1 swaps. The loading frame (1) leaves the demo time at 0; the frame that
// starts the music (2) puts the start one millisecond before its own tick; from there every frame
// moves the demo time halfway, rounded down, from where it was to the time since the start.
std::int32_t NextDemoTime(int frame, std::int32_t previous, std::uint64_t num, std::uint64_t den)
{
    if (frame < 2)
        return 0;
    const std::uint32_t start = VirtualTick(1, num, den) - 1;
    const std::uint32_t raw = VirtualTick(static_cast<std::uint64_t>(frame - 1), num, den) - start;
    return static_cast<std::int32_t>((static_cast<std::int64_t>(previous) + raw) / 2);
}

// Frames and last demo time the frame loop must produce: one frame after another until the demo
// time passes the end (or first reaches stopAt).
std::pair<int, std::int32_t> ExpectedRun(std::uint64_t num, std::uint64_t den, std::int32_t stopAt = -1)
{
    std::int32_t demoTime = 0;
    for (int frame = 2;; ++frame) {
        demoTime = NextDemoTime(frame, demoTime, num, den);
        if (demoTime > 121100 || (stopAt >= 0 && demoTime >= stopAt))
            return {frame, demoTime};
    }
}

std::pair<int, std::int32_t> ReportedRun(const std::string& stderrText)
{
    std::smatch match;
    const std::regex summary(R"((\d+) frames, last demo time (\d+) ms)");
    if (!std::regex_search(stderrText, match, summary))
        return {-1, -1};
    return {std::stoi(match[1]), std::stoi(match[2])};
}

// frame number -> demo time, from frames.csv
std::map<int, std::int32_t> ReadFramesCsv(const std::filesystem::path& csv)
{
    std::map<int, std::int32_t> frames;
    std::ifstream file(csv);
    std::string line;
    std::getline(file, line);
    int frame = 0;
    std::int32_t time = 0;
    char comma = 0;
    while (file >> frame >> comma >> time)
        frames[frame] = time;
    return frames;
}

std::string Probe(const std::filesystem::path& file, const std::string& stream, const std::string& entry)
{
    const std::string command = "ffprobe -v error -select_streams " + stream + " -show_entries stream=" + entry +
                                " -of default=noprint_wrappers=1:nokey=1 '" + file.string() + "'";
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
            text += buffer;
        pclose(pipe);
    }
    return text;
}

}  // namespace

TEST(CaptureTest, AWholeRunHasTheFramesTheClockImplies)
{
    const auto folder = MakeCaptureFolder("count");
    // 10 fps: every frame drawn, few of them; the arithmetic is the same at any rate.
    const CaptureResult run = RunCapture(folder, "--fps 10 --sheet sheet.png --every 30000");
    ASSERT_EQ(run.ExitCode, 0) << run.Stderr;
    EXPECT_EQ(ReportedRun(run.Stderr), ExpectedRun(10, 1));
    EXPECT_TRUE(std::filesystem::exists(folder / "sheet.png"));

    // A rate given as a fraction is kept exact: the frame picked is the one its clock implies.
    const CaptureResult ntsc = RunCapture(folder, "--fps 60000/1001 --png ntsc.png --at 20000");
    ASSERT_EQ(ntsc.ExitCode, 0) << ntsc.Stderr;
    const std::string expected = "ntsc.png " + std::to_string(ExpectedRun(60000, 1001, 20000).second) + "\n";
    EXPECT_NE(ntsc.Stdout.find(expected), std::string::npos) << ntsc.Stdout;
}

TEST(CaptureTest, EveryFrameOfASequenceIsAtTheTimeTheExactClockGivesIt)
{
    // 60000/1001 fps: a frame lasts 16.683... ms, so the clock's rounding shows in most frames.
    const std::uint64_t num = 60000, den = 1001;
    const std::int32_t from = 1000, to = 3000;
    const auto folder = MakeCaptureFolder("at");
    const CaptureResult sequence = RunCapture(
        folder, "--fps 60000/1001 --frames seq --from " + std::to_string(from) + " --to " + std::to_string(to));
    ASSERT_EQ(sequence.ExitCode, 0) << sequence.Stderr;
    const std::map<int, std::int32_t> frames = ReadFramesCsv(folder / "seq" / "frames.csv");

    // Every frame whose demo time lies in [from, to], in order, none left out and none added.
    std::map<int, std::int32_t> expected;
    std::int32_t demoTime = 0;
    for (int frame = 2; demoTime <= to; ++frame) {
        demoTime = NextDemoTime(frame, demoTime, num, den);
        if (demoTime >= from && demoTime <= to)
            expected[frame] = demoTime;
    }
    ASSERT_FALSE(expected.empty());
    for (const auto& [frame, time] : expected) {
        const auto found = frames.find(frame);
        ASSERT_NE(found, frames.end()) << "frame " << frame << " at " << time << " ms is missing";
        ASSERT_EQ(found->second, time) << "frame " << frame;
    }
    EXPECT_EQ(frames.size(), expected.size());

    // --at picks the first frame at or after each time: the same frame, byte for byte, in a second run.
    const CaptureResult shots = RunCapture(folder, "--fps 60000/1001 --png shot-%d.png --at 2500,1000");
    ASSERT_EQ(shots.ExitCode, 0) << shots.Stderr;
    for (const std::int32_t wanted : {1000, 2500}) {
        SCOPED_TRACE(wanted);
        auto first = frames.begin();
        while (first != frames.end() && first->second < wanted)
            ++first;
        ASSERT_NE(first, frames.end());
        const std::string name = "shot-" + std::to_string(wanted) + ".png";
        EXPECT_NE(shots.Stdout.find(name + " " + std::to_string(first->second) + "\n"), std::string::npos)
            << shots.Stdout;
        char sequenceName[32];
        std::snprintf(sequenceName, sizeof sequenceName, "%06d.png", first->first);
        EXPECT_EQ(ReadWholeFile(folder / name), ReadWholeFile(folder / "seq" / sequenceName));
    }
}

TEST(CaptureTest, TheVideoStartsWithTheMusicAndItsTracksAreEqualInLength)
{
    const auto folder = MakeCaptureFolder("video");
    const CaptureResult run = RunCapture(folder, "--fps 30 --to 4000 --video out.mp4 --frames seq");
    ASSERT_EQ(run.ExitCode, 0) << run.Stderr;
    const std::map<int, std::int32_t> frames = ReadFramesCsv(folder / "seq" / "frames.csv");
    // The sequence starts with the first frame of the music: the loading frame is not in it.
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.begin()->first, 2);
    EXPECT_EQ(std::stoi(Probe(folder / "out.mp4", "v:0", "nb_frames")), static_cast<int>(frames.size()));
    const double video = std::stod(Probe(folder / "out.mp4", "v:0", "duration"));
    const double audio = std::stod(Probe(folder / "out.mp4", "a:0", "duration"));
    EXPECT_NEAR(video, frames.size() / 30.0, 0.05);
    EXPECT_NEAR(audio, video, 0.05);
    EXPECT_NEAR(std::stod(Probe(folder / "out.mp4", "a:0", "start_time")), 0.0, 0.03);
}

TEST(CaptureTest, RefusesBadOptionsAndAMissingFfmpegClearly)
{
    const auto folder = MakeCaptureFolder("options");
    EXPECT_EQ(RunCapture(folder, "--fps 0 --sheet s.png").ExitCode, 2);
    EXPECT_EQ(RunCapture(folder, "--png a.png --at 1000,2000").ExitCode, 2);  // two times need %d
    EXPECT_EQ(RunCapture(folder, "").ExitCode, 2);
    const CaptureResult noFfmpeg = RunCapture(folder, "--video out.mp4", "PATH=/nonexistent");
    EXPECT_EQ(noFfmpeg.ExitCode, 1);
    EXPECT_NE(noFfmpeg.Stderr.find("ffmpeg"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder / "out.mp4"));
}
