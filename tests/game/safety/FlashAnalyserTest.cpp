// The flash analyser on made-up frame sequences with known answers: full-screen flashing at
// known rates, patches on either side of the area rule, red flashes at a steady luminance,
// and fades.
#include "game/safety/FlashAnalyser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <vector>

namespace {

constexpr int kWidth = 192; // a field is 64 x 48 pixels, its quarter 768
constexpr int kHeight = 144;
constexpr double kFps = 60.0;

struct Rgb {
    uint8_t r, g, b;
};
const Rgb kBlack{0, 0, 0};
const Rgb kWhite{255, 255, 255};

// The colour of pixel (x, y) in frame i.
using Picture = std::function<Rgb(int i, int x, int y)>;

safety::FlashReport analyse(const Picture& picture, double seconds, double fps = kFps) {
    safety::FlashAnalyser analyser(kWidth, kHeight, fps);
    std::vector<uint8_t> frame(static_cast<size_t>(kWidth) * kHeight * 3);
    const int frames = static_cast<int>(std::lround(seconds * fps));
    for (int i = 0; i < frames; ++i) {
        uint8_t* p = frame.data();
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x, p += 3) {
                Rgb c = picture(i, x, y);
                p[0] = c.r;
                p[1] = c.g;
                p[2] = c.b;
            }
        }
        analyser.addFrame(frame.data(), kWidth * 3, safety::PixelLayout::Rgb);
    }
    return analyser.report();
}

// On for the first half of each period of hz, starting off.
bool onAt(int i, double hz, double fps = kFps) {
    return std::fmod(i / fps * hz + 0.5, 1.0) < 0.5;
}

Picture alternate(double hz, Rgb on, Rgb off) {
    return [=](int i, int, int) { return onAt(i, hz) ? on : off; };
}

// A square patch of side pixels in the middle flashing black and white over a grey screen.
Picture patch(int side, double hz) {
    return [=](int i, int x, int y) {
        bool inside = x >= (kWidth - side) / 2 && x < (kWidth + side) / 2 &&
                      y >= (kHeight - side) / 2 && y < (kHeight + side) / 2;
        if (!inside) {
            return Rgb{128, 128, 128};
        }
        return onAt(i, hz) ? kWhite : kBlack;
    };
}

// A triangle wave from black to white and back, period seconds long.
Picture triangle(double period) {
    return [=](int i, int, int) {
        double phase = std::fmod(i / kFps / period, 1.0);
        double level = phase < 0.5 ? 2 * phase : 2 - 2 * phase;
        auto v = static_cast<uint8_t>(std::lround(level * 255));
        return Rgb{v, v, v};
    };
}

} // namespace

TEST(FlashAnalyser, CountsFullScreenFlashingExactly) {
    for (double hz : {2.0, 3.0, 4.0, 10.0}) {
        SCOPED_TRACE(hz);
        safety::FlashReport r = analyse(alternate(hz, kWhite, kBlack), 3.0);
        EXPECT_EQ(r.frames, 180);
        ASSERT_EQ(r.seconds.size(), 3u);
        EXPECT_EQ(r.worst.general, static_cast<int>(hz));
        EXPECT_EQ(r.worst.generalTransitions, static_cast<int>(2 * hz));
        // Every second after the first holds a whole one-second period.
        for (size_t s = 1; s < r.seconds.size(); ++s) {
            EXPECT_EQ(r.seconds[s].general, static_cast<int>(hz)) << "second " << s;
        }
        EXPECT_EQ(r.worst.red, 0);
        EXPECT_EQ(r.overLimit(), hz > 3.0);
    }
    // The count follows the frame rate it is given: 4 Hz at 50 frames a second.
    safety::FlashAnalyser at50(kWidth, kHeight, 50.0);
    std::vector<uint8_t> frame(static_cast<size_t>(kWidth) * kHeight * 3);
    for (int i = 0; i < 200; ++i) {
        std::fill(frame.begin(), frame.end(), onAt(i, 4.0, 50.0) ? 255 : 0);
        at50.addFrame(frame.data(), kWidth * 3, safety::PixelLayout::Rgb);
    }
    EXPECT_EQ(at50.report().worst.general, 4);
    EXPECT_EQ(at50.report().seconds.size(), 4u);
}

