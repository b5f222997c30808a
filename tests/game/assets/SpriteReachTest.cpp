// A soft round sprite drawn as the octagon its reach gives lights exactly the pixels the whole
// square does, under the alpha tests the game uses, magnified, minified through the mip levels,
// and squashed on one axis (the coarsest levels); and the octagon is small where the test cuts
// deep.
#include "game/assets/SpriteReach.h"

#include "tests/support/GLContextFixture.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

class SpriteReachTest : public testsupport::GLTest {
  protected:
    void SetUp() override {
        glViewport(0, 0, 64, 64);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 64, 0, 64, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        // A glow as the rails' texture is: alpha falling from the centre to nothing at the rim.
        constexpr int kSide = 64;
        std::vector<uint8_t> rgba(kSide * kSide * 4);
        for (int y = 0; y < kSide; ++y) {
            for (int x = 0; x < kSide; ++x) {
                float u = (x + 0.5f) / 32.0f - 1.0f, v = (y + 0.5f) / 32.0f - 1.0f;
                float r = std::sqrt(u * u + v * v);
                uint8_t* p = &rgba[(y * kSide + x) * 4];
                p[0] = p[1] = p[2] = 255;
                p[3] = static_cast<uint8_t>(255.0f * std::pow(std::fmax(0.0f, 1.0f - r), 1.6f));
            }
        }
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        ASSERT_EQ(gluBuild2DMipmaps(GL_TEXTURE_2D, 4, kSide, kSide, GL_RGBA, GL_UNSIGNED_BYTE,
                                    rgba.data()),
                  0);
        reach.measureBoundTexture();
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        glEnable(GL_ALPHA_TEST);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    }
    void TearDown() override {
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        glDeleteTextures(1, &texture);
    }

    // The sprite at the window's centre, halfX by halfY pixels either way, as the square or as
    // the octagon of the given apothem; the window's red channel after it.
    std::vector<uint8_t> draw(float halfX, float halfY, float apothem, bool square) {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        glBegin(GL_QUADS);
        auto corner = [&](float x, float y) {
            glTexCoord2f((x + 1.0f) * 0.5f, (y + 1.0f) * 0.5f);
            glVertex2f(32.0f + x * halfX, 32.0f + y * halfY);
        };
        if (square) {
            for (auto [x, y] : {std::pair{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}) {
                corner(static_cast<float>(x), static_cast<float>(y));
            }
        } else {
            for (const auto& o : SpriteReach::octagon(apothem)) {
                corner(o[0], o[1]);
            }
        }
        glEnd();
        std::vector<uint8_t> rgba(64 * 64 * 4), red(64 * 64);
        glReadPixels(0, 0, 64, 64, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        for (size_t i = 0; i < red.size(); ++i) {
            red[i] = rgba[i * 4];
        }
        return red;
    }

    GLuint texture = 0;
    SpriteReach reach;
};

TEST_F(SpriteReachTest, TheOctagonLightsWhatTheSquareDoes) {
    struct Test {
        GLenum function;
        float ref;
    };
    for (Test test : {Test{GL_GREATER, 0.0f}, Test{GL_GREATER, 0.5f}, Test{GL_GEQUAL, 0.25f}}) {
        glAlphaFunc(test.function, test.ref);
        const float apothem = reach.underAlphaTest();
        int lit = 0;
        // Magnified past the window, about 1:1, minified twice, squashed to the coarsest levels.
        for (auto [hx, hy] :
             {std::pair{60.0f, 60.0f}, {30.0f, 30.0f}, {8.0f, 8.0f}, {30.0f, 2.0f}}) {
            SCOPED_TRACE(::testing::Message() << "ref " << test.ref << ", half size " << hx << " x "
                                              << hy << ", apothem " << apothem);
            const std::vector<uint8_t> square = draw(hx, hy, apothem, true);
            const std::vector<uint8_t> cut = draw(hx, hy, apothem, false);
            int differ = 0;
            for (size_t i = 0; i < square.size(); ++i) {
                lit += square[i] > 0;
                differ += std::abs(square[i] - cut[i]) > 1;
            }
            EXPECT_EQ(differ, 0);
        }
        EXPECT_GT(lit, 0) << "ref " << test.ref;
    }
    // Where the test keeps only the bright middle, so does the octagon (the glow's alpha is
    // above a half within 0.35 of the centre; the coarse levels' texels reach a little further).
    EXPECT_LT(reach.above(0.5f), 0.6f);
    glDisable(GL_ALPHA_TEST);
    EXPECT_EQ(reach.underAlphaTest(), SpriteReach::kSquare);
}

} // namespace
