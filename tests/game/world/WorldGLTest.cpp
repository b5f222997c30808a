// The world's drawing on a real GL context with the built archive: the shared splat, the view
// test, the GL state every routine leaves, the sky box's faces, the terrain's passes, and the
// clouds' impostor, drift and range.
#include "game/assets/DataArchive.h"
#include "game/assets/MFSCloud.h"
#include "game/assets/SplatTexture.h"
#include "game/assets/TextureManager.h"
#include "game/assets/ViewSphere.h"
#include "game/world/BeatBurst.h"
#include "game/world/FountainSpray.h"
#include "game/world/PoleSpray.h"
#include "game/world/PotFlame.h"
#include "game/world/Skybox.h"
#include "game/world/SnowFall.h"
#include "game/world/Terrain.h"
#include "game/world/WorldObjects.h"
#include "tests/support/GLContextFixture.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kSide = 64; // the test window's size

class WorldGL : public testsupport::GLTest {
  protected:
    static void SetUpTestSuite() {
        testsupport::GLTest::SetUpTestSuite();
        archive = new CDataArchive((std::string(TC_DIST_DIR) + "/data/tcdata.d").c_str());
    }
    static void TearDownTestSuite() {
        textureManager.clearAll();
        delete archive;
        archive = nullptr;
        testsupport::GLTest::TearDownTestSuite();
    }
    void SetUp() override {
        dataArchive = archive;
        glViewport(0, 0, kSide, kSide);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(90.0, 1.0, 1.0, 5000.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        // The director's light and state between drawing routines.
        const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        const GLfloat ambient[4] = {0.5f, 0.5f, 0.5f, 1.0f};
        const GLfloat light[4] = {400.0f, 50.0f, 60.0f, 1.0f};
        glLightfv(GL_LIGHT0, GL_POSITION, light);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
        glLightfv(GL_LIGHT0, GL_SPECULAR, white);
        glLightfv(GL_LIGHT0, GL_AMBIENT, white);
        glMaterialfv(GL_FRONT, GL_AMBIENT, white);
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
        glEnable(GL_LIGHT0);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glDepthMask(GL_TRUE);
        glEnable(GL_LIGHTING);
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_COLOR_MATERIAL);
        glShadeModel(GL_SMOOTH);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        frustumSphereCenter[0] = frustumSphereCenter[1] = 0.0f;
        frustumSphereCenter[2] = -1000.0f;
        frustumSphereRadius = 1500.0f;
    }
    void TearDown() override { dataArchive = nullptr; }

    static std::vector<unsigned char> readBack() {
        std::vector<unsigned char> px(kSide * kSide * 4);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, kSide, kSide, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
        return px;
    }
    static void meanColour(const std::vector<unsigned char>& px, size_t count, double out[3]) {
        out[0] = out[1] = out[2] = 0.0;
        for (size_t i = 0; i < count; ++i) {
            for (int c = 0; c < 3; ++c) {
                out[c] += px[4 * i + c];
            }
        }
        for (int c = 0; c < 3; ++c) {
            out[c] /= static_cast<double>(count);
        }
    }
    static std::vector<unsigned char> textureImage(int slot, int& w, int& h) {
        glBindTexture(GL_TEXTURE_2D, textureManager.getGLName(slot));
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
        std::vector<unsigned char> px(static_cast<size_t>(w) * h * 4);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
        return px;
    }

    static inline CDataArchive* archive = nullptr;
};

