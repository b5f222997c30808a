// The emitters' particle rules without drawing: restarts, music inputs, the burst's trigger
// and its first sparks, snow density; the world's share of the music feed.
#include "game/assets/math/Random.h"
#include "game/world/BeatBurst.h"
#include "game/world/FountainSpray.h"
#include "game/world/PoleSpray.h"
#include "game/world/PotFlame.h"
#include "game/world/SnowFall.h"
#include "game/world/WorldObjects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

constexpr float kDt = 1.0f / 60.0f;

TEST(PotFlame, SetUpThrowsEveryFlameUpFromTheMouth) {
    std::srand(7);
    PotFlame f;
    ASSERT_EQ(f.maxParticles, 1000);
    ASSERT_EQ(f.particles.size(), 1000u);
    EXPECT_FLOAT_EQ(f.radius, 110.0f);
    EXPECT_FLOAT_EQ(f.origin.y, 100.0f);
    EXPECT_EQ(f.mode, 1);
    for (const Particle& p : f.particles) {
        // Upward speed 400..450, sideways at most 25, from the pot's mouth.
        ASSERT_GE(p.baseVelocity.y, 400.0f);
        ASSERT_LE(p.baseVelocity.y, 450.0f);
        ASSERT_LE(std::fabs(p.baseVelocity.x), 50.0f);
        ASSERT_LE(std::fabs(p.baseVelocity.z), 50.0f);
        ASSERT_FLOAT_EQ(p.position.length(), 0.0f);
        ASSERT_FLOAT_EQ(p.size, 2.0f);
        ASSERT_FLOAT_EQ(p.colour.y, 0.2f);
        // The red is the same draw as the x speed.
        ASSERT_NEAR(p.colour.x * 50.0f, std::fabs(p.baseVelocity.x), 1e-3f);
    }
}

TEST(PotFlame, LevelZeroRestartsEveryFlameAtEachUpdate) {
    PotFlame f;
    f.SetLevel(0.0f, false, false, false, false);
    // Once the set-up's life of 5 has burnt (0.4 time units), a restart gives life 0, so
    // every flame restarts again at the next update and none leaves the mouth.
    f.Update(0.4f);
    for (int step = 0; step < 3; ++step) {
        f.Update(kDt);
        for (const Particle& p : f.particles) {
            ASSERT_FLOAT_EQ(p.life, 0.0f);
            ASSERT_FLOAT_EQ(p.position.y, 0.0f);
        }
    }
    // With a level the flames live and rise a fixed 0.01 of their speed per update.
    f.SetLevel(20.0f, false, false, false, false);
    f.Update(kDt);
    f.Update(kDt);
    int rising = 0;
    for (const Particle& p : f.particles) {
        if (p.life > 0.0f && p.position.y > 0.0f) {
            ++rising;
            ASSERT_NEAR(p.position.y, 0.01f * p.baseVelocity.y, 1e-3f);
        }
    }
    EXPECT_GT(rising, 900);
}

TEST(PotFlame, LevelSetsScaleAndTheChosenOverrides) {
    PotFlame f;
    f.SetLevel(7.0f, false, false, false, true);
    EXPECT_FLOAT_EQ(f.scale, 0.5f);
    EXPECT_FLOAT_EQ(f.redOverride, -1.0f);
    Particle p;
    p.colour = {0.5f, 0.2f, 0.2f};
    EXPECT_FLOAT_EQ(f.drawnRed(p), 0.8f * 0.5f);
    // The ride's feed: red from the level, clamped to 1; the others stay off.
    f.SetLevel(28.0f, true, false, false, true);
    EXPECT_FLOAT_EQ(f.redOverride, 1.0f);
    EXPECT_FLOAT_EQ(f.greenOverride, -1.0f);
    EXPECT_FLOAT_EQ(f.blueOverride, -1.0f);
    EXPECT_FLOAT_EQ(f.drawnRed(p), 1.0f);
    f.SetLevel(7.0f, false, true, true, false);
    EXPECT_FLOAT_EQ(f.scale, 2.0f); // kept from the last level that set it
    EXPECT_FLOAT_EQ(f.greenOverride, 0.5f);
    EXPECT_FLOAT_EQ(f.blueOverride, 0.5f);
    EXPECT_FLOAT_EQ(f.redOverride, -1.0f);
}

