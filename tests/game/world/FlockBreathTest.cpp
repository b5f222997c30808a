// The winged flock and the dragon's breath: frame-time limits, the flock's clamps, wings and
// flaps, the breath's intensities, its one-time restart and its drawing order.
#include "game/assets/ViewSphere.h"
#include "game/world/BreathStream.h"
#include "game/world/WingFlock.h"
#include "tests/support/GLContextFixture.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

class FlockBreathTest : public testsupport::GLTest {
  protected:
    void SetUp() override {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        // Everything in view.
        frustumSphereCenter[0] = frustumSphereCenter[1] = frustumSphereCenter[2] = 0.0f;
        frustumSphereRadius = 100000.0f;
        std::srand(3);
    }
};

// A creature in the middle of the box, flying slowly, with no turn due.
void calm(WingParticle& c) {
    c.position = {0.0f, 150.0f, 0.0f};
    c.velocity = {10.0f, 5.0f, -20.0f};
    c.turnTimer = 0.0f;
    c.wingAngle = 50.0f;
    c.wingRate = 100.0f;
}

TEST_F(FlockBreathTest, FlockFrameTimeIsLimitedAndOutOfViewCreaturesStandStill) {
    WingFlock flock;
    ASSERT_EQ(flock.particles.size(), 10u);
    for (WingParticle& c : flock.particles) {
        calm(c);
    }
    flock.Update(0.5f);
    for (const WingParticle& c : flock.particles) {
        EXPECT_TRUE(c.visible);
        EXPECT_NEAR(c.position.x, 1.0f, 1e-4f);
        EXPECT_NEAR(c.position.z, -2.0f, 1e-4f);
        EXPECT_NEAR(c.wingAngle, 60.0f, 1e-4f);
    }
    frustumSphereCenter[2] = -1e6f;
    frustumSphereRadius = 1.0f;
    flock.Update(0.05f);
    for (const WingParticle& c : flock.particles) {
        EXPECT_FALSE(c.visible);
        EXPECT_NEAR(c.position.x, 1.0f, 1e-4f);
    }
}

TEST_F(FlockBreathTest, FlockTurnsAreClampedWingsFollowTheMusicAndFlapsReverse) {
    WingFlock flock;
    WingParticle c = flock.particles[0];
    calm(c);
    c.turnStep = 1;
    c.velocity.y = 80.0f;
    c.turnTimer = 5.0f;
    float interval = 1.0f;
    flock.moveCreature(c, 0.0f, interval, 0.0f); // no kick: vy = 0.4 x 0 - 80
    EXPECT_FLOAT_EQ(c.velocity.y, -60.0f);
    EXPECT_EQ(c.turnStep, 2);
    EXPECT_EQ(c.turnTimer, 0.0f);
    EXPECT_GE(interval, 1.0f);
    EXPECT_LE(interval, 2.0f);
    EXPECT_LE(std::fabs(c.roll), 30.0f);
    c.velocity.x = 500.0f;
    c.turnTimer = 0.0f;
    flock.moveCreature(c, 0.0f, interval, 0.0f);
    EXPECT_FLOAT_EQ(c.velocity.x, 100.0f);
    // Bounce: flying up out of the top of the box turns it down.
    c.position.y = 310.0f;
    c.velocity.y = 20.0f;
    flock.moveCreature(c, 0.0f, interval, 0.0f);
    EXPECT_LT(c.velocity.y, 0.0f);

    EXPECT_FLOAT_EQ(flock.wingLength(c), 7.5f);
    flock.SetPair(1.0f, 1.0f);
    EXPECT_FLOAT_EQ(flock.wingLength(c), 17.5f);
    flock.SetPair(3.0f, 1.0f);
    EXPECT_FLOAT_EQ(flock.wingLength(c), 17.5f);

    c.wingAngle = 72.0f;
    c.wingRate = 230.0f;
    flock.moveCreature(c, 0.1f, interval, 0.0f); // 95
    EXPECT_FLOAT_EQ(c.wingAngle, 90.0f);
    EXPECT_FLOAT_EQ(c.wingRate, -230.0f);
    c.wingAngle = 25.0f;
    flock.moveCreature(c, 0.1f, interval, 0.0f); // 2
    EXPECT_FLOAT_EQ(c.wingAngle, 20.0f);
    EXPECT_FLOAT_EQ(c.wingRate, 230.0f);
}

