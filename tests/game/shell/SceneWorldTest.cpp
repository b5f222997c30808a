// The whole scene in the game's own 800 x 600 window with the built archive, at rest (no
// music): sky above the horizon, green ground below, nothing left black, the world's objects
// built, no trace of a cloud impostor captured in the same back buffer, and the same impostor
// captured off-screen.
#include "game/assets/MFSCloud.h"
#include "game/assets/TextureManager.h"
#include "game/shell/Controls.h"
#include "game/shell/GameWindow.h"
#include "game/shell/SceneDirector.h"
#include "game/shell/ViewSetup.h"
#include "game/shell/WindowRecord.h"
#include "platform/window/GLContext.h"
#include "tests/support/TestPaths.h"

#include "shared/musicblock/CSharedMusicBlock.h"
#include <GL/gl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

class SceneWorldTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(isolation.ok());
        std::filesystem::create_directory_symlink(std::string(TC_DIST_DIR) + "/data",
                                                  scratch.file("data"));
        static char instanceToken;
        static AppInstanceInfo appInfo{};
        static bool registered = false;
        prepareWindowRecord(&keys, &appInfo, reinterpret_cast<HINSTANCE>(&instanceToken));
        if (!registered) {
            ASSERT_TRUE(registerWindowClass(&appInfo));
            registered = true;
        }
        ASSERT_TRUE(createGameWindow(&windowRecord));
        windowOpen = true;
        mainWindowHandle = windowRecord.window;
        reshapeView(kClientWidth, kClientHeight);
        director = new CSceneDirector;
        sceneDirector = director;
        director->initialize();
        // Forward Near: the camera rides behind the car, level with the ground.
        director->setRideSettings(
            RideSettings{viewpoint::kForwardNear, true, false, 0.75f, false, 0.5f});
    }
    void TearDown() override {
        sceneDirector = nullptr;
        delete director;
        director = nullptr;
        if (windowOpen) {
            destroyGameWindow(&windowRecord);
        }
    }
    // Renders frames; the last one is read back before it is shown.
    std::vector<unsigned char> frames(int n) {
        // The start-up splash covers the scene until it has faded.
        for (int i = 0; i < 1000 && director->splashRunning(); ++i) {
            director->render(0.1f);
        }
        for (int i = 0; i < n - 1; ++i) {
            director->render(1.0f / 60.0f);
            SwapBuffers(windowRecord.deviceContext);
        }
        director->render(1.0f / 60.0f);
        std::vector<unsigned char> px(static_cast<size_t>(kClientWidth) * kClientHeight * 4);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, kClientWidth, kClientHeight, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
        SwapBuffers(windowRecord.deviceContext);
        return px;
    }
    // Keeps the picture beside the other test screenshots, for a person to look at.
    static void saveShot(const std::vector<unsigned char>& px, const char* name) {
        std::FILE* f = std::fopen((std::string(TC_TEST_STATE_DIR) + "/" + name).c_str(), "wb");
        if (f == nullptr) {
            return;
        }
        std::fprintf(f, "P6\n%d %d\n255\n", kClientWidth, kClientHeight);
        for (int y = 0; y < kClientHeight; ++y) {
            for (int x = 0; x < kClientWidth; ++x) {
                std::fwrite(at(px, x, y), 1, 3, f);
            }
        }
        std::fclose(f);
    }
    // Pixel (x, y) counted from the top left.
    static const unsigned char* at(const std::vector<unsigned char>& px, int x, int y) {
        return &px[4 * (static_cast<size_t>(kClientHeight - 1 - y) * kClientWidth + x)];
    }

    testsupport::ScratchDir scratch;
    testsupport::IsolatedMusicBlock isolation{scratch};
    KeyDownTable keys{};
    CSceneDirector* director = nullptr;
    bool windowOpen = false;
};

TEST_F(SceneWorldTest, AtRestSkyAboveGreenBelowAndNothingBlack) {
    WorldObjects& w = director->worldObjects();
    ASSERT_NE(w.terrain, nullptr);
    ASSERT_NE(w.skybox, nullptr);
    ASSERT_NE(w.potFlames, nullptr);
    ASSERT_NE(w.beatBurst, nullptr);
    ASSERT_NE(w.fountainSpray, nullptr);
    ASSERT_NE(w.snow, nullptr);
    ASSERT_NE(w.poleSpray, nullptr);
    for (CMFSCloud* c : w.clouds) {
        ASSERT_NE(c, nullptr);
    }
    // The start-up values of the world.
    EXPECT_FLOAT_EQ(w.potFlames->level, 5.0f);
    EXPECT_FLOAT_EQ(w.fountainSpray->lifeScale, 50.0f);
    EXPECT_FLOAT_EQ(w.poleSpray->spawnRadius, 5.0f);
    EXPECT_FLOAT_EQ(w.clouds[1]->basePosition.z, 1000.0f);
    EXPECT_FLOAT_EQ(w.clouds[2]->basePosition.x, -1000.0f);

    std::vector<unsigned char> px = frames(90);
    saveShot(px, "scene-at-rest.ppm");
    long sky = 0, skyRows = 0, ground = 0, groundRows = 0, black = 0;
    for (int y = 0; y < kClientHeight; ++y) {
        for (int x = 0; x < kClientWidth; ++x) {
            const unsigned char* p = at(px, x, y);
            int r = p[0], g = p[1], b = p[2];
            black += r + g + b < 30 ? 1 : 0;
            if (y < 100) {
                ++skyRows;
                sky += b > g && b > 120 ? 1 : 0;
            } else if (y >= 500) {
                ++groundRows;
                ground += g > r + 40 && g > 100 ? 1 : 0;
            }
        }
    }
    EXPECT_EQ(black, 0);
    EXPECT_GT(sky, skyRows * 9 / 10);
    // The trail's rails cover part of the ground in this view.
    EXPECT_GT(ground, groundRows * 6 / 10);
}

