// Keeping the libraries the process has loaded in place to its end.
#pragma once

// Takes one more hold on every shared library loaded now, so that none of them is unloaded before
// the process ends. A GL driver that SDL or EGL unloads as it closes its display leaves memory its
// globals still pointed to: with no owner left, the leak checker counts it against us, and there
// is nothing to gain from unloading a library just before the process ends anyway.
void PosixKeepLibrariesLoaded();
