// The game's random numbers: the C library generator (seeded once by the scene director),
// reduced to the 15-bit range 0..32767 whatever RAND_MAX the library has, so every random
// size, speed and choice keeps the range its formula was made for.
#pragma once

#include <cstdlib>

// 0..32767, from the high bits of one rand() draw.
inline int rand15() {
    constexpr unsigned kSpan = static_cast<unsigned>(RAND_MAX) / 32768u + 1u;
    return static_cast<int>(static_cast<unsigned>(std::rand()) / kSpan);
}

// rand15() / 32767: a float in [0, 1], both ends included.
inline float rand01() {
    return static_cast<float>(rand15()) / 32767.0f;
}

// v, or -v when a fresh rand01() is below 0.5 (the same as a fresh rand15() below 16384).
inline float randomSign(float v) {
    return rand01() < 0.5f ? -v : v;
}