// What the director expects to find after any drawing routine.
void expectDirectorState(const char* who, const float colour[4], GLint envMode) {
    SCOPED_TRACE(who);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_TRUE(mask);
    GLint shade = 0, env = 0;
    glGetIntegerv(GL_SHADE_MODEL, &shade);
    EXPECT_EQ(shade, GL_SMOOTH);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    EXPECT_EQ(env, envMode);
    float now[4];
    glGetFloatv(GL_CURRENT_COLOR, now);
    for (int c = 0; c < 4; ++c) {
        EXPECT_NEAR(now[c], colour[c], 1e-6f);
    }
    float diffuse[4];
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    for (float d : diffuse) {
        EXPECT_FLOAT_EQ(d, 1.0f);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(WorldGL, SplatIsRegisteredOnceAndHoldsTheSoftDot) {
    FountainSpray a;
    FountainSpray b;
    a.MakeSplatTexture();
    b.MakeSplatTexture();
    ASSERT_GE(a.textureId, 0);
    EXPECT_EQ(a.textureId, b.textureId);
    EXPECT_EQ(a.textureId, textureManager.findTexture("splat"));
    int w = 0, h = 0;
    std::vector<unsigned char> px = textureImage(a.textureId, w, h);
    ASSERT_EQ(w, 32);
    ASSERT_EQ(h, 32);
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(px[4 * (16 * 32 + 16) + c], 102);
        EXPECT_EQ(px[4 * (0 * 32 + 16) + c], 0);
        EXPECT_EQ(px[4 * (31 * 32 + 0) + c], 0);
    }
}

TEST_F(WorldGL, ViewTestMeasuresOnlyWhatItSees) {
    PotFlame f; // origin (0, 100, 0), radius 110
    glTranslatef(0.0f, -100.0f, -400.0f);
    ASSERT_TRUE(f.IsInView());
    EXPECT_NEAR(f.viewDistance, 600.0f, 1e-2f);
    EXPECT_FLOAT_EQ(f.viewMatrix.m[14], -400.0f);
    EXPECT_FLOAT_EQ(f.lastOrigin.y, 100.0f);
    // Far behind the viewer: out of view, the last distance stays.
    glLoadIdentity();
    glTranslatef(0.0f, -100.0f, 700.0f);
    f.origin = {0.0f, 100.0f, 1.0f};
    EXPECT_FALSE(f.IsInView());
    EXPECT_NEAR(f.viewDistance, 600.0f, 1e-2f);
    EXPECT_FLOAT_EQ(f.viewMatrix.m[14], 700.0f);
    EXPECT_FLOAT_EQ(f.lastOrigin.z, 1.0f);
    // Just inside: the sphere of radius 110 touches the frustum's sphere.
    glLoadIdentity();
    glTranslatef(0.0f, -100.0f, 609.0f);
    f.origin = {0.0f, 100.0f, 0.0f};
    EXPECT_TRUE(f.IsInView());
    EXPECT_NEAR(f.viewDistance, 1609.0f, 1e-2f);
}

TEST_F(WorldGL, EveryEmitterLeavesTheStateItFound) {
    const float colour[4] = {0.2f, 0.3f, 0.4f, 0.5f};
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    glTranslatef(0.0f, -100.0f, -300.0f);
    PotFlame flames;
    flames.LoadImage("flame6.png");
    FountainSpray fountain;
    fountain.MakeSplatTexture();
    PoleSpray pole(5.0f);
    pole.LoadImage("water.png");
    SnowFall snow;
    snow.LoadImage("snowflake.png");
    snow.SetPair(1.0f, 1.0f);
    BeatBurst burst;
    burst.LoadImage("flame.png");
    burst.Burst(true, 60.0f, 0.0f, 0.0f, -1.0f, 0);
    struct Case {
        const char* name;
        CParticleSystem* p;
    } cases[] = {{"flames", &flames},
                 {"fountain", &fountain},
                 {"pole", &pole},
                 {"snow", &snow},
                 {"burst", &burst}};
    for (const Case& c : cases) {
        glColor4fv(colour);
        c.p->IsInView();
        c.p->Update(0.02f);
        c.p->Render();
        expectDirectorState(c.name, colour, GL_DECAL);
    }
    // Something was drawn.
    std::vector<unsigned char> px = readBack();
    int lit = 0;
    for (size_t i = 0; i < px.size(); i += 4) {
        lit += px[i] + px[i + 1] + px[i + 2] > 0 ? 1 : 0;
    }
    EXPECT_GT(lit, 50);
}

TEST_F(WorldGL, MissingImagesThrowTheirMessages) {
    PoleSpray pole(5.0f);
    try {
        pole.LoadImage("nothing.png");
        FAIL();
    } catch (const std::string& text) {
        EXPECT_EQ(text.rfind("CParticleSystem: Couldn't load bmp texture", 0), 0u) << text;
    }
    EXPECT_EQ(pole.textureId, -1);
    CTerrain terrain;
    try {
        terrain.LoadTextures("nothing.jpg");
        FAIL();
    } catch (const std::string& text) {
        EXPECT_EQ(text.rfind("Couldn't load CTerrain texture1", 0), 0u) << text;
    }
    dataArchive = nullptr;
    Skybox sky;
    try {
        sky.Load(0);
        FAIL();
    } catch (const std::string& text) {
        EXPECT_EQ(text.rfind("Couldn't load Skybox texture front", 0), 0u) << text;
    }
}

// A burst as it starts, all its sparks in one spot ahead, with a grey wall nearer than them over
// the left half: in the test's own small view the sparks are drawn into the window; in an
// 800 x 600 view (the window shows its middle) they lie hundreds deep and go through the layer,
// at a quarter of the view's size, and a moment later, spread out, at half.
TEST_F(WorldGL, BurstSparksAddLightButHideNothingDrawnAfterThem) {
    int divisor = 0;
    auto draw = [&divisor](bool close, float distance, float elapsed, bool allowLayer,
                           bool* layered) {
        if (close) {
            glViewport(32 - 400, 32 - 300, 800, 600);
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            gluPerspective(60.0, 800.0 / 600.0, 1.0, 5000.0);
            glMatrixMode(GL_MODELVIEW);
        }
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDisable(GL_LIGHTING);
        glColor4f(0.5f, 0.5f, 0.5f, 1.0f);
        glBegin(GL_QUADS);
        glVertex3f(-20.0f, -20.0f, -5.0f);
        glVertex3f(0.0f, -20.0f, -5.0f);
        glVertex3f(0.0f, 20.0f, -5.0f);
        glVertex3f(-20.0f, 20.0f, -5.0f);
        glEnd();
        BeatBurst b;
        b.LoadImage("flame.png");
        b.layer.allow = allowLayer;
        glPushMatrix();
        glTranslatef(0.0f, 0.0f, -distance);
        std::srand(7); // the same sparks in every draw
        b.Burst(true, 60.0f, 0.0f, 0.0f, 0.0f, 1);
        glDepthMask(GL_TRUE);
        b.Update(elapsed);
        glPopMatrix();
        *layered = b.drewThroughLayer();
        divisor = b.layer.lastDivisor();
        GLboolean writes = GL_FALSE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &writes);
        EXPECT_EQ(writes, GL_TRUE);
    };
    // As it starts, and a moment later with the sparks spread out in depth too (in the layer
    // as in the window, each adds its light whatever lies in front of it).
    // Closer still, after a frame, the sparks in a heap a dozen deep and most 64 pixels across
    // or more: a quarter.
    struct Case {
        bool close;
        float distance;
        float elapsed;
        int divisor;
    };
    for (const Case& c : {Case{false, 6.0f, 0.0f, 0}, Case{true, 20.0f, 0.0f, 2},
                          Case{true, 20.0f, 0.03f, 2}, Case{true, 15.0f, 1.0f / 60.0f, 4}}) {
        const bool close = c.close;
        SCOPED_TRACE(testing::Message()
                     << (close ? "close" : "small view") << " " << c.distance << " " << c.elapsed);
        bool layered = false;
        draw(close, c.distance, c.elapsed, false, &layered);
        EXPECT_FALSE(layered);
        const std::vector<unsigned char> direct = readBack();
        draw(close, c.distance, c.elapsed, true, &layered);
        EXPECT_EQ(layered, close);
        if (layered) {
            EXPECT_EQ(divisor, c.divisor);
        }
        const std::vector<unsigned char> px = readBack();
        std::vector<float> depth(kSide * kSide);
        glReadPixels(0, 0, kSide, kSide, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        long lit = 0, total = 0, apart = 0;
        for (int y = 0; y < kSide; ++y) {
            for (int x = 0; x < kSide; ++x) {
                const size_t i = static_cast<size_t>(y * kSide + x);
                const unsigned char* c = &px[4 * i];
                if (x < 31) {
                    // The wall in front hides the sparks, pixel by pixel.
                    ASSERT_EQ(c[0], 128) << x << "," << y;
                    ASSERT_EQ(c[2], 128) << x << "," << y;
                } else if (x > 32) {
                    ASSERT_EQ(depth[i], 1.0f) << "a spark wrote depth at " << x << "," << y;
                    lit += c[0] > 100 ? 1 : 0;
                }
                int most = 0;
                for (int k = 0; k < 3; ++k) {
                    const int d = std::abs(int(c[k]) - int(direct[4 * i + static_cast<size_t>(k)]));
                    total += d;
                    most = std::max(most, d);
                }
                apart += most > 64 ? 1 : 0;
            }
        }
        EXPECT_GT(lit, 20) << "the sparks must show";
        // The same picture but for the softer rim of the sparks' heap.
        EXPECT_LT(static_cast<double>(total) / (kSide * kSide * 3), 4.0);
        EXPECT_LT(static_cast<double>(apart), 0.1 * static_cast<double>(lit));
    }
    glViewport(0, 0, kSide, kSide);
}

TEST_F(WorldGL, BurstAtElapsedZeroOnlyDrawsAndEndsWhenEverySparkHasDied) {
    BeatBurst b;
    b.LoadImage("flame.png");
    EXPECT_FALSE(b.Update(0.02f)); // nothing running
    b.Burst(true, 30.0f, 0.0f, 0.0f, -1.0f, 1);
    Particle before = b.particles[3];
    EXPECT_TRUE(b.Update(0.0f));
    const Particle& after = b.particles[3];
    EXPECT_FLOAT_EQ(after.position.x, before.position.x);
    EXPECT_FLOAT_EQ(after.baseVelocity.y, before.baseVelocity.y);
    EXPECT_FLOAT_EQ(after.life, before.life);
    EXPECT_FLOAT_EQ(b.elapsedTime, 0.0f);
    // Drawing turned it a little greener.
    EXPECT_FLOAT_EQ(after.colour.y, before.colour.y + 0.01f);
    EXPECT_FLOAT_EQ(after.colour.z, 1.0f - after.colour.y);

    // A step: fall, slow down sideways by 2, burn life.
    before = b.particles[3];
    EXPECT_TRUE(b.Update(0.1f));
    EXPECT_NEAR(b.particles[3].position.y, before.position.y + before.baseVelocity.y * 0.1f, 1e-4f);
    EXPECT_FLOAT_EQ(b.particles[3].baseVelocity.y, before.baseVelocity.y - 5.0f);
    if (std::fabs(before.baseVelocity.x) > 4.0f) {
        EXPECT_FLOAT_EQ(std::fabs(b.particles[3].baseVelocity.x),
                        std::fabs(before.baseVelocity.x) - 2.0f);
    }
    EXPECT_FLOAT_EQ(b.particles[3].life, 70.0f - 1.3f);
    // Life 70 burns at 13 a unit: after 5.4 units every spark is gone and the burst stops.
    for (int i = 0; i < 60 && b.running; ++i) {
        b.Update(0.1f);
    }
    EXPECT_FALSE(b.running);
    for (const Particle& p : b.particles) {
        ASSERT_FALSE(p.active);
    }
}

TEST_F(WorldGL, SkyBoxFacesAndTheStateAfterRender) {
    Skybox sky;
    sky.Load(0);
    for (int f = 0; f < Skybox::kFaces; ++f) {
        ASSERT_GE(sky.faceTexture[f], 0) << f;
    }
    EXPECT_EQ(sky.faceTexture[Skybox::Bottom], sky.faceTexture[Skybox::Top]);
    EXPECT_EQ(sky.faceTexture[Skybox::Top], textureManager.findTexture("up.jpg"));
    EXPECT_EQ(sky.faceTexture[Skybox::Front], textureManager.findTexture("north.jpg"));
    EXPECT_EQ(sky.faceTexture[Skybox::Left], textureManager.findTexture("east.jpg"));

    // Whatever the state before, depth test and writes are on and colour material off after.
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glEnable(GL_COLOR_MATERIAL);
    glTranslatef(120.0f, -40.0f, 900.0f); // the sky follows the eye wherever it is
    sky.Render();
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_TRUE(mask);
    EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    // Nothing of the view is left black.
    std::vector<unsigned char> px = readBack();
    for (size_t i = 0; i < px.size(); i += 4) {
        ASSERT_GT(px[i] + px[i + 1] + px[i + 2], 30) << i / 4;
    }
}

TEST_F(WorldGL, BottomFaceShowsTheTopImage) {
    Skybox sky;
    sky.Load(0);
    int w = 0, h = 0;
    std::vector<unsigned char> up = textureImage(sky.faceTexture[Skybox::Top], w, h);
    double upMean[3], northMean[3];
    meanColour(up, static_cast<size_t>(w) * h, upMean);
    std::vector<unsigned char> north = textureImage(sky.faceTexture[Skybox::Front], w, h);
    meanColour(north, static_cast<size_t>(w) * h, northMean);
    double apart = std::fabs(upMean[0] - northMean[0]) + std::fabs(upMean[1] - northMean[1]) +
                   std::fabs(upMean[2] - northMean[2]);
    ASSERT_GT(apart, 20.0) << "the two images must differ for this test to mean anything";

    // A 90 degree view straight down sees the whole bottom face, straight up the top face.
    for (float pitch : {90.0f, -90.0f}) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glRotatef(pitch, 1.0f, 0.0f, 0.0f);
        sky.Render();
        std::vector<unsigned char> px = readBack();
        double seen[3];
        meanColour(px, kSide * kSide, seen);
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(seen[c], upMean[c], 8.0) << "pitch " << pitch << " channel " << c;
        }
    }
    // Tinted black: a black cube, below zero as well.
    for (float t : {0.0f, -0.5f}) {
        sky.SetTint(t, t, t);
        glLoadIdentity();
        sky.Render();
        std::vector<unsigned char> px = readBack();
        for (size_t i = 0; i < px.size(); i += 4) {
            ASSERT_EQ(px[i] + px[i + 1] + px[i + 2], 0);
        }
    }
}

