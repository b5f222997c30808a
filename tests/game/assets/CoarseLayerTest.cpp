// The coarse layer on a real GL context: soft sprites drawn through it against the same
// sprites drawn into the window (the same picture, give or take the softening, and the
// window's surfaces in front still hiding them sharply), the depth it leaves for later draws,
// the GL state it gives back, and when it declines.
#define GL_GLEXT_PROTOTYPES 1
#include "game/assets/CoarseLayer.h"

#include "tests/support/GLContextFixture.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kSide = 64; // the test window's size

class CoarseLayerTest : public testsupport::GLTest {
  protected:
    void SetUp() override {
        glViewport(0, 0, kSide, kSide);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-1.0, 1.0, -1.0, 1.0, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glDepthMask(GL_TRUE);
        // A soft round sprite: alpha falls from 0.8 in the middle to 0 at the rim.
        std::vector<unsigned char> texels(32 * 32 * 4);
        for (int j = 0; j < 32; ++j) {
            for (int i = 0; i < 32; ++i) {
                float x = (i + 0.5f) / 16.0f - 1.0f, y = (j + 0.5f) / 16.0f - 1.0f;
                float a = std::max(0.0f, 1.0f - std::sqrt(x * x + y * y)) * 0.8f;
                unsigned char* t = &texels[static_cast<size_t>(4 * (j * 32 + i))];
                t[0] = t[1] = t[2] = 255;
                t[3] = static_cast<unsigned char>(a * 255.0f);
            }
        }
        glGenTextures(1, &sprite);
        glBindTexture(GL_TEXTURE_2D, sprite);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 32, 32, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     texels.data());
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    void TearDown() override { glDeleteTextures(1, &sprite); }

    // Dark blue ground, with an opaque red wall over the left half at z 0 (the eye looks down
    // the z axis from the positive side).
    static void drawScene() {
        glClearColor(0.0f, 0.0f, 0.3f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
        glBegin(GL_QUADS);
        glVertex3f(-1.0f, -1.0f, 0.0f);
        glVertex3f(0.0f, -1.0f, 0.0f);
        glVertex3f(0.0f, 1.0f, 0.0f);
        glVertex3f(-1.0f, 1.0f, 0.0f);
        glEnd();
    }
    // Overlapping orange sprites along a diagonal: the lower ones behind the wall (z below 0),
    // the upper ones in front of it (z above 0, nearer the eye); blended over what lies behind
    // (as the breath draws) or added to it (as the rails draw), alpha tested, with depth writes.
    // The sprites' state is set before a layer's begin, as the breath and the rails set theirs.
    void spriteState(CCoarseLayer::Blend blend) const {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, sprite);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA,
                    blend == CCoarseLayer::Blend::Add ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.0f);
    }
    static void drawSprites() {
        glBegin(GL_QUADS);
        for (int k = 0; k < 40; ++k) {
            float c = -0.6f + 1.2f * static_cast<float>(k) / 39.0f;
            // Each sprite nearer than the one before, as the breath's are drawn.
            float z = c < 0.0f ? -0.9f + 0.03f * static_cast<float>(k)
                               : 0.1f + 0.02f * static_cast<float>(k - 20);
            glColor4f(1.0f, 0.4f + 0.01f * static_cast<float>(k), 0.0f, 1.0f);
            glTexCoord2f(0, 0);
            glVertex3f(c - 0.3f, c - 0.3f, z);
            glTexCoord2f(1, 0);
            glVertex3f(c + 0.3f, c - 0.3f, z);
            glTexCoord2f(1, 1);
            glVertex3f(c + 0.3f, c + 0.3f, z);
            glTexCoord2f(0, 1);
            glVertex3f(c - 0.3f, c + 0.3f, z);
        }
        glEnd();
    }
    static void spriteStateOff() {
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
    }
    // The window's depth: below 1 where something was drawn.
    static std::vector<float> readDepth() {
        std::vector<float> depth(kSide * kSide);
        glReadPixels(0, 0, kSide, kSide, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        return depth;
    }
    static std::vector<unsigned char> readBack() {
        std::vector<unsigned char> px(kSide * kSide * 4);
        glReadPixels(0, 0, kSide, kSide, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
        return px;
    }
    static const unsigned char* at(const std::vector<unsigned char>& px, int x, int y) {
        return &px[static_cast<size_t>(4 * (y * kSide + x))];
    }

    // Draws the scene and the sprites into the window, then through a layer of the divisor,
    // and compares the two pictures and the depth each leaves.
    // meanLevels bounds the mean difference per channel; hiddenShare the difference in the
    // pixels the sprites' depth hides, as a share of the window's own.
    void compareWithTheWindow(int divisor, CCoarseLayer::Blend blend, double meanLevels,
                              double hiddenShare);

    GLuint sprite = 0;
};

TEST_F(CoarseLayerTest, SpritesMatchTheWindowsDrawingAndStayHiddenBehindItsSurfaces) {
    for (CCoarseLayer::Blend blend : {CCoarseLayer::Blend::Over, CCoarseLayer::Blend::Add}) {
        for (int divisor : {2, 4}) {
            SCOPED_TRACE(testing::Message() << "divisor " << divisor << ", adding "
                                            << (blend == CCoarseLayer::Blend::Add));
            compareWithTheWindow(divisor, blend, divisor == 2 ? 4.0 : 8.0,
                                 divisor == 2 ? 0.1 : 0.25);
        }
    }
}

void CoarseLayerTest::compareWithTheWindow(int divisor, CCoarseLayer::Blend blend,
                                           double meanLevels, double hiddenShare) {
    drawScene();
    spriteState(blend);
    drawSprites();
    spriteStateOff();
    const std::vector<unsigned char> direct = readBack();
    const std::vector<float> directDepth = readDepth();

    CCoarseLayer layer;
    drawScene();
    const int rect[4] = {6, 6, 52, 52};
    spriteState(blend);
    ASSERT_TRUE(layer.begin(rect, divisor, blend));
    EXPECT_TRUE(layer.lastUsed());
    EXPECT_EQ(layer.lastDivisor(), divisor);
    drawSprites();
    layer.end();
    spriteStateOff();
    const std::vector<unsigned char> layered = readBack();
    const std::vector<float> layeredDepth = readDepth();

    long total = 0, lit = 0;
    for (size_t i = 0; i < direct.size(); i += 4) {
        for (size_t c = 0; c < 3; ++c) {
            total += std::abs(int(direct[i + c]) - int(layered[i + c]));
        }
        lit += direct[i + 1] > 60 ? 1 : 0;
    }
    ASSERT_GT(lit, 300) << "the sprites must show";
    // The coarser layer softens the sprites a little; on average the two pictures agree to
    // within a few levels.
    EXPECT_LT(static_cast<double>(total) / static_cast<double>(direct.size() / 4 * 3), meanLevels);
    // Behind the wall (the left half, where only the lower sprites reach) the sprites are
    // hidden pixel by pixel: the wall stays plain red, as in the window's own drawing. (Where
    // the upper sprites in front of it reach, from x = 23, the nearest decides for the whole
    // pixel, and the lower ones show through there too.)
    for (int y = 8; y < 30; ++y) {
        for (int x = 8; x < 19; ++x) {
            ASSERT_EQ(at(direct, x, y)[0], 255) << x << "," << y;
            ASSERT_EQ(at(layered, x, y)[0], 255) << x << "," << y;
            ASSERT_EQ(at(layered, x, y)[1], 0) << x << "," << y;
        }
    }
    // The sprites' depth was written where they show, for what is drawn after them: over the
    // right half (nothing else there) in about the same places as by the window's own drawing
    // (the coarser the layer, the further its filtering reaches past their rims).
    long directHidden = 0, layeredHidden = 0;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 32; x < kSide; ++x) {
            const size_t i = static_cast<size_t>(y * kSide + x);
            directHidden += directDepth[i] < 1.0f ? 1 : 0;
            layeredHidden += layeredDepth[i] < 1.0f ? 1 : 0;
        }
    }
    EXPECT_GT(directHidden, 200);
    EXPECT_NEAR(static_cast<double>(layeredHidden), static_cast<double>(directHidden),
                hiddenShare * static_cast<double>(directHidden));
}

