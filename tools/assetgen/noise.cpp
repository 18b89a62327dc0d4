// Hashes, a small generator and lattice noise, written out so every machine gives the same numbers.
#include "tools/assetgen/noise.h"

#include <cmath>
#include <initializer_list>

uint32_t HashInts(uint32_t a, uint32_t b, uint32_t c, uint32_t seed)
{
    uint32_t h = seed * 0x9E3779B9u + 0x7F4A7C15u;
    for (uint32_t v : {a, b, c}) {
        h ^= v * 0x85EBCA6Bu;
        h = (h << 13) | (h >> 19);
        h = h * 5 + 0xE6546B64u;
    }
    h ^= h >> 16;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    h *= 0xC2B2AE35u;
    h ^= h >> 16;
    return h;
}

float HashUnit(uint32_t a, uint32_t b, uint32_t c, uint32_t seed)
{
    return static_cast<float>(HashInts(a, b, c, seed) >> 8) * (1.0f / 16777216.0f);
}

float NextUnit(Random& random)
{
    random.State = random.State * 1664525u + 1013904223u;
    return static_cast<float>(HashInts(random.State) >> 8) * (1.0f / 16777216.0f);
}

float NextRange(Random& random, float lo, float hi)
{
    return lo + (hi - lo) * NextUnit(random);
}

static int Wrap(int v, int period)
{
    if (period <= 0)
        return v;
    v %= period;
    return v < 0 ? v + period : v;
}

static float Fade(float t)
{
    return t * t * t * (t * (t * 6 - 15) + 10);
}

// Dot product of the pseudo-random unit gradient at a lattice point with the offset to it.
static float LatticeGradient(int ix, int iy, float dx, float dy, int period, uint32_t seed)
{
    uint32_t h = HashInts(static_cast<uint32_t>(Wrap(ix, period)), static_cast<uint32_t>(Wrap(iy, period)), 0, seed);
    float angle = static_cast<float>(h & 0xFFFF) * (6.2831853f / 65536.0f);
    return std::cos(angle) * dx + std::sin(angle) * dy;
}

float GradientNoise(float x, float y, int period, uint32_t seed)
{
    int ix = static_cast<int>(std::floor(x));
    int iy = static_cast<int>(std::floor(y));
    float fx = x - static_cast<float>(ix);
    float fy = y - static_cast<float>(iy);
    float n00 = LatticeGradient(ix, iy, fx, fy, period, seed);
    float n10 = LatticeGradient(ix + 1, iy, fx - 1, fy, period, seed);
    float n01 = LatticeGradient(ix, iy + 1, fx, fy - 1, period, seed);
    float n11 = LatticeGradient(ix + 1, iy + 1, fx - 1, fy - 1, period, seed);
    float u = Fade(fx);
    float v = Fade(fy);
    float a = n00 + (n10 - n00) * u;
    float b = n01 + (n11 - n01) * u;
    return (a + (b - a) * v) * 1.41f;
}

float FractalNoise(float x, float y, int octaves, float gain, int period, uint32_t seed)
{
    float sum = 0;
    float amplitude = 1;
    float norm = 0;
    for (int o = 0; o < octaves; o++) {
        sum += amplitude * GradientNoise(x, y, period, seed + static_cast<uint32_t>(o) * 101u);
        norm += amplitude;
        amplitude *= gain;
        x *= 2;
        y *= 2;
        if (period > 0)
            period *= 2;
    }
    return sum / norm;
}

// Nearest and second-nearest distances to the jittered cell points.
static void CellDistances(float x, float y, int period, uint32_t seed, float& nearest, float& second)
{
    int ix = static_cast<int>(std::floor(x));
    int iy = static_cast<int>(std::floor(y));
    nearest = 10;
    second = 10;
    for (int cy = iy - 1; cy <= iy + 1; cy++) {
        for (int cx = ix - 1; cx <= ix + 1; cx++) {
            uint32_t wx = static_cast<uint32_t>(Wrap(cx, period));
            uint32_t wy = static_cast<uint32_t>(Wrap(cy, period));
            float px = static_cast<float>(cx) + HashUnit(wx, wy, 1, seed);
            float py = static_cast<float>(cy) + HashUnit(wx, wy, 2, seed);
            float d = std::sqrt((px - x) * (px - x) + (py - y) * (py - y));
            if (d < nearest) {
                second = nearest;
                nearest = d;
            } else if (d < second) {
                second = d;
            }
        }
    }
}

float CellEdge(float x, float y, int period, uint32_t seed)
{
    float nearest, second;
    CellDistances(x, y, period, seed, nearest, second);
    return second - nearest;
}
