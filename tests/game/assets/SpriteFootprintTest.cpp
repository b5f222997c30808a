// Billboard quads projected to the window under a known camera: their bounds in whole
// pixels, the part in front of the near plane of a quad that reaches behind the eye, and the
// rectangle and fill of a set.
#include "game/assets/SpriteFootprint.h"

#include "tests/support/GLContextFixture.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

class SpriteFootprintTest : public testsupport::GLTest {
  protected:
    void SetUp() override { testsupport::squareCamera(); }
    void TearDown() override {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
    }
};

TEST_F(SpriteFootprintTest, QuadsInFrontProjectToTheirPixelsAndSumTheirFill) {
    SpriteFootprint footprint;
    const Vector3 right{10.0f, 0.0f, 0.0f}, up{0.0f, 10.0f, 0.0f};
    // 100 ahead, half size 10: 0.1 of the half view either way, pixels 28.8 to 35.2.
    QuadExtent q = footprint.project({0.0f, 0.0f, -100.0f}, right, up);
    ASSERT_FALSE(q.hidden);
    EXPECT_NEAR(q.lo[0], 28.8f, 1e-3f);
    EXPECT_NEAR(q.hi[1], 35.2f, 1e-3f);
    EXPECT_NEAR(q.area(), 6.4 * 6.4, 1e-2);
    footprint.include(q);
    // Off to the right and partly outside the view: pixels 59.2 to 65.6, clipped at 64.
    QuadExtent edge = footprint.project({95.0f, 0.0f, -100.0f}, right, up);
    EXPECT_NEAR(edge.hi[0], 64.0f, 1e-3f);
    EXPECT_NEAR(edge.area(), 4.8 * 6.4, 1e-2);
    footprint.include(edge);
    EXPECT_NEAR(footprint.fill(), 6.4 * 6.4 + 4.8 * 6.4, 1e-2);
    int rect[4];
    footprint.rect(rect);
    EXPECT_EQ(rect[0], 28);
    EXPECT_EQ(rect[1], 28);
    EXPECT_EQ(rect[2], 64 - 28);
    EXPECT_EQ(rect[3], 36 - 28);
    EXPECT_NEAR(footprint.meanDepth(), (6.4 * 6.4 + 4.8 * 6.4) / (36.0 * 8.0), 1e-4);
    // Wholly outside the view: hidden, and adds nothing.
    QuadExtent away = footprint.project({400.0f, 0.0f, -100.0f}, right, up);
    EXPECT_TRUE(away.hidden);
    footprint.include(away);
    EXPECT_NEAR(footprint.fill(), 6.4 * 6.4 + 4.8 * 6.4, 1e-2);
}

TEST_F(SpriteFootprintTest, OnlyThePartInFrontOfTheNearPlaneCounts) {
    SpriteFootprint footprint;
    // Facing the eye from behind it: nothing shows.
    QuadExtent behind =
        footprint.project({0.0f, 0.0f, 5.0f}, {10.0f, 0.0f, 0.0f}, {0.0f, 10.0f, 0.0f});
    EXPECT_TRUE(behind.hidden);
    EXPECT_EQ(behind.area(), 0.0);
    // Flat on the ground 10 below the eye, from 10 behind it to 100 ahead, 10 wide: in front
    // of the near plane it runs from the view's bottom edge up to the far end at
    // 32 - 32 x 10 / 100 = 28.8, and its near part spans the whole width.
    QuadExtent ground =
        footprint.project({0.0f, -10.0f, -45.0f}, {5.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 55.0f});
    ASSERT_FALSE(ground.hidden);
    EXPECT_NEAR(ground.lo[0], 0.0f, 1e-3f);
    EXPECT_NEAR(ground.hi[0], 64.0f, 1e-3f);
    EXPECT_NEAR(ground.lo[1], 0.0f, 1e-3f);
    EXPECT_NEAR(ground.hi[1], 28.8f, 1e-2f);
    footprint.include(ground);
    int rect[4];
    footprint.rect(rect);
    EXPECT_EQ(rect[0], 0);
    EXPECT_EQ(rect[1], 0);
    EXPECT_EQ(rect[2], 64);
    EXPECT_EQ(rect[3], 29);
    // Nothing included: an empty rectangle.
    SpriteFootprint none;
    none.rect(rect);
    EXPECT_EQ(rect[2] * rect[3], 0);
    EXPECT_EQ(none.fill(), 0.0);
    EXPECT_EQ(none.meanDepth(), 0.0);
}

} // namespace