TEST_F(FlockBreathTest, BreathIntensityFollowsTheMusicValue) {
    BreathStream breath;
    ASSERT_EQ(breath.particles.size(), 2000u);
    EXPECT_GE(breath.textureId, 0) << "the soft dot";
    const struct {
        float value;
        int intensity;
    } cases[] = {{0.0f, 0}, {0.29f, 0}, {0.3f, 1}, {0.59f, 1}, {0.6f, 2}, {3.0f, 2}};
    for (const auto& c : cases) {
        breath.SetIntensity(c.value);
        EXPECT_EQ(breath.intensity, c.intensity) << c.value;
    }
    BoneAttachment& attachment = breath;
    attachment.attachmentLevel(0.45f);
    EXPECT_EQ(breath.intensity, 1);
}

TEST_F(FlockBreathTest, BreathFrameTimeIsLimitedAndAChangeRestartsEveryParticleOnce) {
    BreathStream breath;
    breath.Update(0.01f); // same intensity as at set-up: no restart
    auto mark = [&] {
        for (BreathParticle& p : breath.particles) {
            p.life = 1000.0f;
            p.position = p.spawnPosition;
            p.xOffset = 123.0f; // a restart clears it; a rise leaves it
        }
    };
    auto restarted = [&] {
        int n = 0;
        for (const BreathParticle& p : breath.particles) {
            n += p.xOffset == 0.0f ? 1 : 0;
        }
        return n;
    };
    mark();
    breath.Update(1.0f); // as if 0.02: rise by velocity x 0.8 x 0.02
    EXPECT_EQ(restarted(), 0);
    const BreathParticle& first = breath.particles[0];
    EXPECT_NEAR(first.position.y, first.velocity.y * 0.016f, 1e-4f);
    EXPECT_NEAR(first.life, 1000.0f - 0.04f, 1e-3f);

    breath.SetIntensity(3.0f);
    breath.Update(0.01f);
    breath.SetIntensity(0.0f); // 2 -> 0
    mark();
    breath.Update(0.01f);
    EXPECT_EQ(restarted(), 2000);
    EXPECT_EQ(breath.lastIntensity, 0);
    mark();
    breath.Update(0.01f);
    EXPECT_EQ(restarted(), 0);
}

TEST_F(FlockBreathTest, BreathSwingsOnceAtItsHeightLimit) {
    BreathStream breath;
    breath.SetIntensity(0.0f);
    BreathParticle& p = breath.particles[0];
    p.life = 1000.0f;
    p.position = {p.spawnPosition.x, 40.0f, p.spawnPosition.z}; // the quiet limit
    float startX = p.startX;
    breath.Update(0.01f);
    EXPECT_NE(p.yOffset, 0.0f);
    EXPECT_FLOAT_EQ(p.position.x, startX + p.xOffset);
    EXPECT_NEAR(p.position.y, 40.0f + p.yOffset, 1e-4f);
}

TEST_F(FlockBreathTest, BreathIsDrawnFarthestFirst) {
    BreathStream breath;
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -100.0f);
    breath.IsInView();
    for (size_t i = 0; i < breath.particles.size(); ++i) {
        // Depths that are neither sorted nor reverse-sorted in the pool.
        breath.particles[i].position = {0.0f, 0.0f, static_cast<float>((i * 7919) % 2000) / 10.0f};
    }
    breath.sortForDrawing();
    const std::vector<int>& order = breath.drawingOrder();
    ASSERT_EQ(order.size(), 2000u);
    for (size_t i = 1; i < order.size(); ++i) {
        float before = std::fabs(breath.particles[size_t(order[i - 1])].position.z - 100.0f);
        float after = std::fabs(breath.particles[size_t(order[i])].position.z - 100.0f);
        ASSERT_GE(before + 1e-3f, after) << i;
    }
}

} // namespace
