// The rails drawn with the game's texture when the camera rides them: sprites large on the
// window go through the coarse layer and look as they do drawn into the window; a trail far
// off is drawn into the window alone.
#include "game/assets/DataArchive.h"
#include "game/assets/TextureManager.h"
#include "tests/game/ride/RideTestSupport.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace ridetest {
namespace {

// The test window shows the lower left 64 x 64 pixels of an 800 x 600 viewport.
constexpr int kSide = 64;

class RailsLayerTest : public RideTest {
  protected:
    static void SetUpTestSuite() {
        RideTest::SetUpTestSuite();
        archive = new CDataArchive((std::string(TC_DIST_DIR) + "/data/tcdata.d").c_str());
    }
    static void TearDownTestSuite() {
        textureManager.clearAll();
        delete archive;
        archive = nullptr;
        RideTest::TearDownTestSuite();
    }
    void SetUp() override {
        RideTest::SetUp();
        dataArchive = archive;
        glViewport(0, 0, 800, 600);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60.0, 800.0 / 600.0, 1.0, 5000.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glAlphaFunc(GL_GREATER, 0.0f);
    }
    void TearDown() override {
        dataArchive = nullptr;
        glViewport(0, 0, kSide, kSide);
    }
    // Both rails straight ahead of the eye from `near` on, a unit apart, low and blue, the
    // sprites facing the eye; newest first, nearest.
    static void layRails(CRideTrack& ride, float near) {
        for (int k = 0; k < CRideTrack::kHistory; ++k) {
            const float z = -near - static_cast<float>(k);
            for (TrackHistory<CRideTrack::kHistory>* rail :
                 {&ride.innerRails[1], &ride.outerRails[1]}) {
                TrackPoint& p = (*rail)[k];
                p.position = {rail == &ride.innerRails[1] ? -4.0f : 4.0f, -3.0f, z};
                p.right = {1.0f, 0.0f, 0.0f};
                p.up = {0.0f, 1.0f, 0.0f};
            }
        }
    }
    static std::vector<unsigned char> drawn(CRideTrack& ride) {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        ride.render(0.0f, RideView{viewpoint::kForwardNear});
        std::vector<unsigned char> px(kSide * kSide * 4);
        glReadPixels(0, 0, kSide, kSide, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
        return px;
    }

    static inline CDataArchive* archive = nullptr;
};

TEST_F(RailsLayerTest, RidingTheRailsTheNearSpritesGoThroughTheLayerAndLookTheSame) {
    CRideTrack ride(0.5f, music);
    layRails(ride, 2.0f);
    const std::vector<unsigned char> layered = drawn(ride);
    EXPECT_TRUE(ride.railLayer.lastUsed());
    EXPECT_EQ(ride.railLayer.lastDivisor(), 4);
    ride.railLayer.allow = false;
    const std::vector<unsigned char> direct = drawn(ride);
    EXPECT_FALSE(ride.railLayer.lastUsed());

    long total = 0, lit = 0;
    for (size_t i = 0; i < direct.size(); i += 4) {
        for (size_t c = 0; c < 3; ++c) {
            total += std::abs(int(direct[i + c]) - int(layered[i + c]));
        }
        lit += direct[i + 2] > 40 ? 1 : 0;
    }
    ASSERT_GT(lit, kSide * kSide / 4) << "the near sprites must show in the corner";
    EXPECT_LT(static_cast<double>(total) / static_cast<double>(direct.size() / 4 * 3), 3.0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RailsLayerTest, AFarTrailIsDrawnIntoTheWindow) {
    CRideTrack ride(0.5f, music);
    layRails(ride, 1500.0f);
    drawn(ride);
    EXPECT_FALSE(ride.railLayer.lastUsed());
}

} // namespace
} // namespace ridetest
