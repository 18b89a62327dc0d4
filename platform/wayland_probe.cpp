// The compositor's globals, read once through libwayland-client before SDL starts.
#include "platform/wayland_probe.h"

#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void NoteGlobal(void* data, wl_registry*, std::uint32_t, const char* interface, std::uint32_t)
{
    if (std::strcmp(interface, "wl_seat") == 0)
        *static_cast<bool*>(data) = true;
}

void IgnoreRemoval(void*, wl_registry*, std::uint32_t) {}

const wl_registry_listener Listener = {NoteGlobal, IgnoreRemoval};

}  // namespace

int WaylandHasSeat()
{
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr)
        return -1;
    bool seat = false;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &Listener, &seat);
    const int answered = wl_display_roundtrip(display);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return answered < 0 ? -1 : (seat ? 1 : 0);
}

bool WaylandUsable(bool hasX11, bool hasWayland, const char* forcedDriver)
{
    const bool forcedWayland = forcedDriver != nullptr && std::strcmp(forcedDriver, "wayland") == 0;
    const bool sdlPicksWayland = forcedWayland || (forcedDriver == nullptr && hasWayland && !hasX11);
    if (!sdlPicksWayland || WaylandHasSeat() != 0)
        return true;
    const char* name = std::getenv("WAYLAND_DISPLAY");
    std::fprintf(stderr,
                 "moravel: the Wayland display %s has no seat (no keyboard and no pointer), and SDL cannot open "
                 "a window on a display without one.\n",
                 name != nullptr && *name != '\0' ? name : "wayland-0");
    if (hasX11)
        std::fprintf(stderr, "Play it on the X display %s instead: leave SDL_VIDEODRIVER unset or set it to x11.\n",
                     std::getenv("DISPLAY"));
    else
        std::fprintf(stderr,
                     "Start it from a desktop session, or render it to a video without a display:\n"
                     "    moravel-capture --video moravel.mp4\n");
    return false;
}
