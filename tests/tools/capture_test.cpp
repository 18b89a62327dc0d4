// moravel-capture from the outside: frame counts, each frame's time under the exact clock, the frame
// each time picks, determinism, video.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <regex>

#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/capture_run.h"
#include "tools/capture/capture_options.h"

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

    // Each refusal names the option, what was given and what it takes.
    const std::map<std::string, std::string> refused = {
        {"--fps 0 --sheet s.png",
         "moravel-capture: bad value for --fps: \"0\"; it takes a rate above 0 and up to 1000"},
        {"--scale=9 --sheet s.png",
         "moravel-capture: bad value for --scale: \"9\"; it takes a whole number from 1 to 8"},
        {"--png a%d.png --at 5,x", "moravel-capture: bad value for --at: \"5,x\"; it takes demo times in ms"},
        {"--sheet s.png --to -5", "moravel-capture: bad value for --to: \"-5\"; it takes a time in ms, 0 or more"},
        {"--sharp 2 --sheet s.png", "moravel-capture: unknown option --sharp; the options are --png, --at,"},
        {"--sheet", "moravel-capture: --sheet needs a value\n"},
        {"--sheet s.png later.png", "moravel-capture: unexpected argument \"later.png\""},
    };
    for (const auto& [arguments, message] : refused) {
        const CaptureResult run = RunCapture(folder, arguments);
        EXPECT_EQ(run.ExitCode, 2) << arguments;
        EXPECT_EQ(run.Stderr.rfind(message, 0), 0u) << arguments << ": " << run.Stderr;
        EXPECT_NE(run.Stderr.find("usage: moravel-capture"), std::string::npos) << arguments;
    }
    const CaptureResult help = RunCapture(folder, "--help");
    EXPECT_EQ(help.ExitCode, 0) << help.Stderr;
    EXPECT_EQ(help.Stdout, CaptureUsage);
    const CaptureResult version = RunCapture(folder, "--png a.png --version");
    EXPECT_EQ(version.ExitCode, 0) << version.Stderr;
    EXPECT_EQ(version.Stdout, std::string("moravel-capture (Moravel) ") + MORAVEL_VERSION + "\n");
}

// Outputs that cannot be written are refused at once with the system's reason, not after the run.
TEST(CaptureTest, UnwritableOutputsAreRefusedBeforeRendering)
{
    const auto folder = MakeCaptureFolder("unwritable");
    // A file where a folder should be: a real failure even for root.
    std::ofstream(folder / "blocker") << "in the way";
    const std::map<std::string, std::string> blocked = {
        {"--png blocker/shot.png --at 1000", "cannot write blocker/shot.png: Not a directory"},
        {"--png blocker/s%d.png --at 9000,1000", "cannot write blocker/s1000.png: Not a directory"},
        {"--sheet blocker/sheet.png", "cannot write blocker/sheet.png: Not a directory"},
        {"--video blocker/out.mp4", "cannot write blocker/out.mp4: Not a directory"},
        {"--frames blocker/seq", "cannot create blocker/seq: Not a directory"},
        {"--sheet sheet.png --png blocker/shot.png --at 1", "cannot write blocker/shot.png: Not a directory"},
    };
    for (const auto& [arguments, message] : blocked) {
        const CaptureResult run = RunCapture(folder, arguments);
        EXPECT_EQ(run.ExitCode, 1) << arguments;
        EXPECT_EQ(run.Stderr, "moravel-capture: " + message + "\n") << arguments;
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "sheet.png"));

    // A folder made read-only; root passes every permission check, so the tool then runs as nobody.
    std::filesystem::create_directory(folder / "ro");
    std::filesystem::create_directory(folder / "ro" / "seq");
    chmod((folder / "ro").c_str(), 0555);
    chmod((folder / "ro" / "seq").c_str(), 0555);
    const std::string asUser = geteuid() == 0 ? "runuser -u nobody --" : "";
    for (const std::string output : {"--png ro/shot.png --at 1000", "--sheet ro/shot.png", "--video ro/shot.png"}) {
        const CaptureResult run = RunCapture(folder, output, asUser);
        EXPECT_EQ(run.ExitCode, 1) << output;
        EXPECT_EQ(run.Stderr, "moravel-capture: cannot write ro/shot.png: Permission denied\n") << output;
    }
    const CaptureResult frames = RunCapture(folder, "--frames ro/seq", asUser);
    EXPECT_EQ(frames.ExitCode, 1);
    EXPECT_EQ(frames.Stderr, "moravel-capture: cannot write ro/seq/frames.csv: Permission denied\n");
    EXPECT_TRUE(std::filesystem::is_empty(folder / "ro" / "seq"));
    chmod((folder / "ro").c_str(), 0755);
}

TEST(CaptureTest, AFolderWithoutDataOrExtractorIsNamedFirst)
{
    const auto folder = MakeCaptureFolder("nodata");
    std::filesystem::remove(folder / "vfs.dll");
    std::filesystem::remove(folder / "moravel.vfs");
    const CaptureResult run = RunCapture(folder, "--png shot.png --at 0");
    const std::string first = run.Stderr.substr(0, run.Stderr.find('\n'));
    EXPECT_EQ(first, "moravel-capture: " + folder.string() +
                         " has no data/, vfs.dll and moravel.vfs: "
                         "run it in the demo's release folder");

    // With the extractor beside it, the folder is as the demo expects it: no such line.
    const auto release = MakeCaptureFolder("withdata");
    const CaptureResult fine = RunCapture(release, "--png shot.png --at 0");
    EXPECT_EQ(fine.ExitCode, 0) << fine.Stderr;
    EXPECT_EQ(fine.Stderr.find("has no data/"), std::string::npos) << fine.Stderr;
}

// The progress line counts down to where the run really stops.
TEST(CaptureTest, TheRunEndsAtToOrTheLastShotOrTheDemosEnd)
{
    const std::int32_t demoEnd = 121100;
    auto endOf = [&](std::vector<std::string> words) {
        std::vector<char*> argv{const_cast<char*>("moravel-capture")};
        for (std::string& word : words)
            argv.push_back(word.data());
        CaptureOptions options;
        std::string error;
        EXPECT_TRUE(ParseCaptureOptions(static_cast<int>(argv.size()), argv.data(), options, error)) << error;
        return CaptureEndTime(options, demoEnd);
    };
    EXPECT_EQ(endOf({"--to", "5000", "--sheet", "s.png"}), 5000);
    EXPECT_EQ(endOf({"--frames", "seq", "--from", "3000", "--to", "4000"}), 4000);
    EXPECT_EQ(endOf({"--png", "a%d.png", "--at", "9000,2000"}), 9000);
    EXPECT_EQ(endOf({"--png", "a%d.png", "--at", "9000", "--to", "4000"}), 4000);
    // Other outputs go on past the last shot.
    EXPECT_EQ(endOf({"--png", "a.png", "--at", "9000", "--sheet", "s.png"}), demoEnd);
    EXPECT_EQ(endOf({"--video", "v.mp4", "--to", "500000"}), demoEnd);
}