TEST_F(WorldGL, TerrainIsGreenOnlyAndLeavesTheStateAsItsPassesSay) {
    CTerrain terrain;
    terrain.LoadTextures("grass3.jpg");
    ASSERT_GE(terrain.groundTexture, 0);
    ASSERT_GE(terrain.shadingTexture, 0);
    auto file = std::vector<unsigned char>(1024, 0);
    terrain.setHeights(file.data(), file.size());
    // From above the middle of the flat grid, looking down at it.
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(-2400.0f, -1000.0f, -2400.0f);
    const float colour[4] = {0.7f, 0.6f, 0.5f, 0.4f};
    glColor4fv(colour);
    terrain.Draw();
    std::vector<unsigned char> px = readBack();
    int green = 0;
    for (size_t i = 0; i < px.size(); i += 4) {
        ASSERT_EQ(px[i], 0) << i / 4;
        ASSERT_EQ(px[i + 2], 0) << i / 4;
        green += px[i + 1] > 40 ? 1 : 0;
    }
    EXPECT_EQ(green, kSide * kSide);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
    GLint func = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &func);
    EXPECT_EQ(func, GL_LESS);
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_TRUE(mask);
    float now[4];
    glGetFloatv(GL_CURRENT_COLOR, now);
    EXPECT_FLOAT_EQ(now[0], 1.0f);
    EXPECT_FLOAT_EQ(now[3], 1.0f);

    // Louder music darkens it: a smaller green tint, a darker picture.
    long bright = 0, dark = 0;
    for (size_t i = 1; i < px.size(); i += 4) {
        bright += px[i];
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    terrain.SetTint(0.0f, 0.3f, 0.0f);
    terrain.Draw();
    px = readBack();
    for (size_t i = 1; i < px.size(); i += 4) {
        dark += px[i];
    }
    EXPECT_LT(dark, bright * 6 / 10);
}