TEST(FlashAnalyser, CountsOnlyPatchesThatCoverAQuarterOfAField) {
    // 24 x 24 = 576 pixels, three quarters of the 768 a quarter-field needs: not counted,
    // however fast it flashes.
    safety::FlashReport small = analyse(patch(24, 10.0), 3.0);
    EXPECT_EQ(small.worst.general, 0);
    EXPECT_FALSE(small.overLimit());
    // 32 x 32 = 1024 pixels: counted.
    safety::FlashReport large = analyse(patch(32, 10.0), 3.0);
    EXPECT_EQ(large.worst.general, 10);
    EXPECT_TRUE(large.overLimit());
    // Two small patches far apart do not add up; side by side in one field they do.
    auto twoPatches = [](int gap) {
        return [gap](int i, int x, int y) {
            bool rows = y >= kHeight / 2 - 12 && y < kHeight / 2 + 12;
            bool left = x >= 96 - gap / 2 - 24 && x < 96 - gap / 2;
            bool right = x >= 96 + gap / 2 && x < 96 + gap / 2 + 24;
            if (!rows || !(left || right)) {
                return Rgb{128, 128, 128};
            }
            return onAt(i, 10.0) ? kWhite : kBlack;
        };
    };
    EXPECT_EQ(analyse(twoPatches(0), 2.0).worst.general, 10);
    EXPECT_EQ(analyse(twoPatches(120), 2.0).worst.general, 0);
}

TEST(FlashAnalyser, CountsRedFlashesByTheirOwnRule) {
    // Saturated red against a grey of nearly the same luminance (0.2126 and 0.2159): red
    // flashes, no general ones.
    const Rgb red{255, 0, 0};
    const Rgb grey{128, 128, 128};
    safety::FlashReport r = analyse(alternate(5.0, red, grey), 3.0);
    EXPECT_EQ(r.worst.red, 5);
    EXPECT_EQ(r.worst.general, 0);
    EXPECT_TRUE(r.overLimit());
    // Against black the luminance changes too: both kinds.
    safety::FlashReport dark = analyse(alternate(5.0, red, kBlack), 3.0);
    EXPECT_EQ(dark.worst.red, 5);
    EXPECT_EQ(dark.worst.general, 5);
    // A pink (R / (R + G + B) = 0.70) is no saturated red.
    const Rgb pink{255, 128, 128};
    const Rgb paleGrey{166, 166, 166};
    safety::FlashReport p = analyse(alternate(5.0, pink, paleGrey), 3.0);
    EXPECT_EQ(p.worst.red, 0);
    EXPECT_EQ(p.worst.general, 0);
}

TEST(FlashAnalyser, IgnoresFadesSmallChangesAndBrightChanges) {
    // Black to white and back over four seconds: a rise and a fall more than a second apart.
    safety::FlashReport slow = analyse(triangle(4.0), 8.0);
    EXPECT_EQ(slow.worst.general, 0);
    EXPECT_EQ(slow.worst.generalTransitions, 1);
    // The same shape four times a second is four flashes.
    EXPECT_EQ(analyse(triangle(0.25), 3.0).worst.general, 4);
    // Luminance 0.30 against 0.39 is under a tenth; against 0.42 it is not.
    EXPECT_EQ(analyse(alternate(5.0, Rgb{149, 149, 149}, Rgb{166, 166, 166}), 2.0).worst.general,
              0);
    EXPECT_EQ(analyse(alternate(5.0, Rgb{149, 149, 149}, Rgb{173, 173, 173}), 2.0).worst.general,
              5);
    // Both states at 0.8 or brighter (0.85 and 1.0): no flash.
    EXPECT_EQ(analyse(alternate(5.0, kWhite, Rgb{237, 237, 237}), 2.0).worst.general, 0);
}

TEST(FlashAnalyser, RefusesFramesTooSmallToCut) {
    EXPECT_THROW(safety::FlashAnalyser(40, 300, 60.0), std::invalid_argument);
    EXPECT_THROW(safety::FlashAnalyser(640, 480, 0.0), std::invalid_argument);
    // Nine transitions in the first second of 5 Hz: four flashes, over the limit.
    safety::FlashReport r = analyse(alternate(5.0, kWhite, kBlack), 1.0);
    std::string text = safety::formatFlashReport(r);
    EXPECT_NE(text.find("second    0: general  4 ( 9)"), std::string::npos) << text;
    EXPECT_NE(text.find("FAIL"), std::string::npos) << text;
}
