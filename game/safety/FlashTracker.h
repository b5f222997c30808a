// Transitions of one cell over time: the peaks and valleys of its relative luminance and of
// its red measure. A transition is a change between the last peak and the following valley
// (or valley and peak) that the rules count: at least 10 % luminance with the darker state
// below 0.8, or more than 20 on the red measure with a saturated red at one end. A slow fade
// makes one transition however long it runs; only a change of direction starts the next.
#pragma once

#include "game/safety/FlashRules.h"

#include <cstdint>

namespace safety {

// One signal of one cell. rise and fall: +1 and -1; none: 0.
class SignalTrack {
  public:
    // What step would report for value, without changing anything.
    template <class Counts> int peek(float value, bool flag, Counts counts) const {
        if (!started) {
            return 0;
        }
        if (direction <= 0 && value > low && counts(low, value, lowFlag, flag)) {
            return 1;
        }
        if (direction >= 0 && value < high && counts(high, value, highFlag, flag)) {
            return -1;
        }
        return 0;
    }
    // Takes the next value; returns the transition it completes.
    template <class Counts> int step(float value, bool flag, Counts counts) {
        if (!started) {
            started = true;
            low = high = value;
            lowFlag = highFlag = flag;
            return 0;
        }
        int t = peek(value, flag, counts);
        if (t != 0) {
            direction = static_cast<int8_t>(t);
        }
        // After a rise the peak is followed upwards, after a fall the valley downwards; before
        // the first transition both.
        if (t > 0 || value > high) {
            high = value;
            highFlag = flag;
        }
        if (t < 0 || value < low) {
            low = value;
            lowFlag = flag;
        }
        return t;
    }
    int lastDirection() const { return direction; }
    // The peak (after a rise) or the valley (after a fall) the next transition starts from.
    float reference() const { return direction < 0 ? low : high; }

  private:
    float low = 0.0f, high = 0.0f;
    bool lowFlag = false, highFlag = false;
    bool started = false;
    int8_t direction = 0;
};

// Both signals of one cell under one set of rules.
struct CellTrack {
    SignalTrack luma;
    SignalTrack red;

    struct Events {
        int luma = 0;
        int red = 0;
    };
    Events peek(const CellColour& c, const FlashRules& rules) const;
    Events step(const CellColour& c, const FlashRules& rules);
};

} // namespace safety
