#include "tools/tcdata-build/Noise.h"

#include <cmath>

namespace {

float smooth(float t) {
    return t * t * (3 - 2 * t);
}
float lerp(float a, float b, float t) {
    return a + (b - a) * t;
}

int wrap(int v, int period) {
    return ((v % period) + period) % period;
}

float latticeNoise(float x, float y, float z, uint32_t seed, int period) {
    int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    int z0 = static_cast<int>(std::floor(z));
    float fx = smooth(x - x0), fy = smooth(y - y0), fz = smooth(z - z0);
    auto h = [&](int dx, int dy, int dz) {
        int xi = x0 + dx, yi = y0 + dy;
        if (period > 0) {
            xi = wrap(xi, period);
            yi = wrap(yi, period);
        }
        return hash01(xi, yi, z0 + dz, seed);
    };
    float a = lerp(lerp(h(0, 0, 0), h(1, 0, 0), fx), lerp(h(0, 1, 0), h(1, 1, 0), fx), fy);
    float b = lerp(lerp(h(0, 0, 1), h(1, 0, 1), fx), lerp(h(0, 1, 1), h(1, 1, 1), fx), fy);
    return lerp(a, b, fz);
}

} // namespace

float hash01(int x, int y, int z, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B1u;
    h ^= static_cast<uint32_t>(x) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<uint32_t>(y) * 0xC2B2AE3Du;
    h = (h << 17) | (h >> 15);
    h ^= static_cast<uint32_t>(z) * 0x27D4EB2Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return static_cast<float>(h & 0xFFFFFF) / 16777215.0f;
}

float valueNoise(float x, float y, float z, uint32_t seed) {
    return latticeNoise(x, y, z, seed, 0);
}

float fbm(float x, float y, float z, int octaves, uint32_t seed) {
    float sum = 0, weight = 0.5f, total = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += weight * valueNoise(x, y, z, seed + static_cast<uint32_t>(o));
        total += weight;
        x *= 2;
        y *= 2;
        z *= 2;
        weight *= 0.5f;
    }
    return sum / total;
}

float tiledFbm(float x, float y, int period, int octaves, uint32_t seed) {
    float sum = 0, weight = 0.5f, total = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += weight * latticeNoise(x, y, 0, seed + static_cast<uint32_t>(o), period);
        total += weight;
        x *= 2;
        y *= 2;
        period *= 2;
        weight *= 0.5f;
    }
    return sum / total;
}
