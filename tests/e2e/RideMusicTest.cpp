// The running game fed by tcfeed: silence draws a low blue trail; a loud beat raises the wave
// and turns it red.
#include "game/menu/FlashGuardFile.h"
#include "game/menu/SettingsFile.h"
#include "tests/e2e/Desktop.h"
#include "tests/e2e/GameFixture.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

namespace {

using e2e::GameE2e;

// How many pixels of a picture are strongly blue, strongly red, or risen from blue (any
// sprite with some red: purple on the way up, then red), and the mean row of each. The trail's
// sprites add their colour to the sky and the ground behind them, so only pixels that the
// sprites drive to saturation count: one channel at 230 or more, and not the near white of a
// cloud. The sky's own colours stay below that (blue at most about 195), and so does the
// ground's green.
struct Colours {
    long blue = 0, red = 0, risen = 0;
    double blueRow = 0.0, redRow = 0.0, risenRow = 0.0;
};

// The rows between the HUD's text and buttons at the top (status lines, corner buttons) and
// its title line at the bottom.
constexpr int kSceneTop = 65;
constexpr int kSceneBottom = 565;

Colours countColours(const e2e::Picture& p) {
    Colours c;
    for (int y = kSceneTop; y < p.height && y < kSceneBottom; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const unsigned char* px = p.at(x, y);
            int r = px[0], g = px[1], b = px[2];
            bool saturated = std::max({r, g, b}) >= 230 && std::min({r, g, b}) < 200;
            if (!saturated) {
                continue;
            }
            bool blue = b >= 230 && r < 120;
            if (blue) {
                ++c.blue;
                c.blueRow += y;
            } else if (r >= 230 && b < 230 && g < 200) {
                ++c.red;
                c.redRow += y;
            }
            if (!blue && r > 80) {
                ++c.risen;
                c.risenRow += y;
            }
        }
    }
    c.blueRow = c.blue > 0 ? c.blueRow / c.blue : 0.0;
    c.redRow = c.red > 0 ? c.redRow / c.red : 0.0;
    c.risenRow = c.risen > 0 ? c.risenRow / c.risen : 0.0;
    return c;
}

class RideMusicE2e : public GameE2e {
  protected:
    // Grabs the window and keeps the picture beside the other test screenshots.
    Colours look(const std::string& window, const std::string& name) {
        e2e::Picture picture;
        EXPECT_TRUE(e2e::grabWindow(window, picture));
        e2e::screenshot(std::string(TC_TEST_STATE_DIR) + "/" + name + ".png");
        Colours c = countColours(picture);
        std::printf("%s: blue %ld at row %.0f, red %ld at row %.0f, risen %ld at row %.0f\n",
                    name.c_str(), c.blue, c.blueRow, c.red, c.redRow, c.risen, c.risenRow);
        return c;
    }
};

TEST_F(RideMusicE2e, SilenceIsABlueTrailAndALoudBeatARisingRedWave) {
    // Forward Near: the camera rides just behind the car and looks along the trail.
    RideSettings view = settingsfile::defaults();
    view.viewPoint = 4;
    view.dragonOn = false; // the trail alone: the dragon's red would count as a risen wave
    ASSERT_TRUE(settingsfile::save(scratch.file("Settings.dat").c_str(), view));
    // The trail's own colours: the flash guard would hold back the wave's turn to red where
    // slow frames make it a flash.
    ASSERT_TRUE(flashguardfile::save(scratch.file(flashguardfile::kName).c_str(), false));

    auto silence = feed({"silence"});
    std::string window = start();
    ASSERT_FALSE(window.empty());
    // The start-up splash holds five seconds and fades for about eight; the trail's 250
    // frames of silence have long been drawn by then.
    usleep(13500000);
    Colours quiet = look(window, "e2e-ride-silence");
    EXPECT_GT(quiet.blue, 1000);
    EXPECT_LT(quiet.red, 50);
    EXPECT_GT(quiet.blueRow, 300.0); // below the middle of the 600 rows

    silence.reset();
    auto beat = feed({"beat"});
    const auto beatStart = std::chrono::steady_clock::now();
    // In the first second or so only the newest part of the trail, at the car, has risen,
    // and the silent part is still blue. Where that part shows depends on the turn the car is
    // in and on how high the car has risen (for a moment the camera can look over the whole
    // trail), so the first of a few looks that sees it counts.
    Colours rising;
    for (int i = 0; i < 6 && rising.blue == 0; ++i) {
        usleep(250000);
        rising = look(window, "e2e-ride-rising");
    }

    // The whole trail has turned red well within 4.7 s.
    std::this_thread::sleep_until(beatStart + std::chrono::milliseconds(4700));
    Colours loud = look(window, "e2e-ride-beat");
    // The trail's sprites lie further apart when frames are slow (a sanitizer build), so the
    // red count is low in pixels but still far above the blue.
    EXPECT_GT(loud.red, 100);
    EXPECT_LT(loud.blue, loud.red / 10);
    // Between the two: some of the silent trail is still blue, and far less is red.
    EXPECT_GT(rising.blue, loud.blue);
    EXPECT_LT(rising.red, loud.red / 2);

    EXPECT_EQ(quitWithEscape(window), 0);
    // The view chosen in the file is written back at exit.
    RideSettings after{};
    ASSERT_TRUE(settingsfile::load(scratch.file("Settings.dat").c_str(), after));
    EXPECT_EQ(after.viewPoint, 4);
}

} // namespace
