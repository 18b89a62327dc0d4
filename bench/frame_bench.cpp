// moravel-bench-frames (and moravel-bench-count): plays the production from the start on the headless
// backend with a virtual 60 fps clock, as the capture does, and writes one CSV row per presented frame:
// its demo time, how long it took and, in the counting build, what it drew.
#include <GL/gl.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_paths.h"
#include "bench/frame_counts.h"
#include "platform/headless.h"
#include "shell/master.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

struct FrameRow {
    int Frame;
    std::int32_t State;
    std::int32_t Time;
    double Ms;
    double CpuMs;
    std::int64_t EndMicroseconds;  // steady clock (CLOCK_MONOTONIC), to match a profile taken alongside
    FrameCounts Counts;
};

bool FinishEachFrame = false;  // scenes: glFinish inside every frame, so each is timed to its last pixel
std::int32_t StopAfter = -1;   // --to: end the run once the demo time passes this
bool StopPosted = false;
std::vector<FrameRow> Rows;
SteadyClock::time_point LastSwap;
double LastCpuMs = 0.0;
std::string Renderer;

// CPU time of every thread of the process, llvmpipe's rasterizer threads included: unlike the wall
// clock, it hardly moves when other programs share the machine.
double ProcessCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Runs inside every SwapBuffers: the frame's time runs from the previous frame's end to this one's.
void OnSwap()
{
    // A pbuffer's eglSwapBuffers does not flush, and llvmpipe drops work still binned when the next frame
    // clears: without a flush here most frames would never be drawn. A window's swap flushes likewise.
    if (FinishEachFrame)
        glFinish();
    else
        glFlush();
    const SteadyClock::time_point now = SteadyClock::now();
    const double cpuMs = ProcessCpuMs();
    if (Rows.empty()) {
        Renderer = std::string(reinterpret_cast<const char*>(glGetString(GL_RENDERER))) + " | " +
                   reinterpret_cast<const char*>(glGetString(GL_VERSION));
        StartCounting();
    }
    const double ms = std::chrono::duration<double, std::milli>(now - LastSwap).count();
    Rows.push_back(
        {static_cast<int>(Rows.size()), static_cast<int>(Clock.Loading), Clock.DemoTime, ms, cpuMs - LastCpuMs,
         std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count(), TakeFrameCounts()});
    if (StopAfter >= 0 && Clock.DemoTime > StopAfter && !StopPosted) {
        HeadlessPostMessage(WmClose, 0, 0);
        StopPosted = true;
    }
    // The frame loop ends after this frame, and the context goes with it.
    if (StopPosted || Clock.DemoTime > DemoEndTime)
        StopCounting();
    LastSwap = SteadyClock::now();
    LastCpuMs = ProcessCpuMs();
}

bool WriteRows(const char* file)
{
    std::FILE* out = std::fopen(file, "w");
    if (out == nullptr)
        return false;
    std::fprintf(out, "frame,load_state,demo_time,ms,cpu_ms,end_us,triangles,vertices,fragments,clears\n");
    for (const FrameRow& row : Rows) {
        std::fprintf(
            out, "%d,%d,%d,%.4f,%.4f,%lld,%llu,%llu,%llu,%llu\n", row.Frame, row.State, row.Time, row.Ms, row.CpuMs,
            static_cast<long long>(row.EndMicroseconds), static_cast<unsigned long long>(row.Counts.Triangles),
            static_cast<unsigned long long>(row.Counts.Vertices), static_cast<unsigned long long>(row.Counts.Fragments),
            static_cast<unsigned long long>(row.Counts.Clears));
    }
    return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* csv = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--finish") == 0)
            FinishEachFrame = true;
        else if (std::strcmp(argv[i], "--csv") == 0 && i + 1 < argc)
            csv = argv[++i];
        else if (std::strcmp(argv[i], "--to") == 0 && i + 1 < argc)
            StopAfter = std::atoi(argv[++i]);
        else {
            std::fprintf(stderr,
                         "usage: %s [--finish] [--to MS] --csv FILE\n"
                         "  plays the run at a virtual 60 fps; each frame ends with glFlush, or with glFinish\n"
                         "  given --finish;\n"
                         "  --to ends the run once the demo time passes MS\n",
                         argv[0]);
            return 2;
        }
    }
    if (csv == nullptr) {
        std::fprintf(stderr, "%s: --csv FILE is required\n", argv[0]);
        return 2;
    }
    const char* paths = ChooseBenchPaths();
    Rows.reserve(8000);
    HeadlessUseVirtualClock(60, 1);
    HeadlessSetSwapHook(OnSwap);
    const SteadyClock::time_point started = LastSwap = SteadyClock::now();
    LastCpuMs = ProcessCpuMs();
    ProgramEntry();
    const double seconds = std::chrono::duration<double>(SteadyClock::now() - started).count();
    if (!WriteRows(csv)) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], csv);
        return 1;
    }
    std::printf("{\"frames\": %zu, \"seconds\": %.3f, \"renderer\": \"%s\", \"counting\": %s, \"paths\": \"%s\"}\n",
                Rows.size(), seconds, Renderer.c_str(), CountingBuild() ? "true" : "false", paths);
    return 0;
}
