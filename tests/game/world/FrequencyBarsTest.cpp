// The frequency bars: which bins stand as bars, where and how tall, in which colour, and what
// reaches GL (counted in feedback mode) with and without the platform in view.
#include "game/world/FrequencyBars.h"
#include "game/assets/ViewSphere.h"
#include "game/assets/bone/BoneModel.h"
#include "tests/support/GLContextFixture.h"
#include "tools/bonemodel/BoneModelWriter.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

class FrequencyBarsTest : public testsupport::GLTest {
  protected:
    void SetUp() override {
        std::memset(spectrum, 0, sizeof spectrum);
        // A platform of one triangle.
        bonemodel::Model m;
        bonemodel::Part part;
        part.vertices.resize(3);
        part.vertices[1].position[0] = 50;
        part.vertices[2].position[2] = -50;
        bonemodel::Face f;
        f.corners[1] = 1, f.corners[2] = 2;
        part.faces = {f};
        part.materials.resize(1);
        m.parts = {part};
        std::string bytes = bonemodel::write(m);
        ASSERT_TRUE(
            platform.parse(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()));
        // An orthographic view that holds the whole platform and the tallest bars.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-3000, 3000, -3000, 3000, -5000, 5000);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        frustumSphereCenter[0] = frustumSphereCenter[1] = 0.0f;
        frustumSphereCenter[2] = -100.0f;
        frustumSphereRadius = 1000.0f;
    }
    int layout() {
        bars.SetSpectrum(&spectrum[0][0]);
        return bars.layoutBars(placed);
    }
    // Triangles that reach the rasteriser during one Draw (a bar's quad is two).
    int polygonsDrawn() {
        std::vector<GLfloat> buffer(1 << 16);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
        glRenderMode(GL_FEEDBACK);
        bars.Draw(0.016f);
        GLint n = glRenderMode(GL_RENDER);
        int polygons = 0;
        for (GLint i = 0; i < n;) {
            auto token = static_cast<GLint>(buffer[size_t(i)]);
            if (token == GL_POLYGON_TOKEN) {
                auto corners = static_cast<GLint>(buffer[size_t(i + 1)]);
                ++polygons;
                i += 2 + 3 * corners;
            } else {
                i += 1;
            }
        }
        return polygons;
    }

    unsigned char spectrum[2][1024];
    CBoneModel platform;
    FrequencyBars bars{&platform};
    BarPlacement placed[40];
};

TEST_F(FrequencyBarsTest, SilenceDrawsThePlatformAndNoBars) {
    EXPECT_EQ(layout(), 0);
    EXPECT_EQ(polygonsDrawn(), 1);
    // Every bin the rows read, loud: forty bars and the platform.
    std::memset(spectrum, 100, sizeof spectrum);
    EXPECT_EQ(layout(), 40);
    EXPECT_EQ(polygonsDrawn(), 1 + 2 * 40);
}

TEST_F(FrequencyBarsTest, OneLoudBinStandsAtTheStartOfTheFrontRowInYellow) {
    spectrum[0][0] = 255;
    spectrum[0][1] = 255; // between the sampled bins: not shown
    ASSERT_EQ(layout(), 1);
    EXPECT_FLOAT_EQ(placed[0].x, -125.0f);
    EXPECT_FLOAT_EQ(placed[0].z, -20.0f);
    EXPECT_FLOAT_EQ(2.0f * placed[0].halfHeight, 1040.0f);
    EXPECT_FLOAT_EQ(placed[0].colour[0], 1.0f);
    EXPECT_FLOAT_EQ(placed[0].colour[1], 1.0f);
    EXPECT_FLOAT_EQ(placed[0].colour[2], 0.0f);
    EXPECT_FLOAT_EQ(placed[0].intensity, 1.0f);
}

TEST_F(FrequencyBarsTest, SilentBinsCloseTheGapsAndColoursAlternateAcrossRows) {
    spectrum[0][0] = 85;
    spectrum[0][100] = 170;
    spectrum[1][0] = 34;
    spectrum[1][950] = 17;
    ASSERT_EQ(layout(), 4);
    EXPECT_FLOAT_EQ(placed[0].x, -125.0f);
    EXPECT_FLOAT_EQ(placed[1].x, -100.0f) << "no gap for the silent bin 50";
    EXPECT_FLOAT_EQ(placed[2].x, 125.0f) << "the back row starts at the other end";
    EXPECT_FLOAT_EQ(placed[2].z, 20.0f);
    EXPECT_FLOAT_EQ(placed[3].x, 100.0f);
    EXPECT_FLOAT_EQ(placed[0].halfHeight, 180.0f);
    // With and without green in turn, the turn going on into the back row.
    EXPECT_FLOAT_EQ(placed[0].colour[1], 0.5f);
    EXPECT_FLOAT_EQ(placed[1].colour[1], 0.0f);
    EXPECT_FLOAT_EQ(placed[2].colour[1], 0.2f);
    EXPECT_FLOAT_EQ(placed[3].colour[1], 0.0f);
    EXPECT_FLOAT_EQ(placed[3].colour[2], 0.9f);
    bars.SetSolid(true);
    layout();
    EXPECT_FLOAT_EQ(placed[0].colour[1], 0.0f);
}

TEST_F(FrequencyBarsTest, OutOfViewNothingIsDrawnAndPlacementIsKept) {
    std::memset(spectrum, 200, sizeof spectrum);
    layout();
    SceneActor& actor = bars;
    actor.SetPosition(0.0f, -25.0f, 800.0f);
    actor.SetRotation(0.0f, 0.0f, 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(bars.ownPosition.z, 800.0f);
    EXPECT_FLOAT_EQ(actor.position[2], 800.0f);
    EXPECT_EQ(polygonsDrawn(), 1 + 2 * 40);
    frustumSphereCenter[2] = -5000.0f;
    frustumSphereRadius = 10.0f;
    EXPECT_EQ(polygonsDrawn(), 0);
}

TEST_F(FrequencyBarsTest, AMissingTextureThrowsItsMessage) {
    try {
        bars.LoadImage("no-such-image.png");
        FAIL() << "no throw";
    } catch (const char* message) {
        EXPECT_STREQ(message, "Couldn't load QuadFollow texture");
    }
    EXPECT_EQ(bars.textureId, -1);
}

} // namespace
