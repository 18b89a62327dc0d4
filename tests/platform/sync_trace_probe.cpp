// Presents frames on the SDL backend the way the production does: two with no frame reporter, two
// with one, one after it is taken away again. With MORAVEL_SYNC_TRACE set, sync_trace.sh reads the
// five lines the backend wrote.
#include <cstdio>

#include "platform/platform.h"

namespace {

std::intptr_t ProbeProc(SysWindow, std::uint32_t, std::uintptr_t, std::intptr_t)
{
    return 0;
}

SysFrameReport Report()
{
    SysFrameReport report;
    report.DemoTimeMs = 1234;
    report.MusicPositionMs = 5678.25;
    return report;
}

bool Present(SysDeviceContext dc, int frames)
{
    for (int i = 0; i < frames; ++i)
        if (!SysSwapBuffers(dc))
            return false;
    return true;
}

}  // namespace

int main()
{
    SysWindowClass windowClass;
    windowClass.WndProc = ProbeProc;
    windowClass.ClassName = "SyncTraceProbe";
    windowClass.Instance = SysGetModuleHandle();
    if (SysRegisterClass(windowClass) == 0)
        return 2;
    const SysWindow window = SysCreateWindow(0, windowClass.ClassName, "sync trace probe", WsOverlappedWindow, 0, 0, 64,
                                             64, windowClass.Instance);
    const SysDeviceContext dc = window != 0 ? SysGetDC(window) : 0;
    SysPixelFormat format;
    format.Size = PixelFormatSize;
    format.Version = 1;
    format.Flags = PfdDrawToWindow | PfdSupportOpenGL | PfdDoubleBuffer;
    format.PixelType = PfdTypeRgba;
    format.ColorBits = 24;
    format.DepthBits = 16;
    const int index = dc != 0 ? SysChoosePixelFormat(dc, format) : 0;
    const SysGLContext context = index != 0 && SysSetPixelFormat(dc, index, format) ? SysCreateContext(dc) : 0;
    if (context == 0 || !SysMakeCurrent(dc, context)) {
        std::fprintf(stderr, "sync trace probe: no GL window\n");
        return 2;
    }
    bool presented = Present(dc, 2);
    SysSetFrameReporter(Report);
    presented = presented && Present(dc, 2);
    SysSetFrameReporter(nullptr);
    presented = presented && Present(dc, 1);
    SysMakeCurrent(dc, 0);
    SysDeleteContext(context);
    SysReleaseDC(window, dc);
    SysDestroyWindow(window);
    SysUnregisterClass(windowClass.ClassName, windowClass.Instance);
    SysShutdown();
    return presented ? 0 : 1;
}
