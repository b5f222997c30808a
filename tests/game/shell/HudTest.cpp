// The HUD's lines: when the status lines show and for how long, what they say, how fast the
// title follows the music block and what the frame-rate line counts.
#include "game/shell/Hud.h"
#include "game/shell/Controls.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct RecordingPrinter : ITextPrinter {
    void printLine(int x, int y, const char* text) override {
        lines.push_back(std::to_string(x) + "," + std::to_string(y) + ":" + text);
        boxes.push_back({x, y, x + 10 * static_cast<int>(std::strlen(text)), y + 15});
    }
    std::vector<std::string> lines;
    // Where each line's glyphs stand: 10 units a character, 15 a line.
    struct Box {
        int left, bottom, right, top;
    };
    std::vector<Box> boxes;
};

class HudStatusTest : public ::testing::Test {
  protected:
    void SetUp() override {
        toggleClock = 0;
        previousControlsTime = 0;
        controls.viewPoint = 24;
    }
    // One frame of dt seconds; true when the status lines were drawn.
    bool frame(float dt) {
        printer.lines.clear();
        hud.drawStatusLines(dt, controls, smoothing, speed, shown, printer);
        return !printer.lines.empty();
    }
    // Frames of 1/8 s (exact in binary); how many of them drew the lines.
    int run(int frames) {
        int drawn = 0;
        for (int i = 0; i < frames; ++i) {
            drawn += frame(kDt) ? 1 : 0;
        }
        return drawn;
    }
    static constexpr float kDt = 0.125f;
    void pressKey(unsigned key) {
        now += 100;
        controls.setKeyDown(key, true);
        controls.processControlsAt(now, nullptr);
        controls.setKeyDown(key, false);
    }

    CControls controls;
    CHud hud;
    ShownStatus shown;
    RecordingPrinter printer;
    float smoothing = 0.75f;
    float speed = 0.5f;
    DWORD now = 0;
};

TEST_F(HudStatusTest, ShowsForFiveSecondsAfterTheFirstChange) {
    // The last-shown values start at -1 percent, so the first frame counts as a change.
    EXPECT_EQ(run(40), 40);
    EXPECT_EQ(run(8), 0);
    EXPECT_EQ(shown.viewPoint, 24);
    EXPECT_EQ(shown.speedPercent, 50);
    EXPECT_EQ(shown.smoothingPercent, 75);
}

TEST_F(HudStatusTest, SameViewPointKeyKeepsTheTimerAnotherRestartsIt) {
    EXPECT_EQ(run(24), 24); // three seconds: two and one eighth are left
    pressKey('G');          // "Forward Far" again
    EXPECT_EQ(controls.viewPoint, 24);
    EXPECT_EQ(run(20), 16); // only what was left of the five seconds
    pressKey('F');
    EXPECT_EQ(controls.viewPoint, 23);
    EXPECT_EQ(run(48), 40); // five seconds anew
}

TEST_F(HudStatusTest, KeyQAndTheSplashEndRestartTheDisplay) {
    run(48);
    EXPECT_FALSE(frame(kDt));
    pressKey('Q');
    EXPECT_TRUE(controls.statusRefresh);
    // Five seconds from the frame that took the request, which already counts.
    EXPECT_EQ(run(48), 39);
    EXPECT_FALSE(controls.statusRefresh); // taken by the HUD
}

TEST_F(HudStatusTest, TextsAreTruncatedPercentsAndNames) {
    speed = 0.505f;
    smoothing = 0.999f;
    controls.headTilt = true;
    frame(0.3f);
    ASSERT_EQ(printer.lines.size(), 2u);
    EXPECT_EQ(printer.lines[0], "125,460:ViewPoint: Forward Far; HeadTilt ON");
    EXPECT_EQ(printer.lines[1], "125,445:Speed: 50%;  Roughness: 99%");
    controls.viewPoint = 20;
    controls.headTilt = false;
    frame(0.1f); // within the quarter second: the old text stays
    EXPECT_EQ(printer.lines[0], "125,460:ViewPoint: Forward Far; HeadTilt ON");
    frame(0.2f);
    EXPECT_EQ(printer.lines[0], "125,460:ViewPoint: Freqency Bars; HeadTilt OFF");
    // A knob at its far right.
    speed = 1.00224f;
    frame(0.3f);
    EXPECT_EQ(printer.lines[1], "125,445:Speed: 100%;  Roughness: 99%");
}

