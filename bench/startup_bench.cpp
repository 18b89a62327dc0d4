// moravel-bench-startup (headless backend) and moravel-bench-startup-sdl (the demo's own SDL backends):
// the production's start-up with the real clock, timed at the seams of its sequence. The steps are
// wrapped at link time (-Wl,--wrap), so the production runs unchanged; the program prints each stamp
// (CLOCK_MONOTONIC, microseconds) as one JSON object once the first frame with LoadState 2 has been
// presented, and ends there.
#include <GL/gl.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_paths.h"
#include "shell/master.h"

struct PointModel;

namespace {

std::vector<std::pair<std::string, std::uint64_t>> Stamps;

std::uint64_t Now()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000u;
}

void Stamp(const char* name)
{
    Stamps.emplace_back(name, Now());
}

void PrintAndEnd()
{
    std::printf("{");
    for (std::size_t i = 0; i < Stamps.size(); ++i)
        std::printf("%s\"%s\": %llu", i == 0 ? "" : ", ", Stamps[i].first.c_str(),
                    static_cast<unsigned long long>(Stamps[i].second));
    std::printf("}\n");
    std::fflush(stdout);
    // Teardown is not start-up: leave without it.
    _exit(0);
}

int LoadedModels = 0;

}  // namespace

// The wrapped steps, by their linker names.
extern "C" {
std::intptr_t __real__Z15SysStartProgramPKci(const char* commandLine, int show);
bool __real__Z17SysWaitForProgramlj(std::intptr_t process, std::uint32_t timeoutMs);
bool __real__Z16CreateMainWindowiibi(int width, int height, bool fullScreen, int bits);
void __real__Z9InitScenev();
void __real__Z17LoadTextureBatch1v();
bool __real__Z14LoadPointModelPKcR10PointModel(const char* fileName, PointModel& model);
bool __real__Z10SetUpSoundv();
void __real__Z17LoadTextureBatch2v();
bool __real__Z14SysSwapBuffersm(SysDeviceContext dc);

std::intptr_t __wrap__Z15SysStartProgramPKci(const char* commandLine, int show)
{
    Stamp("extractor_start");
    return __real__Z15SysStartProgramPKci(commandLine, show);
}

bool __wrap__Z17SysWaitForProgramlj(std::intptr_t process, std::uint32_t timeoutMs)
{
    const bool ended = __real__Z17SysWaitForProgramlj(process, timeoutMs);
    Stamp("extractor_done");
    return ended;
}

bool __wrap__Z16CreateMainWindowiibi(int width, int height, bool fullScreen, int bits)
{
    Stamp("window_start");
    const bool created = __real__Z16CreateMainWindowiibi(width, height, fullScreen, bits);
    Stamp("window_done");
    return created;
}

void __wrap__Z9InitScenev()
{
    Stamp("init_scene_start");
    __real__Z9InitScenev();
    Stamp("init_scene_done");
}

void __wrap__Z17LoadTextureBatch1v()
{
    Stamp("batch1_start");
    __real__Z17LoadTextureBatch1v();
    Stamp("batch1_done");
}

bool __wrap__Z14LoadPointModelPKcR10PointModel(const char* fileName, PointModel& model)
{
    if (LoadedModels == 0)
        Stamp("models_start");
    const bool loaded = __real__Z14LoadPointModelPKcR10PointModel(fileName, model);
    if (++LoadedModels == 2)
        Stamp("models_done");
    return loaded;
}

bool __wrap__Z10SetUpSoundv()
{
    Stamp("sound_start");
    const bool ready = __real__Z10SetUpSoundv();
    Stamp("sound_done");
    return ready;
}

void __wrap__Z17LoadTextureBatch2v()
{
    Stamp("batch2_start");
    __real__Z17LoadTextureBatch2v();
    Stamp("batch2_done");
}

bool __wrap__Z14SysSwapBuffersm(SysDeviceContext dc)
{
    const bool swapped = __real__Z14SysSwapBuffersm(dc);
    if (Clock.Loading == LoadState::Running) {
        glFinish();
        Stamp("first_frame_done");
        PrintAndEnd();
    }
    return swapped;
}
}

int main()
{
    Stamp("main");
    ChooseBenchPaths();
    ProgramEntry();
    std::fprintf(stderr, "moravel-bench-startup: the run ended before its first scheduled frame\n");
    return 1;
}
