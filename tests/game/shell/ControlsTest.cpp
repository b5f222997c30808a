#include "game/shell/Controls.h"
#include "game/shell/TextPrinter.h"

#include <gtest/gtest.h>

#include <cstring>

#include <string>
#include <vector>

namespace {

struct RecordingPrinter : ITextPrinter {
    void printLine(int x, int y, const char* text) override {
        lines.push_back(std::to_string(x) + "," + std::to_string(y) + ":" + text);
    }
    std::vector<std::string> lines;
};

class ControlsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        toggleClock = 0;
        previousControlsTime = 10000;
    }
    // One frame at time ms with the given key held.
    void frameWithKey(DWORD ms, unsigned key) {
        c.setKeyDown(key, true);
        c.processControlsAt(ms, &printer);
        c.setKeyDown(key, false);
    }
    CControls c;
    RecordingPrinter printer;
};

TEST_F(ControlsTest, DefaultBindingsSetViewPoints) {
    const struct {
        char key;
        int code;
    } table[] = {{'A', 20}, {'S', 21}, {'D', 4}, {'F', 23},
                 {'G', 24}, {'R', 25}, {'H', 1}, {'B', 0}};
    DWORD t = 10000;
    for (const auto& row : table) {
        frameWithKey(t += 16, static_cast<unsigned>(row.key));
        EXPECT_EQ(c.viewPoint, row.code) << row.key;
    }
}

TEST_F(ControlsTest, UnboundKeysChangeNothing) {
    c.viewPoint = 23;
    frameWithKey(10016, 'C');
    frameWithKey(10032, 'T');
    frameWithKey(10048, 0x20);
    EXPECT_EQ(c.viewPoint, 23);
    EXPECT_FALSE(c.headTilt);
    EXPECT_TRUE(c.dragonOn);
    EXPECT_FALSE(c.statusRefresh);
}

TEST_F(ControlsTest, HeldViewKeyKeepsSettingAndClearsStatusText) {
    c.setKeyDown('G', true);
    for (DWORD t = 10016; t < 10200; t += 16) {
        std::strcpy(c.statusText, "HEADTILT ON");
        c.processControlsAt(t, &printer);
        EXPECT_EQ(c.viewPoint, 24);
        EXPECT_STREQ(c.statusText, "");
    }
}

TEST_F(ControlsTest, HeadTiltIsDebouncedAndSaysSo) {
    toggleClock = 1000;
    frameWithKey(10016, 'Y');
    EXPECT_TRUE(c.headTilt);
    EXPECT_STREQ(c.statusText, "HEADTILT ON");
    frameWithKey(10216, 'Y'); // 200 ms later: too soon
    EXPECT_TRUE(c.headTilt);
    frameWithKey(10266, 'Y'); // 250 ms after the flip
    EXPECT_FALSE(c.headTilt);
    EXPECT_STREQ(c.statusText, "HEADTILT OFF");
}

TEST_F(ControlsTest, HoldingYFlipsAtMostFourTimesASecond) {
    toggleClock = 1000;
    c.setKeyDown('Y', true);
    int flips = 0;
    bool last = c.headTilt;
    for (DWORD t = 10000; t < 11000; t += 16) {
        c.processControlsAt(t, &printer);
        flips += c.headTilt != last;
        last = c.headTilt;
    }
    EXPECT_EQ(flips, 4);
}

TEST_F(ControlsTest, DragonToggleSharesTheDebounce) {
    toggleClock = 1000;
    frameWithKey(10016, 'V');
    EXPECT_FALSE(c.dragonOn);
    frameWithKey(10032, 'Y'); // within 250 ms of the V flip
    EXPECT_FALSE(c.headTilt);
    frameWithKey(10300, 'V');
    EXPECT_TRUE(c.dragonOn);
}

TEST_F(ControlsTest, StatusTextIsDrawnForASecondAfterAFlip) {
    toggleClock = 1000;
    frameWithKey(10016, 'Y');
    printer.lines.clear();
    c.processControlsAt(10500, &printer);
    c.processControlsAt(11000, &printer); // 984 ms after the flip
    ASSERT_EQ(printer.lines.size(), 2u);
    EXPECT_EQ(printer.lines[1], "200,430:HEADTILT ON");
    c.processControlsAt(11020, &printer); // a second is over: no longer drawn
    EXPECT_EQ(printer.lines.size(), 2u);
}

TEST_F(ControlsTest, QRequestsAStatusRefresh) {
    frameWithKey(10016, 'Q');
    EXPECT_TRUE(c.statusRefresh);
}

TEST_F(ControlsTest, KeyCodesAbove255AreIgnored) {
    c.setKeyDown(256 + 'G', true);
    c.processControlsAt(10016, &printer);
    EXPECT_EQ(c.viewPoint, kViewCycle);
}

TEST(ViewPointNames, AsShownOnTheStatusLine) {
    EXPECT_STREQ(viewPointName(20), "Freqency Bars");
    EXPECT_STREQ(viewPointName(25), "Cycle Through View Points");
    EXPECT_STREQ(viewPointName(7), "Cycle Through View Points");
}

} // namespace
