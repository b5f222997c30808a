// One sample of a ride history: where the car, the music level or a rail was in one frame.
#pragma once

#include "game/assets/math/Vector3.h"

#include <cstdint>

struct TrackPoint {
    Vector3 position{0.0f, 0.0f, 0.0f};
    Vector3 normal{0.0f, 1.0f, 0.0f};
    Vector3 up{0.0f, 1.0f, 0.0f};
    Vector3 right{1.0f, 0.0f, 0.0f};
    int32_t reserved[2] = {0, 0};
    uint8_t flag = 0;
};
static_assert(sizeof(TrackPoint) == 60, "a track point is 60 bytes");

// A fixed history of samples, index 0 the newest.
template <int N> struct TrackHistory {
    static constexpr int kSize = N;
    TrackPoint points[N];

    TrackPoint& operator[](int i) { return points[i]; }
    const TrackPoint& operator[](int i) const { return points[i]; }
    // Moves every sample one place older; the oldest falls off and point 0 is free to set.
    void shift() {
        for (int i = N - 1; i > 0; --i) {
            points[i] = points[i - 1];
        }
    }
};