TEST_F(CoarseLayerTest, GivesBackTheStateItChangedAndDeclinesWhatItCannotDo) {
    GLint texture = 0;
    glGenTextures(1, reinterpret_cast<GLuint*>(&texture));
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glClearColor(0.1f, 0.2f, 0.3f, 0.4f);
    glDepthFunc(GL_LEQUAL);

    CCoarseLayer layer;
    const int rect[4] = {10, 10, 20, 20};
    ASSERT_TRUE(layer.begin(rect));
    GLint binding = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &binding);
    EXPECT_NE(binding, 0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kSide / 2);
    EXPECT_EQ(viewport[3], kSide / 2);
    layer.end();
    ASSERT_TRUE(layer.begin(rect, 4));
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kSide / 4);
    EXPECT_EQ(viewport[3], kSide / 4);
    layer.end();
    ASSERT_TRUE(layer.begin(rect, 8));
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kSide / 8);
    EXPECT_EQ(viewport[3], kSide / 8);
    // Shifted so that the rectangle's middle (layer texels 1 to 4: 2) falls on a tile corner.
    EXPECT_EQ(viewport[0], 64 - 2);
    layer.end();

    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &binding);
    EXPECT_EQ(binding, 0);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &binding);
    EXPECT_EQ(binding, 0);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kSide);
    EXPECT_EQ(viewport[3], kSide);
    GLint value = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &value);
    EXPECT_EQ(value, 0);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &value);
    EXPECT_EQ(value, texture);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &value);
    EXPECT_EQ(value, GL_TEXTURE0);
    glGetIntegerv(GL_BLEND_SRC_ALPHA, &value);
    EXPECT_EQ(value, GL_SRC_ALPHA);
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LEQUAL);
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[2], 0.3f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // Outside the viewport, or turned off: declined, and nothing is bound.
    const int outside[4] = {kSide + 10, 0, 20, 20};
    EXPECT_FALSE(layer.begin(outside));
    EXPECT_FALSE(layer.lastUsed());
    layer.allow = false;
    EXPECT_FALSE(layer.begin(rect));
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &binding);
    EXPECT_EQ(binding, 0);
    glDeleteTextures(1, reinterpret_cast<GLuint*>(&texture));
    glDisable(GL_BLEND);
    glDepthFunc(GL_LESS);
}

} // namespace
