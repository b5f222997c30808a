// The texture font on a GL context, watched through GL's feedback mode: which display lists a
// print calls (each list replaced by a pass-through marker), where its glyphs land, and the
// GL state around a print.
#include "game/assets/TextureFont.h"
#include "tests/support/GLContextFixture.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

namespace {

class TextureFontTest : public testsupport::GLTest {
  protected:
    void SetUp() override { glViewport(0, 0, 640, 480); }

    // Makes every glyph list emit its own number instead of drawing.
    static void markLists(const CTextureFont& font) {
        for (GLuint g = 0; g < CTextureFont::kGlyphs; ++g) {
            glNewList(font.listBase() + g, GL_COMPILE);
            glPassThrough(static_cast<GLfloat>(g));
            glEndList();
        }
    }
    // Runs draw in feedback mode and returns the raw buffer.
    template <class Draw> static std::vector<GLfloat> feedback(Draw draw) {
        std::vector<GLfloat> buffer(4096);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_2D, buffer.data());
        glRenderMode(GL_FEEDBACK);
        draw();
        GLint n = glRenderMode(GL_RENDER);
        buffer.resize(n > 0 ? static_cast<size_t>(n) : 0);
        return buffer;
    }
    // The glyph numbers a print called, from the markers.
    static std::vector<int> listsCalled(const std::vector<GLfloat>& fb) {
        std::vector<int> out;
        for (size_t i = 0; i + 1 < fb.size(); ++i) {
            if (fb[i] == GL_PASS_THROUGH_TOKEN) {
                out.push_back(static_cast<int>(fb[++i]));
            }
        }
        return out;
    }
    // The distinct x and y window coordinates of every vertex drawn (GL_2D feedback: token,
    // count, then x, y pairs; GL may hand a quad over as two polygons).
    // Window coordinates come back with rounding noise; every expected value is a multiple
    // of an eighth.
    static float nearestEighth(float v) { return static_cast<float>(std::lround(v * 8.0f)) / 8.0f; }
    struct Extent {
        std::set<float> xs, ys;
    };
    static Extent vertices(const std::vector<GLfloat>& fb) {
        Extent out;
        size_t i = 0;
        while (i < fb.size()) {
            if (fb[i] == GL_POLYGON_TOKEN) {
                int n = static_cast<int>(fb[i + 1]);
                for (int v = 0; v < n; ++v) {
                    out.xs.insert(nearestEighth(fb[i + 2 + 2 * v]));
                    out.ys.insert(nearestEighth(fb[i + 3 + 2 * v]));
                }
                i += 2 + 2 * static_cast<size_t>(n);
            } else if (fb[i] == GL_PASS_THROUGH_TOKEN) {
                i += 2;
            } else {
                ++i;
            }
        }
        return out;
    }
};

TEST_F(TextureFontTest, CapitalACallsItsListInEachSet) {
    CTextureFont font(false);
    markLists(font);
    EXPECT_EQ(listsCalled(feedback([&] { font.print(0, 0, "A", 0, 1, 0); })), std::vector<int>{33});
    EXPECT_EQ(listsCalled(feedback([&] { font.print(0, 0, "A", 1, 1, 0); })),
              std::vector<int>{161});
    // A set above 1 counts as 1.
    EXPECT_EQ(listsCalled(feedback([&] { font.print(0, 0, "A", 7, 1, 0); })),
              std::vector<int>{161});
    // Row 2, column 1 of the texture: list 33 samples the cell (1/16, 2/16) from the top.
    EXPECT_EQ(33 % 16, 1);
    EXPECT_EQ(33 / 16, 2);
}

TEST_F(TextureFontTest, BytesOutsideTheFontDrawTheBlankGlyph) {
    CTextureFont font(false);
    markLists(font);
    // A control code, and a high byte that would run past list 255 in set 1.
    std::vector<int> set0 = listsCalled(feedback([&] { font.print(0, 0, "\x01\xE9z", 0, 1, 0); }));
    EXPECT_EQ(set0, (std::vector<int>{0, 0xE9 - 32, 'z' - 32}));
    std::vector<int> set1 = listsCalled(feedback([&] { font.print(0, 0, "\x01\xE9z", 1, 1, 0); }));
    EXPECT_EQ(set1, (std::vector<int>{128, 128, 128 + 'z' - 32}));
}

TEST_F(TextureFontTest, GlyphsAreSixteenUnitsAndAdvanceTen) {
    CTextureFont font(false);
    // Two glyphs of 16 units, the second 10 units on: they overlap by 6.
    Extent e = vertices(feedback([&] { font.print(100, 50, "AB", 0, 1, 0); }));
    EXPECT_EQ(e.xs, (std::set<float>{100, 110, 116, 126}));
    EXPECT_EQ(e.ys, (std::set<float>{50, 66}));
    // The 640 x 480 space covers any viewport: at 800 x 600 everything is 1.25 times larger.
    glViewport(0, 0, 800, 600);
    e = vertices(feedback([&] { font.print(100, 50, "AB", 0, 1, 0); }));
    EXPECT_EQ(e.xs, (std::set<float>{125, 137.5f, 145, 157.5f}));
    EXPECT_EQ(e.ys, (std::set<float>{62.5f, 82.5f}));
}

TEST_F(TextureFontTest, WithoutTwoDItDrawsInTheCallersProjection) {
    CTextureFont font(false);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 320, 0, 240, -1, 1); // half the text space: everything twice as far out
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    Extent e = vertices(feedback([&] { font.print(10, 20, "A", 0, 0, 0); }));
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    EXPECT_EQ(e.xs, (std::set<float>{20, 52}));
    EXPECT_EQ(e.ys, (std::set<float>{40, 72}));
}

TEST_F(TextureFontTest, PrintRestoresTheStateItChanges) {
    CTextureFont font(false);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glEnable(GL_CULL_FACE);
    glColor4f(0.0f, 1.0f, 0.0f, 0.5f);
    glListBase(7);
    GLint projDepth = 0, modelDepth = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projDepth);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelDepth);
    for (const char* text : {"", "Title: x"}) {
        for (int use2D : {0, 1}) {
            for (int blend : {0, 1}) {
                font.print(5, 5, text, 0, use2D, blend);
                EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST)) << text;
                EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
                EXPECT_FALSE(glIsEnabled(GL_BLEND));
                EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
                EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
                EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
                GLfloat colour[4];
                glGetFloatv(GL_CURRENT_COLOR, colour);
                EXPECT_FLOAT_EQ(colour[0], 0.0f);
                EXPECT_FLOAT_EQ(colour[1], 1.0f);
                EXPECT_FLOAT_EQ(colour[3], 0.5f);
                GLint base = 0, p = 0, m = 0, mode = 0;
                glGetIntegerv(GL_LIST_BASE, &base);
                glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &p);
                glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &m);
                glGetIntegerv(GL_MATRIX_MODE, &mode);
                EXPECT_EQ(base, 7);
                EXPECT_EQ(p, projDepth);
                EXPECT_EQ(m, modelDepth);
                EXPECT_EQ(mode, GL_MODELVIEW);
                EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
            }
        }
    }
    glListBase(0);
    glDisable(GL_CULL_FACE);
}

TEST_F(TextureFontTest, DestructorFreesItsLists) {
    GLuint base = 0;
    {
        CTextureFont font(false);
        base = font.listBase();
        EXPECT_TRUE(glIsList(base));
        EXPECT_TRUE(glIsList(base + 255));
    }
    EXPECT_FALSE(glIsList(base));
    EXPECT_FALSE(glIsList(base + 255));
}

} // namespace