TEST(BeatBurst, TriggersOnlyAfterItsDurationAndOnAChangeOfBeat) {
    BeatBurst b;
    EXPECT_FALSE(b.running);
    EXPECT_FLOAT_EQ(b.elapsedTime, b.duration);
    b.Burst(false, 30.0f, 0, 0, 1, 1); // beat equals running: nothing
    EXPECT_FLOAT_EQ(b.elapsedTime, 1.0f);
    EXPECT_FALSE(b.particles[0].active);

    b.Burst(true, 30.0f, 0, 0, 1, 1);
    EXPECT_TRUE(b.running);
    EXPECT_FLOAT_EQ(b.elapsedTime, 0.0f);
    EXPECT_TRUE(b.particles[0].active);
    EXPECT_FLOAT_EQ(b.amount, 0.5f);
    b.particles[0].life = 3.0f;
    b.Burst(true, 60.0f, 0, 0, 1, 1); // running already
    b.elapsedTime = 0.5f;
    b.Burst(false, 60.0f, 0, 0, 1, 1); // a change, but before the duration
    EXPECT_TRUE(b.running);
    EXPECT_FLOAT_EQ(b.particles[0].life, 3.0f);
    EXPECT_FLOAT_EQ(b.amount, 0.5f);
    b.elapsedTime = 1.0f;
    b.Burst(false, 60.0f, 0, 0, 1, 1);
    EXPECT_FALSE(b.running);
    EXPECT_FLOAT_EQ(b.amount, 1.0f);
}

TEST(BeatBurst, AmountSixtyOrMoreGivesFullSizeFastYellowSparks) {
    for (float a : {60.0f, 200.0f, -90.0f}) {
        BeatBurst b;
        b.Burst(true, a, 0.0f, 0.0f, -1.0f, 1);
        EXPECT_FLOAT_EQ(b.amount, 1.0f) << a;
        const Particle& first = b.particles[0];
        EXPECT_NEAR(first.baseVelocity.length(), 400.0f, 0.05f);
        EXPECT_FLOAT_EQ(first.colour.x, 1.0f);
        EXPECT_FLOAT_EQ(first.colour.y, 0.0f);
        for (size_t i = 1; i < b.particles.size(); ++i) {
            const Particle& p = b.particles[i];
            ASSERT_NEAR(p.baseVelocity.length(), 300.0f, 0.05f);
            ASSERT_FLOAT_EQ(p.size, 1.1f);
            ASSERT_FLOAT_EQ(p.life, 70.0f);
            ASSERT_TRUE(p.active);
            ASSERT_FLOAT_EQ(p.colour.x, 1.0f);
            ASSERT_FLOAT_EQ(p.colour.y, 1.0f);
            ASSERT_FLOAT_EQ(p.colour.z, 0.0f);
            // spawnMode 1 starts at the emitter's origin.
            ASSERT_FLOAT_EQ(p.position.length(), 0.0f);
        }
    }
    // A quieter burst: red sparks, smaller, slower.
    BeatBurst quiet;
    quiet.Burst(true, 30.0f, 0.0f, 0.0f, -1.0f, 1);
    EXPECT_NEAR(quiet.particles[0].baseVelocity.length(), 250.0f, 0.05f);
    EXPECT_FLOAT_EQ(quiet.particles[0].size, 0.6f);
    EXPECT_FLOAT_EQ(quiet.particles[1].colour.x, 0.5f);
    EXPECT_FLOAT_EQ(quiet.particles[1].colour.y, 0.0f);
}

TEST(FountainSpray, DropsBelowTheMouthRestartWithLifeLeft) {
    FountainSpray f;
    f.SetPair(50.0f, 0.5f);
    EXPECT_FLOAT_EQ(f.lifeScale, 50.0f);
    EXPECT_FLOAT_EQ(f.speedScale, 0.5f);
    Particle& p = f.particles[0];
    p.life = 100.0f;
    p.position = {3.0f, -0.5f, 4.0f};
    p.velocity = {1.0f, -300.0f, 1.0f};
    f.Update(kDt);
    EXPECT_FLOAT_EQ(p.position.length(), 0.0f);
    EXPECT_FLOAT_EQ(p.velocity.y, p.baseVelocity.y);
    EXPECT_LE(p.life, 5.0f * 50.0f);
    // Above the mouth: gravity, then the move scaled by the speed scale.
    Particle& q = f.particles[1];
    q.life = 100.0f;
    q.position = {0.0f, 10.0f, 0.0f};
    q.velocity = {0.0f, 100.0f, 0.0f};
    f.Update(0.1f);
    EXPECT_FLOAT_EQ(q.velocity.y, 100.0f - 20.05f);
    EXPECT_NEAR(q.position.y, 10.0f + 79.95f * 0.1f * 0.5f, 1e-4f);
}