// The one-pass ground (two texture units) and the two blended passes set the same pixels up to
// the rounding of the intermediate ground, over hills seen at a slant, and leave the same state.
TEST_F(WorldGL, TerrainInOnePassMatchesTheTwoPasses) {
    CTerrain terrain;
    terrain.LoadTextures("grass3.jpg");
    std::vector<unsigned char> file(1024);
    for (int k = 0; k < 256; ++k) {
        float h = static_cast<float>((k * 7) % 11);
        std::memcpy(&file[4 * static_cast<size_t>(k)], &h, 4);
    }
    terrain.setHeights(file.data(), file.size());
    glRotatef(30.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(-2400.0f, -700.0f, -2400.0f);
    std::vector<unsigned char> images[2];
    GLint boundAfter[2] = {0, 0}, blendAfter[2][2] = {};
    for (int onePass = 0; onePass < 2; ++onePass) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        terrain.allowOnePass = onePass == 1;
        terrain.SetTint(0.0f, 0.8f, 0.0f);
        terrain.Draw();
        images[onePass] = readBack();
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundAfter[onePass]);
        glGetIntegerv(GL_BLEND_SRC, &blendAfter[onePass][0]);
        glGetIntegerv(GL_BLEND_DST, &blendAfter[onePass][1]);
        const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        glEnable(GL_DEPTH_TEST); // the terrain leaves the less comparison; the rest as found
        expectDirectorState(onePass == 1 ? "one pass" : "two passes", white, GL_MODULATE);
    }
    int lit = 0;
    for (size_t i = 0; i < images[0].size(); i += 4) {
        for (int c = 0; c < 3; ++c) {
            ASSERT_NEAR(images[0][i + c], images[1][i + c], 3) << i / 4 << " channel " << c;
        }
        lit += images[0][i + 1] > 20 ? 1 : 0;
    }
    EXPECT_GT(lit, kSide * kSide / 4); // the hills fill a good part of the view
    EXPECT_EQ(boundAfter[0], boundAfter[1]);
    EXPECT_EQ(blendAfter[0][0], blendAfter[1][0]);
    EXPECT_EQ(blendAfter[0][1], blendAfter[1][1]);
}

