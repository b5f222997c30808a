#include "game/shell/FrameTimer.h"

#include <gtest/gtest.h>

namespace {

// A clock that moves only when told to, or when the code under test sleeps.
class FakeClock : public PerfClock {
  public:
    LONGLONG frequency() const override { return freq; }
    LONGLONG now() const override { return counter; }
    void sleepMs(DWORD ms) const override {
        counter += freq * ms / 1000;
        ++sleeps;
    }
    void advanceMs(double ms) const { counter += static_cast<LONGLONG>(freq * ms / 1000.0); }

    LONGLONG freq = 1000000;
    mutable LONGLONG counter = 5000000;
    mutable int sleeps = 0;
};

TEST(FrameTimer, FirstSplitMeasuresFromInit) {
    FakeClock clock;
    CFrameTimer timer(clock);
    ASSERT_TRUE(timer.initTimer());
    clock.advanceMs(250);
    EXPECT_NEAR(timer.splitSeconds(1), 0.25f, 1e-6f);
    clock.advanceMs(10);
    EXPECT_NEAR(timer.peekSeconds(1), 0.01f, 1e-6f);
    EXPECT_NEAR(timer.peekSeconds(1), 0.01f, 1e-6f);
    EXPECT_NEAR(timer.splitSeconds(1), 0.01f, 1e-6f);
}

TEST(FrameTimer, NoCounterMeansInitFails) {
    FakeClock clock;
    clock.freq = 0;
    CFrameTimer timer(clock);
    EXPECT_FALSE(timer.initTimer());
}

TEST(FramePacing, SleepsInFiveMillisecondStepsPastSixteen) {
    FakeClock clock;
    CFrameTimer timer(clock);
    timer.initTimer();
    timer.splitSeconds(1);
    clock.advanceMs(2);
    float dt = paceFrame(&timer, nullptr, 0);
    // 2 ms + 3 sleeps of 5 ms = 17 ms, the first moment past 16 ms.
    EXPECT_EQ(clock.sleeps, 3);
    EXPECT_NEAR(dt, 0.017f, 1e-5f);
}

TEST(FramePacing, LongFrameAdvancesExactlyOneSecond) {
    FakeClock clock;
    CFrameTimer timer(clock);
    timer.initTimer();
    timer.splitSeconds(1);
    clock.advanceMs(3500);
    EXPECT_EQ(paceFrame(&timer, nullptr, 0), 1.0f);
    EXPECT_EQ(clock.sleeps, 0);
    // The split moved on: the next frame measures from the end of the long one.
    clock.advanceMs(20);
    EXPECT_NEAR(paceFrame(&timer, nullptr, 0), 0.02f, 1e-5f);
}

TEST(FramePacing, WithoutTimerUsesTickCounts) {
    DWORD last = 1000;
    EXPECT_NEAR(paceFrame(nullptr, &last, 1040), 0.04f, 1e-6f);
    EXPECT_EQ(last, 1040u);
    EXPECT_EQ(paceFrame(nullptr, &last, 1040), 0.001f);
}

} // namespace
