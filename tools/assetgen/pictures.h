// The generated pictures: one painter per texture file of the demo.
#pragma once

#include <string>

#include "tools/assetgen/canvas.h"

// Backgrounds and surfaces (JPEG).
Canvas PaintTlo3();    // inner faces of the wide-angle cube; facets of the rose
Canvas PaintKreski();  // stripes of the spinning box
Canvas PaintTloAch();  // glows added over the box
Canvas PaintHdr();     // tile of the additive cube star
Canvas PaintBakba();   // sea behind the tubes; facets of the starfish
Canvas PaintCzarna();  // skin of the tubes, tiles both ways

// Full pictures (JPEG).
Canvas PaintBabka();  // wobbling picture and sliding backdrop
Canvas PaintMk();     // the group's picture
Canvas PaintEnde();   // the end picture

// Layers with transparency (TGA).
Canvas PaintLogo();
Canvas PaintMaska();
Canvas PaintObrotnik();
Canvas PaintParticles();

// Caption panels (TGA): greetings, and the credits read as role / name pairs.
Canvas PaintGreeting(const char* name, int index);
Canvas PaintCreditRole(const char* role);
Canvas PaintCreditName(const char* name);

// Pictures the schedule loads but never shows; small, still real.
Canvas PaintVrl();
Canvas PaintTunel();
Canvas PaintKwadraty();
Canvas PaintDraty();

// The desktop icon, SIZE x SIZE pixels, written as a PNG (not part of the demo's data). Returns false
// with a message on stderr.
bool WriteIcon(const std::string& path, int size);