TEST_F(HudStatusTest, AnUnknownViewCodeIsNamedAsTheCycleItShows) {
    controls.viewPoint = 7; // from a settings file; the ride shows the cycle
    frame(0.3f);
    ASSERT_EQ(printer.lines.size(), 2u);
    EXPECT_EQ(printer.lines[0], "125,460:ViewPoint: Cycle Through View Points; HeadTilt OFF");
    EXPECT_EQ(controls.viewPoint, 7);
}

TEST_F(HudStatusTest, EveryLineShownAtOnceStandsClearOfTheOthers) {
    // Y flips the head tilt: its one-second text, the status lines it brings up, the frame
    // rate (F2) and the title all show in the same frame.
    now = 10000;
    pressKey('Y');
    printer.lines.clear();
    printer.boxes.clear();
    controls.processControlsAt(now + 16, &printer);
    hud.drawStatusLines(0.3f, controls, smoothing, speed, shown, printer);
    int32_t counter = 500; // the widest rate a paced frame can show
    hud.drawFrameRate(0.5f, counter, printer);
    hud.drawTitleLine(0.3f, "Song", printer);
    ASSERT_EQ(printer.boxes.size(), 5u);
    for (size_t i = 0; i < printer.boxes.size(); ++i) {
        const RecordingPrinter::Box& a = printer.boxes[i];
        EXPECT_LE(a.top, 480) << printer.lines[i];
        for (size_t j = i + 1; j < printer.boxes.size(); ++j) {
            const RecordingPrinter::Box& b = printer.boxes[j];
            bool apart =
                a.right <= b.left || b.right <= a.left || a.top <= b.bottom || b.top <= a.bottom;
            EXPECT_TRUE(apart) << printer.lines[i] << " overlaps " << printer.lines[j];
        }
    }
}

TEST(HudTitleTest, FollowsTheTitleWithinAQuarterSecond) {
    CHud hud;
    RecordingPrinter printer;
    char title[200] = "First Song";
    const float dt = 1.0f / 60.0f;
    for (int i = 0; i < 20; ++i) {
        hud.drawTitleLine(dt, title, printer);
    }
    EXPECT_EQ(printer.lines.back(), "10,5:Title: First Song");
    std::strcpy(title, "Second Song");
    int frames = 0;
    while (printer.lines.back() != "10,5:Title: Second Song" && frames < 100) {
        hud.drawTitleLine(dt, title, printer);
        ++frames;
    }
    EXPECT_LE(frames * dt, 0.25f + dt);
    // Drawn every frame, formatted only four times a second.
    EXPECT_EQ(printer.lines.size(), 20u + static_cast<size_t>(frames));
}

TEST(HudTitleTest, ATitleWithoutItsNulShowsAtMost199Bytes) {
    CHud hud;
    RecordingPrinter printer;
    char block[260];
    std::memset(block, 'x', sizeof block);
    char title[200];
    std::memcpy(title, block, sizeof title); // no NUL anywhere in the title
    hud.drawTitleLine(0.3f, title, printer);
    EXPECT_EQ(printer.lines.back(), "10,5:Title: " + std::string(199, 'x'));
}

TEST(HudFrameRateTest, ShowsSixtyAtSteadySixtyFrames) {
    CHud hud;
    RecordingPrinter printer;
    int32_t counter = 0;
    const float dt = 1.0f / 60.0f;
    int updates = 0;
    std::string shownBefore;
    for (int i = 0; i < 300; ++i) {
        ++counter; // the director counts every frame
        hud.drawFrameRate(dt, counter, printer);
        if (printer.lines.back() != shownBefore) {
            shownBefore = printer.lines.back();
            ++updates;
        }
        if (i > 70) {
            EXPECT_EQ(printer.lines.back(), "80,430:FPS: 60") << "frame " << i;
        }
    }
    EXPECT_EQ(hud.framesPerSecond(), 60);
}

TEST(HudFrameRateTest, CountsTheFramesSinceTheLastUpdate) {
    CHud hud;
    RecordingPrinter printer;
    int32_t counter = 90; // frames counted while the display was off
    hud.drawFrameRate(0.5f, counter, printer);
    EXPECT_EQ(printer.lines.back(), "80,430:FPS: 180");
    EXPECT_EQ(counter, 0);
    counter = 12;
    hud.drawFrameRate(0.2f, counter, printer);
    EXPECT_EQ(printer.lines.back(), "80,430:FPS: 180"); // not yet half a second
    EXPECT_EQ(counter, 12);
}

} // namespace