// A tint at or below 0 leaves nothing of the faces: the view is cleared to opaque black, with
// the state, colour and material the drawn cube would leave.
TEST_F(WorldGL, SkyBoxBlackTintGivesTheDrawnCubesPixelsAndState) {
    Skybox sky;
    sky.Load(0);
    struct Result {
        std::vector<unsigned char> px;
        float colour[4], ambient[4];
        GLint bound, env;
    } results[2];
    for (int black = 0; black < 2; ++black) {
        glClearColor(0.3f, 0.6f, 0.9f, 0.5f);
        glClear(GL_COLOR_BUFFER_BIT);
        // A tint a hair above 0 draws the faces, black to the last bit; at -0.2 nothing is
        // sampled.
        if (black == 1) {
            sky.SetTint(-0.2f, 0.0f, -0.2f);
        } else {
            sky.SetTint(1e-6f, 0.0f, 0.0f);
        }
        sky.Render();
        Result& r = results[black];
        r.px = readBack();
        glGetFloatv(GL_CURRENT_COLOR, r.colour);
        glGetMaterialfv(GL_FRONT, GL_AMBIENT, r.ambient);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &r.bound);
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &r.env);
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        GLfloat clear[4];
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
        EXPECT_FLOAT_EQ(clear[1], 0.6f); // the clear colour is given back
    }
    glClearColor(0, 0, 0, 0);
    EXPECT_EQ(results[0].px, results[1].px);
    for (size_t i = 0; i < results[1].px.size(); i += 4) {
        ASSERT_EQ(results[1].px[i] + results[1].px[i + 1] + results[1].px[i + 2], 0) << i / 4;
    }
    EXPECT_EQ(results[0].bound, results[1].bound);
    EXPECT_EQ(results[0].env, results[1].env);
    EXPECT_FLOAT_EQ(results[1].colour[0], -0.2f);
    EXPECT_FLOAT_EQ(results[1].ambient[0], results[1].colour[0]);
}

