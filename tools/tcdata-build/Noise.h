// Deterministic value noise: the same arguments give the same values on every machine.
#pragma once

#include <cstdint>

// A hash of integer coordinates and a seed into 0..1.
float hash01(int x, int y, int z, uint32_t seed);
// Smooth value noise in 0..1 over a lattice of unit cells.
float valueNoise(float x, float y, float z, uint32_t seed);
// Sum of octaves of valueNoise, each twice the frequency and half the weight; 0..1.
float fbm(float x, float y, float z, int octaves, uint32_t seed);
// Noise that tiles with the given period in x and y (integer periods).
float tiledFbm(float x, float y, int period, int octaves, uint32_t seed);

// A small portable generator for placing things at random, reproducibly.
class Random {
  public:
    explicit Random(uint32_t seed) : state(seed * 2654435761u + 1) {}
    uint32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    float uniform(float lo = 0.0f, float hi = 1.0f) {
        return lo + (hi - lo) * static_cast<float>(next() % 16777216u) / 16777216.0f;
    }

  private:
    uint32_t state;
};
