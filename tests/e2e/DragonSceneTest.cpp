// The whole scene in the running game fed by tcfeed: the dragon above the car on silence, the
// sky darkening and the bars standing tall on a loud beat; and a dragon file that lacks one of
// the strips its moves name, which ends the game with one "Exception Caught" box.
#include "game/menu/SettingsFile.h"
#include "game/shell/FatalError.h"
#include "tests/e2e/Desktop.h"
#include "tests/e2e/GameFixture.h"
#include "tests/support/TestPaths.h"
#include "tests/support/ZipFiles.h"
#include "tools/bonemodel/BoneModelWriter.h"

#include <gtest/gtest.h>
#include <unzip.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using e2e::GameE2e;

// Every entry of a zip archive, in directory order.
testsupport::ZipEntries readZip(const std::string& path) {
    testsupport::ZipEntries entries;
    unzFile zip = unzOpen(path.c_str());
    if (zip == nullptr) {
        return entries;
    }
    for (int r = unzGoToFirstFile(zip); r == UNZ_OK; r = unzGoToNextFile(zip)) {
        char name[256];
        unz_file_info info{};
        unzGetCurrentFileInfo(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0);
        std::string data(info.uncompressed_size, '\0');
        unzOpenCurrentFile(zip);
        unzReadCurrentFile(zip, data.data(), static_cast<unsigned>(data.size()));
        unzCloseCurrentFile(zip);
        entries.emplace_back(name, data);
    }
    unzClose(zip);
    return entries;
}

// Mean brightness of a band of rows, and how many pixels of a region look like the dragon's
// scales and membranes (clearly red, neither sprite-saturated nor the sky's pink).
struct Look {
    double topBrightness = 0.0;
    long dragon = 0;
    long yellow = 0; // pure yellow (the loud frequency bars): red and green, no blue
};

Look lookAt(const e2e::Picture& p) {
    Look l;
    long n = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const unsigned char* px = p.at(x, y);
            int r = px[0], g = px[1], b = px[2];
            if (y < 120) {
                l.topBrightness += (r + g + b) / 3.0;
                ++n;
            }
            bool centre = x > p.width / 5 && x < 4 * p.width / 5 && y < 2 * p.height / 3;
            if (centre && r > 70 && r < 235 && r > 2 * g && r > 2 * b) {
                ++l.dragon;
            }
            if (r > 100 && g > 100 && b < 30 && std::abs(r - g) < 50) {
                ++l.yellow;
            }
        }
    }
    l.topBrightness = n > 0 ? l.topBrightness / static_cast<double>(n) : 0.0;
    return l;
}

class DragonE2e : public GameE2e {
  protected:
    Look look(const std::string& window, const std::string& name) {
        e2e::Picture picture;
        EXPECT_TRUE(e2e::grabWindow(window, picture));
        e2e::screenshot(std::string(TC_TEST_STATE_DIR) + "/" + name + ".png");
        Look l = lookAt(picture);
        std::printf("%s: top brightness %.1f, dragon %ld, yellow %ld\n", name.c_str(),
                    l.topBrightness, l.dragon, l.yellow);
        return l;
    }
};

TEST_F(DragonE2e, TheDragonFliesAboveTheCarAndALoudBeatDarkensTheSkyAndRaisesTheBars) {
    RideSettings view = settingsfile::defaults();
    view.viewPoint = 4; // Forward Near: the dragon flies ahead of the camera
    ASSERT_TRUE(settingsfile::save(scratch.file("Settings.dat").c_str(), view));
    auto silence = feed({"silence"});
    std::string window = start();
    ASSERT_FALSE(window.empty());
    sleep(5);
    Look quiet = look(window, "e2e-dragon-silence");
    EXPECT_GT(quiet.dragon, 300) << "the dragon in the middle of the view";

    silence.reset();
    auto beat = feed({"beat"});
    sleep(6);
    // The sky darkens and lifts with the beat, and a burst or a wing may cross the top rows of
    // any one frame: the darkest of seven frames over 2.4 s tells. They are kept for people to
    // look at the loud moves, too.
    double darkestTop = look(window, "e2e-dragon-beat").topBrightness;
    for (int i = 0; i < 6; ++i) {
        usleep(400000);
        darkestTop = std::min(darkestTop,
                              look(window, "e2e-dragon-beat-" + std::to_string(i)).topBrightness);
    }
    EXPECT_LT(darkestTop, quiet.topBrightness - 20.0) << "the sky darkens";

    // Every band at full strength: every bar stands 1040 units tall, yellow and red.
    beat.reset();
    auto loud = feed({"loud"});
    e2e::pressKey(window, "a"); // Frequency Bars
    sleep(3);
    Look bars = look(window, "e2e-dragon-bars");
    EXPECT_GT(bars.yellow, 500) << "tall bars in their loud colour";
    EXPECT_EQ(quitWithEscape(window), 0);
}

TEST_F(DragonE2e, ADragonWithoutOneOfItsStripsEndsTheGameWithOneExceptionBox) {
    testsupport::ZipEntries entries = readZip(std::string(TC_DIST_DIR) + "/data/tcdata.d");
    ASSERT_GT(entries.size(), 10u);
    bonemodel::Model dragon;
    dragon.parts.resize(1);
    dragon.parts[0].vertices.resize(1);
    dragon.keyCount = 2;
    bonemodel::Strip hover;
    hover.name = "Hover";
    hover.tracks.resize(1);
    dragon.strips = {hover};
    bool replaced = false;
    for (auto& entry : entries) {
        if (entry.first == "MyBoneExportDragon.dat") {
            entry.second = bonemodel::write(dragon);
            replaced = true;
        }
    }
    ASSERT_TRUE(replaced);
    std::filesystem::remove(scratch.file("data"));
    std::filesystem::create_directory(scratch.file("data"));
    ASSERT_TRUE(testsupport::writeZip(scratch.file("data/tcdata.d"), entries));
    std::string window = start();
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(e2e::answerMessageBox("Exception Caught", true, 15000));
    EXPECT_EQ(game->waitExit(10000), kFatalExitCode);
    EXPECT_FALSE(e2e::windowExists("^Exception Caught$"));
}

} // namespace
