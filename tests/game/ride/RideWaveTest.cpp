// The wave: silence and full level, the smoothing factor, the colours, the frame that changes
// nothing and the missing rail texture.
#include "game/assets/DataArchive.h"
#include "game/music/MusicState.h"
#include "tests/game/ride/RideTestSupport.h"

#include <cstring>
#include <memory>
#include <string>

namespace ridetest {

namespace {

bool samePositions(const TrackHistory<CRideTrack::kHistory>& a,
                   const TrackHistory<CRideTrack::kHistory>& b) {
    for (int i = 0; i < CRideTrack::kHistory; ++i) {
        const Vector3 &p = a[i].position, &q = b[i].position;
        if (p.x != q.x || p.y != q.y || p.z != q.z) {
            return false;
        }
    }
    return true;
}

TEST_F(RideTest, SilenceSettlesAtSixtyAndFullLevelAtFifteenNinety) {
    CRideTrack ride(0.5f, music);
    run(ride, 300, 1.0f / 60.0f);
    EXPECT_FLOAT_EQ(ride.levelTrail[0].position.y, 10.0f);
    EXPECT_FLOAT_EQ(ride.levelTrail[49].position.y, 10.0f);
    EXPECT_NEAR(ride.rideHeight, 60.0f, 0.01f);
    EXPECT_NEAR(rideLevel, 0.0f, 1e-4f);
    for (const TrackHistory<CRideTrack::kHistory>* rail :
         {&ride.innerRails[1], &ride.outerRails[1]}) {
        EXPECT_NEAR((*rail)[0].position.y, 60.0f, 0.01f);
    }
    EXPECT_EQ(std::string(musicTitle), "steady");

    music.set(255);
    run(ride, 300, 1.0f / 60.0f);
    EXPECT_FLOAT_EQ(ride.levelTrail[0].position.y, 265.0f);
    EXPECT_NEAR(ride.rideHeight, 1590.0f, 0.05f);
    EXPECT_NEAR(rideLevel, 255.0f, 1e-3f);
    EXPECT_NEAR(ride.carPath[0].position.y, 1590.0f, 0.05f);
}

TEST_F(RideTest, LevelIsTheMeanOfFiftyFramesAndSmoothingPointEightyFiveFollowsAtOnce) {
    rideSmoothing = 0.85f;
    CRideTrack ride(0.5f, music);
    music.set(255);
    ride.updateRideFrame(0.02f, RideView{});
    // Forty-nine samples of the fresh trail are still 0.
    EXPECT_FLOAT_EQ(rideLevel, 265.0f / 50.0f - 10.0f);
    EXPECT_FLOAT_EQ(ride.rideHeight, 6.0f * 265.0f / 50.0f);
    run(ride, 49, 0.02f);
    EXPECT_FLOAT_EQ(ride.rideHeight, 1590.0f);
}

TEST_F(RideTest, RailsAreBlueLowAndRedHigh) {
    RailColour low = railColour(60.0f);
    EXPECT_EQ(low.red, 0.0f);
    EXPECT_EQ(low.blue, 1.0f);
    EXPECT_EQ(railColour(-500.0f).blue, 1.0f);
    RailColour mid = railColour(260.0f);
    EXPECT_FLOAT_EQ(mid.red, 0.5f);
    EXPECT_FLOAT_EQ(mid.blue, 0.5f);
    RailColour high = railColour(1590.0f);
    EXPECT_EQ(high.red, 1.0f);
    EXPECT_EQ(high.green, 0.0f);
    EXPECT_EQ(high.blue, 0.0f);
    EXPECT_EQ(railColour(460.0f).red, 1.0f);
    EXPECT_LT(railColour(459.0f).red, 1.0f);
}

TEST_F(RideTest, AFrameOfZeroSecondsChangesNothing) {
    CRideTrack ride(0.5f, music);
    music.set(90);
    run(ride, 40, 0.1f);
    auto carPath = std::make_unique<TrackHistory<CRideTrack::kHistory>>(ride.carPath);
    auto inner = std::make_unique<TrackHistory<CRideTrack::kHistory>>(ride.innerRails[1]);
    float height = ride.rideHeight;
    int32_t segment = ride.currentSegment;
    int reads = music.reads;
    float stall = ride.stall.stallTime();
    music.set(200);
    rideSpeedChanged = true;
    ride.updateRideFrame(0.0f, RideView{});
    EXPECT_EQ(music.reads, reads);
    EXPECT_EQ(ride.stall.stallTime(), stall);
    EXPECT_TRUE(rideSpeedChanged);
    EXPECT_TRUE(samePositions(ride.carPath, *carPath));
    EXPECT_TRUE(samePositions(ride.innerRails[1], *inner));
    EXPECT_EQ(ride.rideHeight, height);
    EXPECT_EQ(ride.currentSegment, segment);
}

TEST_F(RideTest, StallRaisesTheNoMusicFlagAfterThirtySecondsOfRide) {
    CRideTrack ride(0.5f, music);
    music.set(128); // constant but not silent: a paused player
    noMusicData = false;
    run(ride, 61, 0.5f); // the first frame differs from the start's 0, then 30.0 s equal
    EXPECT_FALSE(noMusicData);
    EXPECT_EQ(ride.stall.stallTime(), 30.0f);
    run(ride, 1, 0.5f);
    EXPECT_TRUE(noMusicData);
    music.set(127);
    run(ride, 1, 0.5f);
    EXPECT_FALSE(noMusicData);
}

TEST_F(RideTest, SpeedSettingIsAppliedOnTheNextFrameOnly) {
    CRideTrack ride(0.5f, music);
    EXPECT_FLOAT_EQ(ride.angularSpeed, 0.3f);
    EXPECT_FLOAT_EQ(ride.smallCircleSpeed, 0.3f * 1.67f);
    rideSpeed = 1.0f;
    run(ride, 1, 0.1f);
    EXPECT_FLOAT_EQ(ride.angularSpeed, 0.3f); // no change requested
    rideSpeedChanged = true;
    run(ride, 1, 0.1f);
    EXPECT_FLOAT_EQ(ride.angularSpeed, 0.4f);
    EXPECT_FALSE(rideSpeedChanged);
}

TEST_F(RideTest, MissingRailTextureEndsTheFirstDraw) {
    CRideTrack ride(0.5f, music);
    ASSERT_EQ(dataArchive, nullptr);
    try {
        ride.render(0.1f, RideView{});
        FAIL() << "no error";
    } catch (const std::string& error) {
        // Which file could not be had, and why.
        EXPECT_EQ(error.rfind("Couldn't load track's texture: Exhaust.png", 0), 0u) << error;
        EXPECT_NE(error.find("no data archive"), std::string::npos) << error;
    }
}

} // namespace
} // namespace ridetest
