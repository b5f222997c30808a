// Frame clock: frame time from the performance counter, and the pacing that holds the game
// near 60 frames per second.
#pragma once

#include "platform/base/WinTypes.h"

// Where a timer reads the time and how it waits. Tests give a clock of their own.
class PerfClock {
  public:
    virtual ~PerfClock() = default;
    // Counts per second; 0 when the machine has no high-resolution counter.
    virtual LONGLONG frequency() const = 0;
    virtual LONGLONG now() const = 0;
    virtual void sleepMs(DWORD ms) const = 0;
};

// The performance counter and Sleep of the platform.
const PerfClock& systemClock();

class CFrameTimer {
  public:
    explicit CFrameTimer(const PerfClock& clock = systemClock());

    // Reads the counter frequency (false without a high-resolution counter) and takes the
    // start count.
    bool initTimer();
    // Seconds since the previous split (the first one since construction measures from
    // initTimer) and starts a new split. The channel is ignored.
    float splitSeconds(int channel);
    // Seconds since the last split, changing nothing.
    float peekSeconds(int channel) const;

    const PerfClock& clock() const { return clockSource; }

  private:
    LONGLONG startCount = 0;
    LONGLONG frequency = 0;
    LONGLONG splitCount = 0;
    unsigned char firstSplit[3] = {1, 1, 1};
    const PerfClock& clockSource;
};

// The frame time of one director frame. With a timer: sleeps in 5 ms steps while 0.016 s or
// less have passed since the last split, then splits, capped at 1.0 s. Without one: the tick
// count since lastTick in seconds, 0.001 when not positive; lastTick is then updated.
float paceFrame(CFrameTimer* timer, DWORD* lastTick, DWORD nowTick);

// The second, game-wide timer that other parts may use for their own measurements.
extern CFrameTimer gameTimer;
