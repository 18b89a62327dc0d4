// moravel-capture: runs the real production on the headless backend with a virtual clock and
// writes what it presents: PNGs of chosen moments, a PNG sequence, a contact sheet or a video.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/headless.h"
#include "shell/master.h"
#include "shell/music.h"
#include "tools/capture/capture_options.h"
#include "tools/capture/contact_sheet.h"
#include "tools/capture/png_file.h"
#include "tools/capture/video_pipe.h"

namespace {

CaptureOptions Options;
int FrameNumber = 0;      // presented frames, the loading frame included
std::size_t NextAt = 0;   // the next --at time to wait for
std::int32_t NextSheetTime = 0;
bool VideoOpen = false;
bool StopRequested = false;
int Status = 0;
std::ofstream FramesCsv;
std::chrono::steady_clock::time_point Started;
std::chrono::steady_clock::time_point LastProgress;

void Fail(const std::string& message)
{
    std::fprintf(stderr, "moravel-capture: %s\n", message.c_str());
    Status = 1;
}

// Ends the run through the production's own close path, after this frame.
void RequestStop()
{
    if (!StopRequested)
        HeadlessPostMessage(WmClose, 0, 0);
    StopRequested = true;
}

std::string PngName(std::int32_t time)
{
    std::string name = Options.PngPattern;
    const std::size_t at = name.find("%d");
    if (at != std::string::npos)
        name.replace(at, 2, std::to_string(time));
    return name;
}

RgbImage ReadFrame()
{
    std::vector<std::uint8_t> rgb;
    int width = 0;
    int height = 0;
    HeadlessReadFrame(rgb, width, height);
    return UprightImage(rgb, width, height);
}

bool WantsMoreShots()
{
    return NextAt < Options.AtTimes.size();
}

void WriteShots(const RgbImage& frame)
{
    while (WantsMoreShots() && DemoTime >= Options.AtTimes[NextAt]) {
        const std::string name = PngName(Options.AtTimes[NextAt]);
        if (WritePng(name, frame))
            std::printf("%s %d\n", name.c_str(), DemoTime);
        else
            Fail("cannot write " + name);
        ++NextAt;
    }
}

void WriteSequenceFrame(const RgbImage& frame)
{
    char name[32];
    std::snprintf(name, sizeof name, "%06d.png", FrameNumber);
    if (!WritePng((std::filesystem::path(Options.FramesDir) / name).string(), frame))
        Fail(std::string("cannot write ") + name);
    FramesCsv << FrameNumber << ',' << DemoTime << '\n';
}

void WriteVideoFrameOf(const RgbImage& frame)
{
    if (!VideoOpen) {
        const std::string music = SysNativePath(MusicFile);
        const bool hasMusic = MusicReady && std::filesystem::exists(music);
        if (!hasMusic)
            std::fprintf(stderr, "moravel-capture: no music to put in the video; it will be silent\n");
        if (!OpenVideo(Options.VideoFile, frame.Width, frame.Height, Options.FpsNumerator, Options.FpsDenominator,
                       hasMusic ? music : "")) {
            Fail("cannot start ffmpeg");
            RequestStop();
            return;
        }
        VideoOpen = true;
    }
    if (!WriteVideoFrame(frame.Pixels)) {
        Fail("ffmpeg stopped taking frames");
        RequestStop();
    }
}

void ShowProgress()
{
    const auto now = std::chrono::steady_clock::now();
    if (now - LastProgress < std::chrono::seconds(2))
        return;
    LastProgress = now;
    const double seconds = std::chrono::duration<double>(now - Started).count();
    const double rate = FrameNumber / seconds;
    const double framesLeft = (DemoEndTime - DemoTime) / 1000.0 * Options.FpsNumerator / Options.FpsDenominator;
    std::fprintf(stderr, "%sframe %d  demo %.3f s  %.1f fps  %.0f s left%s", isatty(STDERR_FILENO) ? "\r" : "",
                 FrameNumber, DemoTime / 1000.0, rate, framesLeft > 0 ? framesLeft / rate : 0.0,
                 isatty(STDERR_FILENO) ? "   " : "\n");
    std::fflush(stderr);
}

// Runs inside every SwapBuffers, with the presented frame still readable.
void OnFrame()
{
    ++FrameNumber;
    ShowProgress();
    // The loading frame draws nothing; the show starts with the music.
    if (LoadState != 2 || StopRequested)
        return;
    if (Options.ToTime >= 0 && DemoTime > Options.ToTime) {
        RequestStop();
        return;
    }
    const bool inSequence = !Options.FramesDir.empty() && DemoTime >= Options.FromTime;
    const bool wantsShot = WantsMoreShots() && DemoTime >= Options.AtTimes[NextAt];
    const bool wantsSheet = !Options.SheetFile.empty() && DemoTime >= NextSheetTime;
    if (!inSequence && !wantsShot && !wantsSheet && Options.VideoFile.empty())
        return;
    const RgbImage frame = ReadFrame();
    if (wantsShot)
        WriteShots(frame);
    if (inSequence)
        WriteSequenceFrame(frame);
    if (wantsSheet) {
        AddSheetFrame(frame, DemoTime);
        while (NextSheetTime <= DemoTime)
            NextSheetTime += Options.SheetEvery;
    }
    if (!Options.VideoFile.empty())
        WriteVideoFrameOf(frame);
    // Shots alone need nothing after the last one.
    if (!WantsMoreShots() && Options.FramesDir.empty() && Options.VideoFile.empty() && Options.SheetFile.empty())
        RequestStop();
}

bool PrepareOutputs()
{
    if (!Options.VideoFile.empty() && !FfmpegAvailable()) {
        std::fprintf(stderr, "moravel-capture: the ffmpeg program is not installed (apt-get install ffmpeg); "
                             "cannot write %s\n", Options.VideoFile.c_str());
        return false;
    }
    if (!Options.FramesDir.empty()) {
        std::error_code error;
        std::filesystem::create_directories(Options.FramesDir, error);
        FramesCsv.open(std::filesystem::path(Options.FramesDir) / "frames.csv");
        if (!FramesCsv) {
            std::fprintf(stderr, "moravel-capture: cannot write into %s\n", Options.FramesDir.c_str());
            return false;
        }
        FramesCsv << "frame,demo_time\n";
    }
    return true;
}

void FinishOutputs()
{
    if (VideoOpen && !CloseVideo())
        Fail("ffmpeg failed to write " + Options.VideoFile);
    if (!Options.SheetFile.empty() && !WriteSheet(Options.SheetFile))
        Fail("cannot write " + Options.SheetFile);
    if (WantsMoreShots())
        Fail("the run ended before demo time " + std::to_string(Options.AtTimes[NextAt]));
    std::fprintf(stderr, "%s%d frames, last demo time %d ms\n", isatty(STDERR_FILENO) ? "\n" : "", FrameNumber,
                 DemoTime);
}

}  // namespace

int main(int argc, char** argv)
{
    std::string error;
    if (!ParseCaptureOptions(argc, argv, Options, error)) {
        std::fprintf(stderr, "moravel-capture: %s\n%s", error.c_str(), CaptureUsage);
        return 2;
    }
    if (!PrepareOutputs())
        return 1;
    HeadlessUseVirtualClock(Options.FpsNumerator, Options.FpsDenominator);
    HeadlessSetScale(Options.Scale);
    HeadlessSetSwapHook(OnFrame);
    Started = LastProgress = std::chrono::steady_clock::now();
    ProgramEntry();
    FinishOutputs();
    return Status;
}
