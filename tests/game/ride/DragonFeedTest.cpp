// The ride's music feed: the beat on the wave, the burst and the dragon by view point, the
// level handed to the dragon, the flock and the world, the dragon's once-a-minute spin, and
// the dragon's set-up from the built archive.
#include "game/ride/DragonFeed.h"
#include "game/assets/DataArchive.h"
#include "tests/game/ride/RideTestSupport.h"

#include <GL/gl.h>

#include <string>
#include <vector>

namespace ridetest {
namespace {

struct BurstCall {
    bool beat;
    float level;
    int spawnMode;
};

// A beat burst and a flock that remember what the feed gave them.
class RecordingActor : public SceneActor {
  public:
    void Burst(bool beat, float a, float, float, float, int spawnMode) override {
        bursts.push_back({beat, a, spawnMode});
    }
    bool Draw(float) override {
        ++updates;
        return true;
    }
    void SetPair(float a, float b) override {
        pairA = a;
        pairB = b;
    }
    std::vector<BurstCall> bursts;
    int updates = 0;
    float pairA = -1.0f, pairB = -1.0f;
};

class DragonFeedTest : public RideTest {
  protected:
    void SetUp() override {
        RideTest::SetUp();
        ride = std::make_unique<CRideTrack>(0.5f, music);
        RideFeedTargets targets;
        targets.dragon = &dragon;
        targets.beatBurst = &burst;
        targets.flock = &flock;
        targets.world = [this](float level) { worldLevels.push_back(level); };
        ride->setFeedTargets(targets);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    // Pushes one wave height onto the car's history, newest at 0.
    void push(float y) {
        ride->carPath.shift();
        ride->carPath[0].position = {0.0f, y, 0.0f};
    }
    // Feeds heights one frame each; returns how many frames saw a beat.
    int beatsOver(const std::vector<float>& heights, int32_t view = viewpoint::kForwardNear) {
        int beats = 0;
        for (float y : heights) {
            push(y);
            ride->feedMusic(1.0f / 60.0f, view, true);
            beats += ride->lastBeat ? 1 : 0;
        }
        return beats;
    }
    static std::vector<float> riseThenHold(int risingFrames) {
        std::vector<float> h(30, 100.0f);
        for (int i = 1; i < risingFrames; ++i) {
            h.push_back(100.0f + 5.0f * i);
        }
        h.insert(h.end(), 20, h.back());
        return h;
    }

    std::unique_ptr<CRideTrack> ride;
    CBoneModel dragon; // empty: draws nothing, takes the level
    RecordingActor burst, flock;
    std::vector<float> worldLevels;
};

TEST_F(DragonFeedTest, ARiseOverSeventeenFramesThenAHoldFiresExactlyOneBeat) {
    EXPECT_EQ(beatsOver(riseThenHold(17)), 1);
    int beatFrames = 0;
    for (const BurstCall& c : burst.bursts) {
        beatFrames += c.beat ? 1 : 0;
    }
    EXPECT_EQ(beatFrames, 1);
    EXPECT_EQ(burst.updates, static_cast<int>(burst.bursts.size()));
    // One frame shorter is no beat, and neither is a rise that goes on.
    EXPECT_EQ(beatsOver(riseThenHold(16)), 0);
    std::vector<float> rising;
    for (int i = 0; i < 60; ++i) {
        rising.push_back(100.0f + i);
    }
    EXPECT_EQ(beatsOver(rising), 0);
}

TEST_F(DragonFeedTest, SilenceGivesTheQuietMovesAndNoBeats) {
    music.set(0);
    // The wave rises from the empty history to its silent height once, then lies flat.
    run(*ride, 300, 1.0f / 60.0f, RideView{viewpoint::kForwardNear, false, true});
    burst.bursts.clear();
    worldLevels.clear();
    run(*ride, 300, 1.0f / 60.0f, RideView{viewpoint::kForwardNear, false, true});
    EXPECT_FLOAT_EQ(rideLevel, 0.0f);
    EXPECT_EQ(dragon.musicLevel, 0);
    EXPECT_FLOAT_EQ(flock.pairA, 0.0f);
    EXPECT_FLOAT_EQ(flock.pairB, 1.0f);
    ASSERT_EQ(worldLevels.size(), 300u);
    EXPECT_FLOAT_EQ(worldLevels.back(), 0.0f);
    for (const BurstCall& c : burst.bursts) {
        EXPECT_FALSE(c.beat);
    }
    // Loud: level 2 moves, and the flock's agility held at 1.
    music.set(255);
    run(*ride, 60, 1.0f / 60.0f, RideView{viewpoint::kForwardNear, false, true});
    EXPECT_GE(rideLevel, 36.0f);
    EXPECT_EQ(dragon.musicLevel, 2);
    EXPECT_FLOAT_EQ(flock.pairA, rideLevel / 60.0f);
    EXPECT_FLOAT_EQ(worldLevels.back(), rideLevel);
}

TEST_F(DragonFeedTest, TheBurstRunsWithTheDragonOffAndTheDragonNeverFliesBackward) {
    const int32_t named[] = {viewpoint::kFrequencyBars, viewpoint::kLookAtCenter,
                             viewpoint::kForwardNear,   viewpoint::kForwardMid,
                             viewpoint::kForwardFar,    viewpoint::kBackward,
                             viewpoint::kLookFromCenter};
    for (int32_t view : named) {
        burst.bursts.clear();
        ride->feedMusic(0.016f, view, false);
        ASSERT_EQ(burst.bursts.size(), 1u) << view;
        EXPECT_EQ(burst.bursts[0].spawnMode, view == viewpoint::kLookFromCenter ? 1 : 0);
    }
    EXPECT_EQ(ride->dragonDraws, 0);
    burst.bursts.clear();
    ride->feedMusic(0.016f, 7, true); // a code without a view point
    EXPECT_TRUE(burst.bursts.empty());
    EXPECT_EQ(ride->dragonDraws, 0);
    ride->feedMusic(0.016f, viewpoint::kBackward, true);
    EXPECT_EQ(ride->dragonDraws, 0);
    ride->feedMusic(0.016f, viewpoint::kForwardFar, true);
    ride->feedMusic(0.016f, viewpoint::kLookFromCenter, true);
    EXPECT_EQ(ride->dragonDraws, 2);
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1) << "every push is popped";
}

TEST_F(DragonFeedTest, OnceAMinuteTheDragonSpinsAFullTurnEachWayInTurn) {
    ride->normalisedLevel = 1.0f; // 5 degrees a frame
    ride->turnDragon(59.0f);
    EXPECT_EQ(ride->dragonAngle, 0.0f);
    int frames = 0;
    ride->turnDragon(1.5f);
    while (ride->dragonAngle != 0.0f && frames < 1000) {
        ride->turnDragon(0.0f);
        ++frames;
    }
    EXPECT_EQ(frames, 72) << "73 steps of 5 degrees pass 360";
    EXPECT_EQ(ride->dragonTurnSign, -1.0f);
    EXPECT_EQ(ride->dragonTurnTimer, 0.0f);
    ride->turnDragon(61.0f);
    EXPECT_FLOAT_EQ(ride->dragonAngle, -5.0f);
}

// The dragon of the built archive has every strip its moves name.
TEST_F(DragonFeedTest, TheBuiltDragonGetsItsEighteenMovesAndThreePlaylists) {
    CDataArchive archive{(std::string(TC_DIST_DIR) + "/data/tcdata.d").c_str()};
    dataArchive = &archive;
    CBoneModel model;
    setupDragon(model, nullptr);
    dataArchive = nullptr;
    ASSERT_EQ(model.combinations.size(), 18u);
    EXPECT_EQ(model.combinations[0].startKey, 10);
    EXPECT_EQ(model.combinations[6].endKey, 25);
    EXPECT_EQ(model.combinations[12].startKey, 10);
    EXPECT_EQ(model.combinations[1].startKey, -1);
    for (int level = 0; level < 3; ++level) {
        ASSERT_EQ(model.playlists[level].size(), 6u);
        EXPECT_EQ(model.playlists[level][0].combination, 6 * level);
    }
    EXPECT_EQ(model.playlists[2][1].loopsWanted, 5);
    EXPECT_EQ(model.currentCombination, 0);
    EXPECT_EQ(model.currentEntry.loopsWanted, 3);
}

} // namespace
} // namespace ridetest
