// A look at a Wayland compositor before SDL opens it: SDL 2.26 crashes inside its video start-up on
// a compositor that announces no seat (no keyboard, no pointer), as headless compositors do.
#pragma once

// Whether SDL may go on to open its video. When SDL would pick Wayland (SDL_VIDEODRIVER=wayland, or
// WAYLAND_DISPLAY set and DISPLAY not) and the compositor has no seat, says why on stderr and
// answers false; answers true in every other case, SDL's own failures included.
bool WaylandUsable(bool hasX11, bool hasWayland, const char* forcedDriver);

// Whether the compositor WAYLAND_DISPLAY names announces a seat; -1 when it cannot be reached.
int WaylandHasSeat();
