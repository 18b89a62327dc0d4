// Flat pictures in front of the eye: credit panels, full-view pictures and their stepped fades.
#pragma once

#include <cstdint>

// A 2 x 1.4 caption panel translated by depth along Z, blended by its alpha; leaves blending on.
void DrawBlendedPanel(std::uint32_t texture, double depth);
// A 2.2 x 1.4 picture 1.67 units in front of the eye in grey level brightness.
void DrawPicture(std::uint32_t texture, double brightness);
// As DrawPicture, with sphere-map coordinate generation off while it draws (left on afterwards).
void DrawPlainPicture(std::uint32_t texture, double brightness);
// At demo time t: fades the picture in and out again in tenths every 50 ms inside start..stop.
void ShowPictureInOut(std::int32_t t, std::int32_t start, std::int32_t stop, std::uint32_t texture);
// At demo time t: fades the picture in tenths every 50 ms from start and holds it until stop - 500.
void ShowPictureIn(std::int32_t t, std::uint32_t texture, double start, double stop);
