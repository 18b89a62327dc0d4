// The demo in a web page. The page passes the player's options from its address (--desktop,
// --loop) and, for tests, a virtual clock (--fps N) with frames to hand to the page (--at MS,...),
// as the capture takes them. The production then runs as written.
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/web.h"
#include "shell/master.h"
#include "shell/player.h"
#include "tools/web/web_extractor.h"
#include "tools/web/web_options.h"

namespace {

WebOptions Options;
std::size_t NextAt = 0;
bool StopAsked = false;

// The page's JavaScript, which the formatter would take for C++.
// clang-format off
EM_JS(void, HandFrameToPage, (int at, int demoTime), {
    if (Module['onShot'])
        Module['onShot'](at, demoTime, Module['canvas'].toDataURL('image/png'));
});
// clang-format on

// Inside each swap, with the frame still in the canvas: the first frame at or after each time.
void OnFrame()
{
    if (Clock.Loading != LoadState::Running || StopAsked)
        return;
    while (NextAt < Options.AtTimes.size() && Clock.DemoTime >= Options.AtTimes[NextAt])
        HandFrameToPage(Options.AtTimes[NextAt++], Clock.DemoTime);
    if (!Options.AtTimes.empty() && NextAt == Options.AtTimes.size()) {
        WebPostMessage(WmClose, 0, 0);
        StopAsked = true;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    std::string error;
    if (!ParseWebOptions(argc, argv, Options, error)) {
        std::fprintf(stderr, "moravel: %s\n", error.c_str());
        return 2;
    }
    SysSetPresentation(Options.Presentation);
    SetLooping(Options.Loop);
    WebRegisterProgram("vfs.dll", RunExtractor);
    if (Options.VirtualFps > 0) {
        WebUseVirtualClock(static_cast<std::uint64_t>(Options.VirtualFps), 1);
        WebSoundSilent(true);
    }
    if (!Options.AtTimes.empty())
        WebSetSwapHook(OnFrame);
    // The frame loop waited for the browser's frames, so main returns long after the page called it;
    // only an explicit exit then ends the program and tells the page.
    std::exit(ProgramEntry());
}
