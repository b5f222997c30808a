// F11 in the game: the window covers the whole screen and the ride is drawn over all of it
// (a projection and viewport left at 800 x 600 would leave the screen's top right unpainted);
// F11 again gives back the 800 x 600 window, drawn whole.
#include "tests/e2e/GameFixture.h"
#include "tests/support/WaitFor.h"

#include <cstdio>

using namespace std::chrono_literals;
using e2e::GameE2e;
using e2e::Picture;

namespace {

// The share of bright pixels in the block [x0, x1) x [y0, y1) of the picture.
double brightShare(const Picture& p, int x0, int y0, int x1, int y1) {
    long bright = 0, all = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const unsigned char* q = &p.rgb[(static_cast<size_t>(y) * p.width + x) * 3];
            bright += q[0] + q[1] + q[2] > 60 ? 1 : 0;
            ++all;
        }
    }
    return all > 0 ? static_cast<double>(bright) / all : 0.0;
}

} // namespace

TEST_F(GameE2e, F11CoversTheScreenWithTheRideAndF11AgainGivesBackTheWindow) {
    int screenW = 0, screenH = 0;
    ASSERT_EQ(std::sscanf(e2e::xdotool("getdisplaygeometry").c_str(), "%d %d", &screenW, &screenH),
              2);
    ASSERT_GT(screenW, 800);
    ASSERT_GT(screenH, 600);
    std::string window = start();
    ASSERT_FALSE(window.empty());

    e2e::pressKey(window, "F11");
    Picture full;
    // Covered, and drawn in the corner farthest from the old viewport.
    bool covered = testsupport::waitFor(
        [&] {
            return e2e::grabWindow(window, full) && full.width == screenW &&
                   full.height == screenH &&
                   brightShare(full, screenW - 200, 0, screenW, 150) > 0.5;
        },
        20000ms);
    e2e::screenshot(std::string(TC_TEST_STATE_DIR) + "/e2e-fullscreen.png");
    ASSERT_TRUE(covered) << "window " << full.width << "x" << full.height << ", top right "
                         << brightShare(full, screenW - 200, 0, screenW, 150) << " bright";
    // The ride fills the whole screen, not only a part of it.
    EXPECT_GT(brightShare(full, 0, 0, screenW, screenH), 0.5);

    e2e::pressKey(window, "F11");
    Picture back;
    EXPECT_TRUE(testsupport::waitFor(
        [&] {
            return e2e::grabWindow(window, back) && back.width == 800 && back.height == 600 &&
                   brightShare(back, 600, 0, 800, 150) > 0.5;
        },
        20000ms))
        << "window " << back.width << "x" << back.height;
    EXPECT_EQ(quitWithEscape(window), 0);
}
