// Shared scaffolding of the effects GL tests: one headless context, the production's start-up
// render state, textures made to order, and pixels read back (and saved to look at).
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <string>
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

// A current 640 x 480 context, created on first use and kept for the whole test program.
void EnsureContext();
// The state the production's start-up leaves (alpha test > 0.4, depth test, band viewport,
// 45-degree projection, texturing, sphere-map generation mode, colour white), and DemoTime 0.
void ApplyStartupState();
// The 45-degree projection the later scenes draw through (near 1, fixed 4/3 aspect).
void UseLaterProjection();

// An RGBA texture from rows of texels, bottom row first, sampled nearest with no mipmaps so
// that what a test reads is exactly what it put in.
GLuint MakeTexture(int width, int height, const std::vector<std::uint32_t>& rgbaTexels);
// A 1 x 1 texture of one colour (0xRRGGBBAA).
GLuint MakeSolidTexture(std::uint32_t rgba);
constexpr std::uint32_t Texel(int red, int green, int blue, int alpha)
{
    return static_cast<std::uint32_t>(red) << 24 | static_cast<std::uint32_t>(green) << 16 |
           static_cast<std::uint32_t>(blue) << 8 | static_cast<std::uint32_t>(alpha);
}

// Clears the whole screen to a colour no scene produces, so that "nothing drawn" shows.
void MarkScreen();
extern const Rgb MarkColour;

// One pixel of the screen, x and y from the bottom-left corner of the 640 x 480 screen.
Rgb ReadPixel(int x, int y);
// The centre of the band.
Rgb ReadBandCentre();
// Every pixel of the screen, bottom row first.
std::vector<Rgb> ReadScreen();
// Writes the screen as a PNG named name (top row first, as viewers expect) into the folder
// MORAVEL_TEST_PICTURES names, for a look by eye; without it, does nothing.
void SaveScreen(const std::string& name);

GLint GetInteger(GLenum name);
bool Near(const Rgb& pixel, const Rgb& expected, int tolerance = 2);
