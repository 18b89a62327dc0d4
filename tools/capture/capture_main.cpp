// moravel-capture: runs the real production on the headless backend with a virtual clock and
// writes what it presents: PNGs of chosen moments, a PNG sequence, a contact sheet or a video.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
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
int FrameNumber = 0;     // presented frames, the loading frame included
std::size_t NextAt = 0;  // the next --at time to wait for
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
    while (WantsMoreShots() && Clock.DemoTime >= Options.AtTimes[NextAt]) {
        const std::string name = PngName(Options.AtTimes[NextAt]);
        if (WritePng(name, frame))
            std::printf("%s %d\n", name.c_str(), Clock.DemoTime);
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
    FramesCsv << FrameNumber << ',' << Clock.DemoTime << '\n';
}

void WriteVideoFrameOf(const RgbImage& frame)
{
    if (!VideoOpen) {
        const std::string music = SysNativePath(MusicFile);
        const bool hasMusic = Music.Ready && std::filesystem::exists(music);
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
    const double framesLeft = (CaptureEndTime(Options, DemoEndTime) - Clock.DemoTime) / 1000.0 * Options.FpsNumerator /
                              Options.FpsDenominator;
    std::fprintf(stderr, "%sframe %d  demo %.3f s  %.1f fps  %.0f s left%s", isatty(STDERR_FILENO) ? "\r" : "",
                 FrameNumber, Clock.DemoTime / 1000.0, rate, framesLeft > 0 ? framesLeft / rate : 0.0,
                 isatty(STDERR_FILENO) ? "   " : "\n");
    std::fflush(stderr);
}

// Runs inside every SwapBuffers, with the presented frame still readable.
void OnFrame()
{
    ++FrameNumber;
    ShowProgress();
    // The loading frame draws nothing; the show starts with the music.
    if (Clock.Loading != LoadState::Running || StopRequested)
        return;
    if (Options.ToTime >= 0 && Clock.DemoTime > Options.ToTime) {
        RequestStop();
        return;
    }
    const bool inSequence = !Options.FramesDir.empty() && Clock.DemoTime >= Options.FromTime;
    const bool wantsShot = WantsMoreShots() && Clock.DemoTime >= Options.AtTimes[NextAt];
    const bool wantsSheet = !Options.SheetFile.empty() && Clock.DemoTime >= NextSheetTime;
    if (!inSequence && !wantsShot && !wantsSheet && Options.VideoFile.empty())
        return;
    const RgbImage frame = ReadFrame();
    if (wantsShot)
        WriteShots(frame);
    if (inSequence)
        WriteSequenceFrame(frame);
    if (wantsSheet) {
        AddSheetFrame(frame, Clock.DemoTime);
        while (NextSheetTime <= Clock.DemoTime)
            NextSheetTime += Options.SheetEvery;
    }
    if (!Options.VideoFile.empty())
        WriteVideoFrameOf(frame);
    // Shots alone need nothing after the last one.
    if (!WantsMoreShots() && Options.FramesDir.empty() && Options.VideoFile.empty() && Options.SheetFile.empty())
        RequestStop();
}

// Whether a file can be written where the run will write it, checked before the long render:
// an existing file is opened for writing without touching it, a new one is made and removed again.
// Sets reason to the system's word when it cannot.
bool CanWrite(const std::string& path, std::string& reason)
{
    int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    bool made = false;
    if (fd < 0 && errno == ENOENT) {
        fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        made = fd >= 0;
    }
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    close(fd);
    if (made)
        unlink(path.c_str());
    return true;
}

bool RefuseUnwritable(const std::string& path)
{
    std::string reason;
    if (CanWrite(path, reason))
        return false;
    std::fprintf(stderr, "moravel-capture: cannot write %s: %s\n", path.c_str(), reason.c_str());
    return true;
}

bool PrepareOutputs()
{
    if (!Options.VideoFile.empty() && !FfmpegAvailable()) {
        std::fprintf(stderr,
                     "moravel-capture: the ffmpeg program is not installed (apt-get install ffmpeg); "
                     "cannot write %s\n",
                     Options.VideoFile.c_str());
        return false;
    }
    for (const std::int32_t time : Options.AtTimes)
        if (RefuseUnwritable(PngName(time)))
            return false;
    if (!Options.SheetFile.empty() && RefuseUnwritable(Options.SheetFile))
        return false;
    if (!Options.VideoFile.empty() && RefuseUnwritable(Options.VideoFile))
        return false;
    if (!Options.FramesDir.empty()) {
        std::error_code error;
        std::filesystem::create_directories(Options.FramesDir, error);
        if (error) {
            std::fprintf(stderr, "moravel-capture: cannot create %s: %s\n", Options.FramesDir.c_str(),
                         error.message().c_str());
            return false;
        }
        // The frames themselves go beside frames.csv, so one check covers them.
        const std::string csv = (std::filesystem::path(Options.FramesDir) / "frames.csv").string();
        if (RefuseUnwritable(csv))
            return false;
        FramesCsv.open(csv);
        if (!FramesCsv) {
            std::fprintf(stderr, "moravel-capture: cannot write %s\n", csv.c_str());
            return false;
        }
        FramesCsv << "frame,demo_time\n";
    }
    return true;
}

// Without data/ in the working folder the demo needs vfs.dll and moravel.vfs to unpack it; when
// those are missing too, the loaders would each complain about their own file. One line first
// says what is really wrong.
void WarnAboutMissingData()
{
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::is_directory("data", error))
        return;
    std::string missing = "data/";
    int count = 1;
    for (const char* file : {"vfs.dll", "moravel.vfs"})
        if (!fs::exists(file, error)) {
            missing += std::string(", ") + file;
            ++count;
        }
    if (count == 1)
        return;  // the extractor is there to unpack the data, and says so itself when it cannot
    missing.replace(missing.rfind(", "), 2, " and ");
    std::fprintf(stderr, "moravel-capture: %s has no %s: run it in the demo's release folder\n",
                 fs::current_path(error).string().c_str(), missing.c_str());
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
                 Clock.DemoTime);
}

}  // namespace

int main(int argc, char** argv)
{
    std::string error;
    if (!ParseCaptureOptions(argc, argv, Options, error)) {
        std::fprintf(stderr, "moravel-capture: %s\n%s", error.c_str(), CaptureUsage);
        return 2;
    }
    if (Options.Help) {
        std::fputs(CaptureUsage, stdout);
        return 0;
    }
    if (Options.Version) {
        std::printf("moravel-capture (Moravel) %s\n", MORAVEL_VERSION);
        return 0;
    }
    if (!PrepareOutputs())
        return 1;
    WarnAboutMissingData();
    HeadlessUseVirtualClock(Options.FpsNumerator, Options.FpsDenominator);
    HeadlessSetScale(Options.Scale);
    HeadlessSetSwapHook(OnFrame);
    Started = LastProgress = std::chrono::steady_clock::now();
    ProgramEntry();
    FinishOutputs();
    return Status;
}
