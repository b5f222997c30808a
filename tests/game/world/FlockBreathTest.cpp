// The winged flock and the dragon's breath: frame-time limits, the flock's clamps, wings and
// flaps, the breath's intensities, its one-time restart, its drawing order, its footprint on
// the window and its drawing through the coarse layer close up.
#include "game/assets/ViewSphere.h"
#include "game/world/BreathStream.h"
#include "game/world/WingFlock.h"
#include "tests/support/GLContextFixture.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

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

TEST_F(FlockBreathTest, BreathFootprintCoversEveryQuadInFrontOfTheEye) {
    BreathStream breath;
    testsupport::squareCamera();
    // Every particle 100 in front of the eye with half size 10: each quad spans 0.1 of the
    // half view either way, pixels 28.8 to 35.2, so whole pixels 28 to 36.
    for (BreathParticle& p : breath.particles) {
        p.position = {0.0f, 0.0f, -100.0f};
        p.size = 10.0f;
    }
    breath.SetBillboardAxes();
    int rect[4] = {0, 0, 0, 0};
    double fill = breath.measureFootprint(rect);
    EXPECT_EQ(rect[0], 28);
    EXPECT_EQ(rect[1], 28);
    EXPECT_EQ(rect[2], 8);
    EXPECT_EQ(rect[3], 8);
    EXPECT_NEAR(fill, 2000.0 * 6.4 * 6.4, 1.0);
    // One particle off to the right, partly outside the view: the rectangle stops at the edge.
    breath.particles[7].position = {95.0f, 0.0f, -100.0f};
    breath.measureFootprint(rect);
    EXPECT_EQ(rect[0], 28);
    EXPECT_EQ(rect[0] + rect[2], 64);
    // A quad behind the eye shows nothing: the rectangle stays, and its pixels go.
    const double withIt = breath.measureFootprint(rect);
    breath.particles[3].position = {0.0f, 0.0f, 5.0f};
    fill = breath.measureFootprint(rect);
    EXPECT_EQ(rect[0], 28);
    EXPECT_EQ(rect[0] + rect[2], 64);
    EXPECT_NEAR(fill, withIt - 6.4 * 6.4, 1.0);
}

TEST_F(FlockBreathTest, BreathCloseUpGoesThroughTheCoarseLayerAndLooksTheSame) {
    BreathStream breath;
    breath.SetIntensity(1.0f);
    for (int i = 0; i < 20; ++i) {
        breath.Update(0.02f);
    }
    // The window shows the middle 64 x 64 pixels of an 800 x 600 view, the game's size, for
    // which the layer's thresholds are made.
    auto draw = [&breath](bool layer, float distance) {
        testsupport::squareCamera();
        glViewport(32 - 400, 32 - 300, 800, 600);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(90.0, 800.0 / 600.0, 1.0, 5000.0);
        glMatrixMode(GL_MODELVIEW);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glTranslatef(0.0f, -30.0f, -distance);
        breath.IsInView();
        breath.layer.allow = layer;
        breath.Render();
        std::vector<unsigned char> px(64 * 64 * 4);
        glReadPixels(0, 0, 64, 64, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
        return px;
    };
    // Close up the quads overlap hundreds deep and the layer takes them: at half the
    // window's size, a quarter where they are over 40 pixels across, an eighth over 64, and a
    // quarter instead of a half where they lie over 100 deep (about 180 here). Spread six times
    // as wide, the column lies about 60 deep and keeps the half size.
    struct Case {
        float distance;
        float spread;
        int divisor;
    };
    const std::vector<BreathParticle> gathered = breath.particles;
    for (const Case& c : {Case{190.0f, 6.0f, 2}, Case{190.0f, 1.0f, 4}, Case{80.0f, 1.0f, 4},
                          Case{40.0f, 1.0f, 8}}) {
        SCOPED_TRACE(testing::Message() << c.distance << " units, spread " << c.spread);
        for (size_t i = 0; i < gathered.size(); ++i) {
            breath.particles[i].position.x = gathered[i].position.x * c.spread;
        }
        const float distance = c.distance;
        const std::vector<unsigned char> direct = draw(false, distance);
        EXPECT_FALSE(breath.drewThroughLayer());
        const std::vector<unsigned char> layered = draw(true, distance);
        EXPECT_TRUE(breath.drewThroughLayer());
        EXPECT_EQ(breath.layer.lastDivisor(), c.divisor);
        long total = 0, lit = 0;
        for (size_t i = 0; i < direct.size(); i += 4) {
            for (size_t c = 0; c < 3; ++c) {
                total += std::abs(int(direct[i + c]) - int(layered[i + c]));
            }
            lit += direct[i] > 100 ? 1 : 0;
        }
        EXPECT_GT(lit, 200) << "the fire must fill a good part of the view";
        EXPECT_LT(static_cast<double>(total) / static_cast<double>(direct.size() / 4 * 3), 3.0);
    }
    // Far off the quads are a few pixels each and are drawn into the window.
    draw(true, 4000.0f);
    EXPECT_FALSE(breath.drewThroughLayer());
}

} // namespace
