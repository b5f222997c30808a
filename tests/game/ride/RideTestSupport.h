// A ride on a GL context of its own, fed by a music source the test controls.
#pragma once

#include "game/ride/RideTrack.h"
#include "tests/support/GLContextFixture.h"

#include <gtest/gtest.h>

#include <cstring>

namespace ridetest {

// Every band of both channels at one value; counts its reads.
class SteadyMusic : public IMusicSource {
  public:
    unsigned char left = 0;
    unsigned char right = 0;
    int reads = 0;
    void read(unsigned char spectrum[2][1024], char title[200]) override {
        ++reads;
        std::memset(spectrum[0], left, 1024);
        std::memset(spectrum[1], right, 1024);
        std::strcpy(title, "steady");
    }
    void set(unsigned char level) { left = right = level; }
};

class RideTest : public testsupport::GLTest {
  protected:
    void SetUp() override {
        rideSmoothing = 0.75f;
        rideSpeed = 0.5f;
        rideSpeedChanged = false;
    }
    // n frames of dt seconds with the given view.
    void run(CRideTrack& ride, int n, float dt, const RideView& view = RideView{}) {
        for (int i = 0; i < n; ++i) {
            ride.updateRideFrame(dt, view);
        }
    }

    SteadyMusic music;
};

} // namespace ridetest
