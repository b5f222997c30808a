// The flash guard on frames in memory, checked by the flash analyser: strobing pictures come
// out with at most three flashes in any second, pictures below the limit come out unchanged.
#include "game/safety/FlashAnalyser.h"
#include "game/safety/PixelFlashGuard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <utility>
#include <vector>

namespace {

constexpr int kWidth = 192;
constexpr int kHeight = 144;
constexpr double kFps = 60.0;

// Fills frame i (RGB rows).
using Painter = std::function<void(int i, std::vector<uint8_t>& rgb)>;

struct GuardRun {
    safety::FlashReport drawn;
    safety::FlashReport shown;
    long long softened = 0;
    long long changedFrames = 0; // frames whose bytes the guard changed
    long long frozenFrames = 0;  // frames shown equal to the one before though drawn different
    int worstSeam = 0;           // the largest step between neighbouring pixels the guard added
};

// The largest amount by which a step between two neighbouring pixels (across or down, in any
// channel) is larger in shown than in drawn: an edge the softening made.
int addedSeam(const std::vector<uint8_t>& drawn, const std::vector<uint8_t>& shown) {
    int worst = 0;
    auto at = [](const std::vector<uint8_t>& f, int x, int y, int k) {
        return static_cast<int>(f[static_cast<size_t>((y * kWidth + x) * 3 + k)]);
    };
    for (int y = 0; y + 1 < kHeight; ++y) {
        for (int x = 0; x + 1 < kWidth; ++x) {
            for (int k = 0; k < 3; ++k) {
                for (auto [dx, dy] : {std::pair{1, 0}, std::pair{0, 1}}) {
                    int before = std::abs(at(drawn, x + dx, y + dy, k) - at(drawn, x, y, k));
                    int after = std::abs(at(shown, x + dx, y + dy, k) - at(shown, x, y, k));
                    worst = std::max(worst, after - before);
                }
            }
        }
    }
    return worst;
}

GuardRun guardRun(const Painter& paint, double seconds) {
    safety::FlashAnalyser before(kWidth, kHeight, kFps), after(kWidth, kHeight, kFps);
    safety::PixelFlashGuard guard(kWidth, kHeight);
    std::vector<uint8_t> frame(static_cast<size_t>(kWidth) * kHeight * 3), drawn, lastShown,
        lastDrawn;
    GuardRun run;
    for (int i = 0; i < static_cast<int>(seconds * kFps); ++i) {
        paint(i, frame);
        drawn = frame;
        before.addFrame(frame.data(), kWidth * 3, safety::PixelLayout::Rgb);
        guard.guardFrame(frame.data(), kWidth * 3, safety::PixelLayout::Rgb, 1.0 / kFps);
        after.addFrame(frame.data(), kWidth * 3, safety::PixelLayout::Rgb);
        run.changedFrames += frame != drawn ? 1 : 0;
        run.worstSeam = std::max(run.worstSeam, addedSeam(drawn, frame));
        run.frozenFrames += i > 0 && frame == lastShown && drawn != lastDrawn ? 1 : 0;
        lastShown = frame;
        lastDrawn = drawn;
    }
    run.drawn = before.report();
    run.shown = after.report();
    run.softened = guard.guard().softenedFrames();
    return run;
}

// A scene of moving diagonal stripes in colour, its brightness switched between full and
// dim hz times a second (or steady for hz 0).
Painter strobe(double hz, double dim = 0.12) {
    return [=](int i, std::vector<uint8_t>& rgb) {
        bool bright = hz <= 0.0 || std::fmod(i / kFps * hz, 1.0) < 0.5;
        double gain = bright ? 1.0 : dim;
        uint8_t* p = rgb.data();
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x, p += 3) {
                bool stripe = ((x + y + i) / 24) % 2 == 0;
                p[0] = static_cast<uint8_t>(std::lround(gain * (stripe ? 250 : 120)));
                p[1] = static_cast<uint8_t>(std::lround(gain * (stripe ? 230 : 90)));
                p[2] = static_cast<uint8_t>(std::lround(gain * (stripe ? 160 : 200)));
            }
        }
    };
}

// Full-screen saturated red and black.
Painter redStrobe(double hz) {
    return [=](int i, std::vector<uint8_t>& rgb) {
        bool on = std::fmod(i / kFps * hz, 1.0) < 0.5;
        for (size_t k = 0; k < rgb.size(); k += 3) {
            rgb[k] = on ? 255 : 0;
            rgb[k + 1] = 0;
            rgb[k + 2] = 0;
        }
    };
}

} // namespace

TEST(FlashGuard, KeepsStrobingPicturesToThreeFlashesASecond) {
    for (double hz : {6.0, 25.0}) {
        SCOPED_TRACE(hz);
        GuardRun run = guardRun(strobe(hz), 4.0);
        EXPECT_GT(run.drawn.worst.general, 3);
        EXPECT_LE(run.shown.worst.general, 3);
        EXPECT_LE(run.shown.worst.red, 3);
        EXPECT_FALSE(run.shown.overLimit()) << safety::formatFlashReport(run.shown);
        EXPECT_GT(run.softened, 0);
        EXPECT_EQ(run.softened, run.changedFrames);
        // Softened frames still move with the scene.
        EXPECT_EQ(run.frozenFrames, 0);
        // Flashes still come through: the guard limits, it does not blank.
        EXPECT_GE(run.shown.worst.general, 2);
        // Softened areas blend into the picture: no cell is shown as a block of its own
        // (a flat block against the moving stripes adds steps of 80 and more).
        EXPECT_LE(run.worstSeam, 48);
    }
    GuardRun red = guardRun(redStrobe(8.0), 3.0);
    EXPECT_GT(red.drawn.worst.red, 3);
    EXPECT_LE(red.shown.worst.red, 3);
    EXPECT_LE(red.shown.worst.general, 3);
}

TEST(FlashGuard, LeavesPicturesBelowTheLimitUntouched) {
    // Three flashes a second, a steady moving scene, a small patch flashing fast: not a byte
    // changed.
    for (double hz : {0.0, 2.0, 3.0}) {
        SCOPED_TRACE(hz);
        GuardRun run = guardRun(strobe(hz), 3.0);
        EXPECT_LE(run.drawn.worst.generalTransitions, 6);
        EXPECT_EQ(run.changedFrames, 0) << safety::formatFlashReport(run.drawn);
        EXPECT_EQ(run.softened, 0);
    }
    Painter smallPatch = [](int i, std::vector<uint8_t>& rgb) {
        std::fill(rgb.begin(), rgb.end(), 90);
        uint8_t v = (i / 3) % 2 == 0 ? 255 : 0;
        for (int y = 60; y < 80; ++y) {
            for (int x = 80; x < 104; ++x) {
                for (int k = 0; k < 3; ++k) {
                    rgb[static_cast<size_t>((y * kWidth + x) * 3 + k)] = v;
                }
            }
        }
    };
    GuardRun patch = guardRun(smallPatch, 3.0);
    EXPECT_EQ(patch.changedFrames, 0);
    EXPECT_EQ(patch.shown.worst.general, 0);
}
