// The path program driven for many simulated minutes: every kind of segment, a trail without
// jumps at the changes from one segment to the next, rails that keep their side, and the
// re-rolled program staying within its ranges.
#include "tests/game/ride/RideTestSupport.h"

#include <cmath>
#include <cstdlib>
#include <set>

namespace ridetest {
namespace {

float planeDistance(const Vector3& a, const Vector3& b) {
    return std::hypot(a.x - b.x, a.z - b.z);
}

// The path's angles wrap by 6.28, not by 2 pi: a rail at radius 1316 moves 4.2 units there.
const float kWrapGlitch = (6.2831853f - 6.28f) * 1316.0f;

// The largest step a point may make in one frame at angular speed w.
float allowedStep(float w, float dt) {
    return 1.05f * (w * 1316.0f + 300.0f / 7.85f * w) * dt + kWrapGlitch;
}

struct Jumps {
    float car = 0.0f;
    float rails = 0.0f;
};

class RidePathTest : public RideTest {
  protected:
    // Drives the ride for the given time and records the largest steps of the car and of
    // each rail from one frame to the next.
    Jumps drive(CRideTrack& ride, float seconds, float dt) {
        Jumps j;
        int frames = static_cast<int>(seconds / dt);
        for (int f = 0; f < frames; ++f) {
            ride.updateRideFrame(dt, RideView{});
            seen.insert(ride.program[ride.currentSegment].kind);
            const Vector3& p = ride.carPath[0].position;
            float fromCentre = std::hypot(p.x, p.z);
            maxRadius = std::max(maxRadius, fromCentre);
            minRadius = std::min(minRadius, fromCentre);
            checkProgram(ride);
            if (f < 2) {
                continue; // the first samples leave the origin
            }
            j.car = std::max(j.car, planeDistance(p, ride.carPath[1].position));
            for (const TrackHistory<CRideTrack::kHistory>* rail :
                 {&ride.innerRails[0], &ride.innerRails[1], &ride.outerRails[0],
                  &ride.outerRails[1]}) {
                j.rails =
                    std::max(j.rails, planeDistance((*rail)[0].position, (*rail)[1].position));
            }
        }
        return j;
    }
    void checkProgram(const CRideTrack& ride) {
        for (int e : {0, 4, 8}) {
            EXPECT_EQ(ride.program[e].kind, PathSegment::FigureEight);
            EXPECT_GE(ride.program[e].count, 1);
            EXPECT_LE(ride.program[e].count, 3);
            crossings.insert(ride.program[e].count);
        }
        for (int e : {2, 6, 10}) {
            int32_t k = ride.program[e].kind;
            EXPECT_TRUE(k == PathSegment::CircleUp || k == PathSegment::CircleDown) << k;
            EXPECT_GE(ride.program[e].count, 1);
            EXPECT_LE(ride.program[e].count, 2);
            laps.insert(ride.program[e].count);
        }
        for (int e = 1; e < 12; e += 2) {
            EXPECT_EQ(ride.program[e].kind, PathSegment::Transition);
        }
    }

    std::set<int32_t> seen, crossings, laps;
    float maxRadius = 0.0f, minRadius = 1e9f;
};

TEST_F(RidePathTest, FortyMinutesOfRideWithoutJumps) {
    std::srand(7);
    CRideTrack ride(0.0f, music); // w = 0.2 rad/s
    const float dt = 0.05f;
    Jumps j = drive(ride, 40.0f * 60.0f, dt);
    EXPECT_EQ(seen, (std::set<int32_t>{PathSegment::Transition, PathSegment::FigureEight,
                                       PathSegment::CircleUp, PathSegment::CircleDown}));
    // The fastest point is a rail at radius 1316, plus the spiral's 300 units per sweep; a
    // rail that changed sides would jump at least 28 units.
    EXPECT_LT(j.car, allowedStep(0.2f, dt));
    EXPECT_LT(j.rails, allowedStep(0.2f, dt));
    EXPECT_LT(allowedStep(0.2f, dt), 28.0f);
    EXPECT_GT(j.car, 0.5f * 0.2f * 1000.0f * dt); // it does move
    // Out to the lobes' outer points and through the crossing of the chords.
    EXPECT_NEAR(maxRadius, 1300.0f, 5.0f);
    EXPECT_LT(minRadius, 5.0f);
    // The re-rolls used their whole ranges.
    EXPECT_EQ(crossings, (std::set<int32_t>{1, 2, 3}));
    EXPECT_EQ(laps, (std::set<int32_t>{1, 2}));
}

TEST_F(RidePathTest, FastRideAfterASpeedChangeStaysContinuous) {
    std::srand(11);
    CRideTrack ride(0.0f, music);
    drive(ride, 200.0f, 0.02f);
    rideSpeed = 1.0f; // in the middle of the program
    rideSpeedChanged = true;
    Jumps j = drive(ride, 15.0f * 60.0f, 0.02f);
    EXPECT_LT(j.car, allowedStep(0.4f, 0.02f));
    EXPECT_LT(j.rails, allowedStep(0.4f, 0.02f));
    EXPECT_EQ(seen.size(), 4u);
}

TEST_F(RidePathTest, FirstSegmentIsTheFigureEightFromItsUpperLobe) {
    CRideTrack ride(0.5f, music);
    EXPECT_EQ(ride.currentSegment, -1);
    run(ride, 1, 0.01f);
    EXPECT_EQ(ride.currentSegment, 0);
    // Entry 10 (two back) is an increasing circle: the upper lobe, near its outer point.
    const Vector3& p = ride.carPath[0].position;
    EXPECT_NEAR(p.z, 1300.0f, 1.0f);
    EXPECT_NEAR(p.x, 0.0f, 3.0f);
    // The inner and outer drawn rails lie 30 units apart across the track.
    EXPECT_NEAR(planeDistance(ride.innerRails[1][0].position, ride.outerRails[1][0].position),
                30.0f, 0.01f);
}

TEST_F(RidePathTest, SwapRailsExchangesInnerAndOuterEverywhere) {
    CRideTrack ride(0.5f, music);
    run(ride, 30, 0.1f);
    Vector3 inner = ride.innerRails[1][17].position, outer = ride.outerRails[1][17].position;
    Vector3 inner0 = ride.innerRails[0][249].position;
    ride.swapRails();
    EXPECT_EQ(ride.outerRails[1][17].position.x, inner.x);
    EXPECT_EQ(ride.innerRails[1][17].position.z, outer.z);
    EXPECT_EQ(ride.outerRails[0][249].position.x, inner0.x);
}

} // namespace
} // namespace ridetest