TEST_F(WorldGL, CloudImpostorStartsTransparentAndOnlyInRangeIsRendered) {
    CMFSCloud cloud("cloud-test");
    ASSERT_EQ(cloud.puffs.size(), 400u);
    ASSERT_GE(cloud.impostorTexture, 0);
    EXPECT_EQ(cloud.puffTexture, textureManager.findTexture("splat"));
    int w = 0, h = 0;
    std::vector<unsigned char> px = textureImage(cloud.impostorTexture, w, h);
    const int size = CMFSCloud::kImpostorSize;
    ASSERT_EQ(w, size);
    ASSERT_EQ(h, size);
    for (unsigned char b : px) {
        ASSERT_EQ(b, 0);
    }
    cloud.setPosition(200.0f, 200.0f, 300.0f);
    // Nothing captured yet: the billboard has nothing to show and draws no pixel.
    EXPECT_GT(cloud.footprint[0], cloud.footprint[2]);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -300.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    cloud.drawCloud(0.0f);
    std::vector<unsigned char> drawn = readBack();
    for (size_t i = 0; i < drawn.size(); i += 4) {
        ASSERT_EQ(drawn[i] + drawn[i + 1] + drawn[i + 2], 0) << i / 4;
    }
    const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glColor4fv(white);

    // Out of range: not re-rendered (and the director neither draws nor drifts it).
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, 5000.0f);
    EXPECT_FALSE(cloud.isInRange());
    cloud.renderImpostor();
    px = textureImage(cloud.impostorTexture, w, h);
    for (unsigned char b : px) {
        ASSERT_EQ(b, 0);
    }

    // In range, captured in the frame buffer: the capture fills the middle of the impostor
    // with the white puffs.
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -500.0f);
    EXPECT_TRUE(cloud.isInRange());
    EXPECT_NEAR(cloud.lastEyeDistance, 500.0f, 1e-3f);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    cloud.allowOffscreen = false;
    cloud.renderImpostor();
    EXPECT_FALSE(cloud.capturedOffscreen());
    GLint after[4];
    glGetIntegerv(GL_VIEWPORT, after);
    EXPECT_EQ(std::memcmp(viewport, after, sizeof viewport), 0);
    float clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[2], 0.0f);
    // The puffs' footprint: around the middle of the impostor, inside the texture.
    EXPECT_GE(cloud.footprint[0], 0.0f);
    EXPECT_GE(cloud.footprint[1], 0.0f);
    EXPECT_LE(cloud.footprint[2], 1.0f);
    EXPECT_LE(cloud.footprint[3], 1.0f);
    for (int k = 0; k < 2; ++k) {
        EXPECT_LT(cloud.footprint[k], 0.45f);
        EXPECT_GT(cloud.footprint[k + 2], 0.55f);
    }
    // The test window is smaller than the impostor: only its corner of the capture is defined, and
    // there the capture's clear colour (blue 0.21) at least has replaced the transparent start.
    px = textureImage(cloud.impostorTexture, w, h);
    for (int y = 0; y < kSide; y += 7) {
        for (int x = 0; x < kSide; x += 7) {
            ASSERT_GE(px[4 * (y * size + x) + 2], 50) << x << "," << y;
        }
    }
    // The texels are the frame buffer's bytes, channel for channel, whatever order the GL
    // keeps them in.
    std::vector<unsigned char> frame = readBack();
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            for (int c = 0; c < 4; ++c) {
                ASSERT_EQ(px[4 * (y * size + x) + c], frame[4 * (y * kSide + x) + c])
                    << x << "," << y << " channel " << c;
            }
        }
    }
    // Off-screen the whole impostor is captured, whatever the window's size: the puffs in the
    // middle, and the frame buffer and the framebuffer binding left as they were.
    cloud.allowOffscreen = true;
    // A second capture of the same view: only a turn of the view makes one unless told.
    cloud.reuseCapture = false;
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    cloud.renderImpostor();
    ASSERT_TRUE(cloud.capturedOffscreen());
    GLint binding = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &binding);
    EXPECT_EQ(binding, 0);
    px = textureImage(cloud.impostorTexture, w, h);
    EXPECT_GT(px[4 * (size / 2 * size + size / 2) + 3], 200);
    EXPECT_EQ(px[4 * (2 * size + 2) + 2], 54); // the capture's clear colour at a corner
    EXPECT_EQ(px[4 * (2 * size + 2) + 3], 0);
    frame = readBack();
    for (size_t i = 0; i < frame.size(); i += 4) {
        ASSERT_EQ(frame[i + 1], 255) << "pixel " << i / 4 << " of the frame was drawn over";
    }
}

