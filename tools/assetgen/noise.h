// Seeded, platform-independent randomness and lattice noise for the generated pictures and models.
#pragma once

#include <cstdint>

// A 32-bit integer hash; the only source of randomness, so output never depends on the C library.
uint32_t HashInts(uint32_t a, uint32_t b = 0, uint32_t c = 0, uint32_t seed = 0);
// Uniform in [0, 1) from the hash of its arguments.
float HashUnit(uint32_t a, uint32_t b = 0, uint32_t c = 0, uint32_t seed = 0);

// A small sequential generator for scattering shapes.
struct Random {
    uint32_t State;
};
float NextUnit(Random& random);                       // [0, 1)
float NextRange(Random& random, float lo, float hi);  // [lo, hi)

// Gradient noise in about -1..1, repeating every `period` lattice cells in x and y (period 0: no repeat).
float GradientNoise(float x, float y, int period, uint32_t seed);
// Fractal sum of `octaves` noise layers, each twice the frequency and `gain` the amplitude of the last.
// With a period the sum repeats too, so tiles wrap seamlessly.
float FractalNoise(float x, float y, int octaves, float gain, int period, uint32_t seed);
// Difference between the second-nearest and nearest cell distances: 0 on the borders between cells.
float CellEdge(float x, float y, int period, uint32_t seed);