TEST(SnowFall, FlakesBelowTheGroundRestartAtTheirSpawnPoint) {
    SnowFall s;
    for (const Particle& p : s.particles) {
        ASSERT_FLOAT_EQ(p.spawnPosition.y, 750.0f);
        ASSERT_LE(std::fabs(p.spawnPosition.x), 1750.0f);
        ASSERT_LE(std::fabs(p.spawnPosition.z), 1750.0f);
        ASSERT_GE(p.size, 1.0f);
        ASSERT_LE(p.size, 1.5f);
    }
    Particle& p = s.particles[5];
    p.life = 40.0f;
    p.position = {1.0f, -1.0f, 2.0f};
    p.velocity = {0.0f, -500.0f, 0.0f};
    s.Update(0.1f);
    // Restarted, then the same update's gravity applies.
    EXPECT_FLOAT_EQ(p.velocity.y, -20.05f);
    EXPECT_NEAR(p.position.y, 750.0f - 2.005f, 1e-3f);
    EXPECT_FLOAT_EQ(p.position.x, p.spawnPosition.x);
}

TEST(SnowFall, DensityChoosesHowManyFlakesShow) {
    SnowFall s;
    EXPECT_EQ(s.drawnCount(), 0); // silence: no snow
    s.SetPair(0.0f, 1.0f);
    EXPECT_EQ(s.drawnCount(), 0);
    s.SetPair(0.5f, 1.0f);
    EXPECT_EQ(s.drawnCount(), 1500);
    s.SetPair(1.0f, 1.0f);
    EXPECT_EQ(s.drawnCount(), 3000);
    s.SetPair(4.0f, 1.0f);
    EXPECT_FLOAT_EQ(s.density, 1.0f);
    EXPECT_EQ(s.drawnCount(), 3000);
}

TEST(PoleSpray, SparksStartOnTheSpawnSphereAndDarkenWithTheMusic) {
    PoleSpray s(5.0f);
    EXPECT_FLOAT_EQ(s.lifeScale, 0.5f);
    for (const Particle& p : s.particles) {
        ASSERT_NEAR(p.spawnPosition.length(), 5.0f, 1e-3f);
        ASSERT_NEAR(p.baseVelocity.length(), 100.0f, 1e-2f);
        ASSERT_GE(p.size, 2.0f);
        ASSERT_LE(p.size, 5.0f);
    }
    s.SetPair(60.0f, 2.0f);
    EXPECT_FLOAT_EQ(s.lifeScale, 60.5f);
    EXPECT_FLOAT_EQ(s.darkness, 0.5f);
    s.SetPair(300.0f, 2.0f);
    EXPECT_FLOAT_EQ(s.darkness, 1.0f);
    // A spark whose life runs out goes back to its spawn point.
    Particle& p = s.particles[0];
    p.life = 0.1f;
    p.position = {50.0f, 50.0f, 50.0f};
    s.Update(kDt);
    EXPECT_FLOAT_EQ(p.position.x, p.spawnPosition.x);
}

TEST(WorldFeed, LevelReachesEveryObjectWithTheRideFormulas) {
    WorldObjects w;
    w.potFlames = new PotFlame;
    w.snow = new SnowFall;
    w.fountainSpray = new FountainSpray;
    w.poleSpray = new PoleSpray(5.0f);
    w.terrain = new CTerrain;
    w.skybox = new Skybox;
    feedWorldLevel(w, 60.0f);
    EXPECT_FLOAT_EQ(w.potFlames->level, 70.0f * 0.19f);
    EXPECT_FLOAT_EQ(w.potFlames->redOverride, 0.95f);
    EXPECT_FLOAT_EQ(w.snow->density, 1.0f);
    EXPECT_NEAR(w.terrain->tint[1], 0.15f, 1e-6f);
    EXPECT_FLOAT_EQ(w.fountainSpray->lifeScale, 110.0f);
    EXPECT_FLOAT_EQ(w.fountainSpray->speedScale, 1.4f);
    EXPECT_NEAR(w.fountainSpray->tint[1], 0.15f, 1e-6f);
    EXPECT_NEAR(w.skybox->tint[0], -0.1f, 1e-6f);
    EXPECT_FLOAT_EQ(w.poleSpray->darkness, 0.15f);
    feedWorldLevel(w, 0.0f);
    EXPECT_FLOAT_EQ(w.skybox->tint[2], 1.0f);
    EXPECT_FLOAT_EQ(w.terrain->tint[1], 1.0f);
    EXPECT_FLOAT_EQ(w.snow->density, 0.0f);
    delete w.potFlames;
    delete w.snow;
    delete w.fountainSpray;
    delete w.poleSpray;
    delete w.terrain;
    delete w.skybox;
}

} // namespace