TEST_F(WorldGL, CloudDriftReversesOnlyBeyondItsBox) {
    CMFSCloud cloud("cloud-drift");
    cloud.setPosition(10.0f, 20.0f, 30.0f);
    cloud.driftVelocity = {0.0f, 1.0f, 0.0f};
    cloud.driftOffset = {0.0f, 399.0f, 0.0f};
    cloud.drift(1.0f); // exactly 400: keeps rising
    EXPECT_FLOAT_EQ(cloud.driftOffset.y, 400.0f);
    EXPECT_FLOAT_EQ(cloud.driftVelocity.y, 1.0f);
    cloud.driftOffset.y = 399.5f;
    cloud.drift(1.0f); // 400.5: turns back
    EXPECT_FLOAT_EQ(cloud.driftVelocity.y, -1.0f);
    EXPECT_FLOAT_EQ(cloud.worldPosition.y, 420.5f);
    // Below -50 moving down turns up; x and z turn at +-300.
    cloud.driftOffset = {-299.0f, -49.0f, 299.5f};
    cloud.driftVelocity = {-2.0f, -2.0f, 1.0f};
    cloud.drift(1.0f);
    EXPECT_FLOAT_EQ(cloud.driftVelocity.x, 2.0f);
    EXPECT_FLOAT_EQ(cloud.driftVelocity.y, 2.0f);
    EXPECT_FLOAT_EQ(cloud.driftVelocity.z, -1.0f);
    EXPECT_FLOAT_EQ(cloud.worldPosition.x, 10.0f - 301.0f);
    // The brightness the ride gives never falls below 0.3.
    cloud.setBrightness(1.0f - 0.7f);
    EXPECT_FLOAT_EQ(cloud.brightness, 0.3f);
    cloud.setBrightness(0.1f);
    EXPECT_FLOAT_EQ(cloud.brightness, 0.3f);
    cloud.setBrightness(0.8f);
    EXPECT_FLOAT_EQ(cloud.brightness, 0.8f);
}

TEST_F(WorldGL, CloudsAreDrawnFarthestFirstAndEqualDistancesKeepTheirOrder) {
    CMFSCloud a("cloud-a"), b("cloud-b"), c("cloud-c");
    a.setPosition(200.0f, 200.0f, 300.0f);
    b.setPosition(200.0f, 300.0f, 1000.0f);
    c.setPosition(-1000.0f, 200.0f, 300.0f);
    CMFSCloud* order[3] = {&a, &b, &c};
    sortCloudsFarthestFirst(order);
    // The director's three: the second and third are equally far (sqrt 1130000), the first
    // nearest (sqrt 170000).
    EXPECT_EQ(order[0], &b);
    EXPECT_EQ(order[1], &c);
    EXPECT_EQ(order[2], &a);
    a.setPosition(0.0f, 0.0f, 500.0f);
    b.setPosition(0.0f, 500.0f, 0.0f);
    c.setPosition(0.0f, 0.0f, 100.0f);
    CMFSCloud* same[3] = {&c, &a, &b};
    sortCloudsFarthestFirst(same);
    EXPECT_EQ(same[0], &a);
    EXPECT_EQ(same[1], &b);
    EXPECT_EQ(same[2], &c);
}

} // namespace