TEST_F(SceneWorldTest, LoudMusicDarkensSkyAndGroundAndBringsTheSnow) {
    std::vector<unsigned char> rest = frames(60);
    // A writer plays the loudest spectrum; once the ride's level has risen, its feed gives the
    // world a black sky, a dark green ground, full snow and long-lived sprays.
    CSharedMusicBlock writer;
    ASSERT_TRUE(writer.Create());
    static unsigned char loudest[2][1024];
    std::memset(loudest, 255, sizeof loudest);
    static char title[200] = "Loud"; // the block takes the whole 200-byte title buffer
    ASSERT_TRUE(writer.Write(loudest, title));
    WorldObjects& w = director->worldObjects();
    std::vector<unsigned char> loud = frames(150);
    saveShot(loud, "scene-loud.ppm");
    EXPECT_EQ(w.snow->drawnCount(), SnowFall::kParticles);
    long skyRest = 0, skyLoud = 0, groundRest = 0, groundLoud = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < kClientWidth; ++x) {
            skyRest += at(rest, x, y)[2];
            skyLoud += at(loud, x, y)[2];
        }
    }
    for (int y = 560; y < kClientHeight; ++y) {
        for (int x = 0; x < 200; ++x) {
            groundRest += at(rest, x, y)[1];
            groundLoud += at(loud, x, y)[1];
        }
    }
    EXPECT_LT(skyLoud, skyRest / 3);
    EXPECT_LT(groundLoud, groundRest * 6 / 10);
}

TEST_F(SceneWorldTest, TheImpostorCaptureNeverShowsInTheFrame) {
    // Each frame captures one cloud, cleared to dark blue (0, 0, 54) first: off-screen, or
    // where the GL lacks framebuffer objects into the lower-left corner of the back buffer,
    // which the sky box covers before the frame is shown.
    for (int round = 0; round < 3; ++round) {
        std::vector<unsigned char> px = frames(round == 0 ? 30 : 1);
        long captureBlue = 0;
        const int size = CMFSCloud::kImpostorSize;
        for (int y = kClientHeight - size; y < kClientHeight; ++y) {
            for (int x = 0; x < size; ++x) {
                const unsigned char* p = at(px, x, y);
                captureBlue += p[0] < 8 && p[1] < 8 && p[2] > 40 && p[2] < 70 ? 1 : 0;
            }
        }
        EXPECT_EQ(captureBlue, 0) << "round " << round;
    }
    // The clear colour of the menu pages is the director's again.
    float clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[2], 0.0f);
}

TEST_F(SceneWorldTest, AnOffscreenCaptureHoldsWhatTheFrameBufferCaptureHolds) {
    frames(30);
    auto impostor = [](const CMFSCloud& cloud) {
        std::vector<unsigned char> px(static_cast<size_t>(CMFSCloud::kImpostorSize) *
                                      CMFSCloud::kImpostorSize * 4);
        glBindTexture(GL_TEXTURE_2D, textureManager.getGLName(cloud.impostorTexture));
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
        return px;
    };
    int compared = 0;
    for (CMFSCloud* cloud : director->worldObjects().clouds) {
        glPushMatrix();
        glTranslatef(cloud->worldPosition.x, cloud->worldPosition.y, cloud->worldPosition.z);
        cloud->inRange = true;
        // Both captures are wanted, though nothing the capture sees has changed.
        cloud->reuseCapture = false;
        cloud->allowOffscreen = false;
        cloud->renderImpostor();
        ASSERT_FALSE(cloud->capturedOffscreen());
        std::vector<unsigned char> inFrame = impostor(*cloud);
        cloud->allowOffscreen = true;
        cloud->renderImpostor();
        ASSERT_TRUE(cloud->capturedOffscreen());
        std::vector<unsigned char> offscreen = impostor(*cloud);
        glPopMatrix();
        long lit = 0;
        for (size_t i = 3; i < offscreen.size(); i += 4) {
            lit += offscreen[i] > 0 ? 1 : 0;
        }
        EXPECT_GT(lit, 1000);
        // Edges can round a little differently in the window's buffer and off-screen: at most
        // one level, on a few texels.
        int worst = 0;
        long differing = 0;
        for (size_t i = 0; i < inFrame.size(); ++i) {
            const int d = std::abs(int(inFrame[i]) - int(offscreen[i]));
            worst = std::max(worst, d);
            differing += d > 0 ? 1 : 0;
        }
        EXPECT_LE(worst, 1) << "cloud " << compared;
        EXPECT_LT(differing, static_cast<long>(offscreen.size() / 1000)) << "cloud " << compared;
        ++compared;
    }
    EXPECT_EQ(compared, WorldObjects::kClouds);
}

} // namespace
