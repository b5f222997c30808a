#include "game/shell/FrameTimer.h"

#include "platform/time/Time.h"

namespace {

class SystemClock : public PerfClock {
  public:
    LONGLONG frequency() const override {
        LARGE_INTEGER f;
        return QueryPerformanceFrequency(&f) ? f.QuadPart : 0;
    }
    LONGLONG now() const override {
        LARGE_INTEGER c;
        QueryPerformanceCounter(&c);
        return c.QuadPart;
    }
    void sleepMs(DWORD ms) const override { Sleep(ms); }
};

} // namespace

const PerfClock& systemClock() {
    static const SystemClock clock;
    return clock;
}

CFrameTimer gameTimer;

CFrameTimer::CFrameTimer(const PerfClock& clock) : clockSource(clock) {}

bool CFrameTimer::initTimer() {
    frequency = clockSource.frequency();
    if (frequency == 0) {
        return false;
    }
    startCount = clockSource.now();
    return true;
}

float CFrameTimer::splitSeconds(int) {
    if (firstSplit[0]) {
        firstSplit[0] = 0;
        splitCount = startCount;
    }
    LONGLONG now = clockSource.now();
    float seconds = frequency != 0 ? static_cast<float>(now - splitCount) / frequency : 0.0f;
    splitCount = now;
    return seconds;
}

float CFrameTimer::peekSeconds(int) const {
    if (frequency == 0) {
        return 0.0f;
    }
    return static_cast<float>(clockSource.now() - splitCount) / static_cast<float>(frequency);
}

float paceFrame(CFrameTimer* timer, DWORD* lastTick, DWORD nowTick) {
    if (timer != nullptr) {
        while (timer->peekSeconds(1) <= 0.016f) {
            timer->clock().sleepMs(5);
        }
        float dt = timer->splitSeconds(1);
        return dt > 1.0f ? 1.0f : dt;
    }
    float dt = static_cast<float>(nowTick - *lastTick) * 0.001f;
    *lastTick = nowTick;
    return dt > 0.0f ? dt : 0.001f;
}
