// The director on a GL context with the built archive: what initialize builds and applies
// from "Settings.dat", the frozen world of the menu-page mode, and the file written at the end.
#include "game/shell/SceneDirector.h"
#include "game/menu/SettingsFile.h"
#include "game/shell/Controls.h"
#include "tests/support/GLContextFixture.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

class SceneDirectorTest : public testsupport::GLTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(isolation.ok());
        std::filesystem::create_directory_symlink(std::string(TC_DIST_DIR) + "/data",
                                                  scratch.file("data"));
    }
    void TearDown() override { director.reset(); }
    CSceneDirector& start() {
        director = std::make_unique<CSceneDirector>();
        director->initialize();
        return *director;
    }
    RideSettings savedSettings() {
        RideSettings s{};
        EXPECT_TRUE(settingsfile::load(scratch.file("Settings.dat").c_str(), s));
        return s;
    }

    testsupport::ScratchDir scratch;
    testsupport::IsolatedMusicBlock isolation{scratch};
    std::unique_ptr<CSceneDirector> director;
};

TEST_F(SceneDirectorTest, FirstRunUsesTheDefaultsAndWritesThemAtTheEnd) {
    CSceneDirector& d = start();
    ASSERT_NE(rideTrack, nullptr);
    EXPECT_EQ(rideTrack, d.track());
    EXPECT_EQ(controls->viewPoint, 25);
    EXPECT_EQ(controls->dragonOn, 1);
    EXPECT_EQ(controls->headTilt, 0);
    EXPECT_FLOAT_EQ(rideSmoothing, 0.75f);
    EXPECT_FLOAT_EQ(rideSpeed, 0.5f);
    EXPECT_FALSE(std::filesystem::exists(scratch.file("Settings.dat")));
    director.reset();
    EXPECT_EQ(rideTrack, nullptr);
    RideSettings s = savedSettings();
    EXPECT_EQ(s.viewPoint, 25);
    EXPECT_TRUE(s.dragonOn);
    EXPECT_FLOAT_EQ(s.smoothing, 0.75f);
}

TEST_F(SceneDirectorTest, SettingsFileReachesTheControlsAndTheRide) {
    RideSettings stored{21, false, true, 0.4f, false, 0.9f};
    ASSERT_TRUE(settingsfile::save(scratch.file("Settings.dat").c_str(), stored));
    CSceneDirector& d = start();
    EXPECT_EQ(controls->viewPoint, 21);
    EXPECT_EQ(controls->dragonOn, 0);
    EXPECT_EQ(controls->headTilt, 1);
    EXPECT_FLOAT_EQ(rideSmoothing, 0.4f);
    d.render(0.02f);
    EXPECT_FLOAT_EQ(d.track()->angularSpeed, 0.2f * 0.9f + 0.2f);
    EXPECT_FALSE(rideSpeedChanged);
    // What the controls hold at the end is what the next run starts with.
    controls->viewPoint = 4;
    director.reset();
    RideSettings s = savedSettings();
    EXPECT_EQ(s.viewPoint, 4);
    EXPECT_FALSE(s.dragonOn);
    EXPECT_TRUE(s.headTilt);
    EXPECT_FLOAT_EQ(s.speed, 0.9f);
}

TEST_F(SceneDirectorTest, MenuPageModeFreezesTheRideAndRideModeContinues) {
    CSceneDirector& d = start();
    for (int i = 0; i < 20; ++i) {
        d.render(0.05f);
    }
    CRideTrack& ride = *d.track();
    Vector3 car = ride.carPath[0].position;
    float cycle = ride.cycleTimer;
    d.setMode(CSceneDirector::kModeMenuPage);
    for (int i = 0; i < 20; ++i) {
        d.render(0.05f);
    }
    EXPECT_EQ(ride.carPath[0].position.x, car.x);
    EXPECT_EQ(ride.carPath[0].position.z, car.z);
    EXPECT_EQ(ride.cycleTimer, cycle);
    d.setMode(CSceneDirector::kModeRide);
    d.render(0.05f);
    EXPECT_NE(ride.carPath[0].position.x, car.x);
    EXPECT_EQ(ride.carPath[1].position.x, car.x); // continues from where it stood
    EXPECT_FLOAT_EQ(ride.cycleTimer, cycle + 0.05f);
}

TEST_F(SceneDirectorTest, StatusLinesShowForFiveSecondsWhenTheSplashEnds) {
    CSceneDirector& d = start();
    ASSERT_NE(d.menu3D(), nullptr);
    ASSERT_NE(hudFont, nullptr);
    int frames = 0;
    while (d.splashRunning() && frames < 1000) {
        d.render(0.1f);
        ++frames;
    }
    // Five seconds held, then 1 / 0.13 seconds of fade.
    EXPECT_NEAR(frames, 127, 2);
    EXPECT_TRUE(controls->statusRefresh);
    for (int i = 0; i < 3; ++i) {
        d.render(0.1f);
    }
    EXPECT_FALSE(controls->statusRefresh);
    EXPECT_FLOAT_EQ(d.hud().statusDisplayTime(), 5.0f - 0.2f);
    EXPECT_STREQ(d.hud().statusLine1(), "ViewPoint: Cycle Through View Points; HeadTilt OFF");
    EXPECT_STREQ(d.hud().statusLine2(), "Speed: 50%;  Roughness: 75%");
    EXPECT_STREQ(d.hud().titleLine(), "Title: ");
}

TEST_F(SceneDirectorTest, TheMenuSwitchesToThePageModeAndBack) {
    CSceneDirector& d = start();
    C3DMenu& menu = *d.menu3D();
    EXPECT_EQ(&d.menuInput(), static_cast<IMenuInput*>(&menu));
    menu.open();
    EXPECT_EQ(d.mode(), CSceneDirector::kModeMenuPage);
    d.render(0.05f);
    menu.cancel();
    EXPECT_EQ(d.mode(), CSceneDirector::kModeRide);
    d.render(0.05f);
}

} // namespace
