// Shared scaffolding of the effects GL tests: one headless context, the production's start-up
// render state, textures made to order, and pixels read back.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <vector>

constexpr int ScreenWidth = 640;
constexpr int ScreenHeight = 480;
// The letter-box band the production draws into.
constexpr int BandX = 0;
constexpr int BandY = 50;
constexpr int BandWidth = 630;
constexpr int BandHeight = 360;

struct Rgb {
    int Red = 0;
    int Green = 0;
    int Blue = 0;
};

// The state the production's start-up leaves (alpha test > 0.4, depth test, band viewport,
// 45-degree projection with near 1, texturing, sphere-map generation mode, colour white), and
// DemoTime 0; creates the 640 x 480 context on first use.
void ApplyStartupState();

// An RGBA texture from texels (0xRRGGBBAA), bottom row first, sampled nearest with no mipmaps so
// that what a test reads is exactly what it put in.
GLuint MakeTexture(int width, int height, const std::vector<std::uint32_t>& rgbaTexels);
GLuint MakeSolidTexture(std::uint32_t rgba);
constexpr std::uint32_t Texel(int red, int green, int blue, int alpha)
{
    return static_cast<std::uint32_t>(red) << 24 | static_cast<std::uint32_t>(green) << 16 |
           static_cast<std::uint32_t>(blue) << 8 | static_cast<std::uint32_t>(alpha);
}

// Clears the whole screen to a colour no scene produces, so that "nothing drawn" shows.
void MarkScreen();
extern const Rgb MarkColour;

// x and y from the bottom-left corner of the screen.
Rgb ReadPixel(int x, int y);
Rgb ReadBandCentre();
// Every pixel of the screen, bottom row first.
std::vector<Rgb> ReadScreen();
// Pixels of the screen that are not within 2 of the colour.
int CountOther(const Rgb& colour);

GLint GetInteger(GLenum name);
bool Near(const Rgb& pixel, const Rgb& expected, int tolerance = 2);
// The current colour, to check what a scene leaves for the next.
Rgb CurrentColour();
