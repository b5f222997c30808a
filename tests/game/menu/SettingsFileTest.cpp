// "Settings.dat": defaults when it is missing or empty, short files, the stored knob ends and
// values a ride could not survive.
#include "game/menu/SettingsFile.h"
#include "game/menu/FlashGuardFile.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <limits>
#include <string>

namespace {

std::string bytesOf(int32_t view, int32_t dragon, int32_t tilt, float smoothing, float speed,
                    int32_t reserved = 0) {
    unsigned char b[24] = {};
    int32_t ints[4] = {reserved, view, dragon, tilt};
    std::memcpy(b, ints, sizeof ints); // little-endian on this machine, as the file is
    std::memcpy(b + 16, &smoothing, 4);
    std::memcpy(b + 20, &speed, 4);
    return std::string(reinterpret_cast<const char*>(b), 24);
}

class SettingsFileTest : public ::testing::Test {
  protected:
    std::string path() { return scratch.file("Settings.dat"); }
    RideSettings loaded(bool expectedResult = true) {
        RideSettings s{};
        EXPECT_EQ(settingsfile::load(path().c_str(), s), expectedResult);
        return s;
    }
    testsupport::ScratchDir scratch;
};

TEST_F(SettingsFileTest, MissingOrEmptyFileGivesTheDefaults) {
    for (int round = 0; round < 2; ++round) {
        RideSettings s = loaded(false);
        EXPECT_EQ(s.viewPoint, 25);
        EXPECT_TRUE(s.dragonOn);
        EXPECT_FALSE(s.headTilt);
        EXPECT_EQ(s.smoothing, 0.75f);
        EXPECT_EQ(s.speed, 0.5f);
        EXPECT_TRUE(s.speedChanged);
        testsupport::writeFile(path(), "");
    }
}

TEST_F(SettingsFileTest, DefaultsWrittenAndReadBackAsTwentyFourBytes) {
    ASSERT_TRUE(settingsfile::save(path().c_str(), settingsfile::defaults()));
    std::string bytes = testsupport::readFile(path());
    ASSERT_EQ(bytes.size(), 24u);
    EXPECT_EQ(bytes, bytesOf(25, 1, 0, 0.75f, 0.5f));
    RideSettings s = loaded();
    EXPECT_EQ(s.viewPoint, 25);
    EXPECT_TRUE(s.dragonOn);
    EXPECT_EQ(s.smoothing, 0.75f);
}

TEST_F(SettingsFileTest, AnyNonZeroFlagIsOnAndIsWrittenBackAsOne) {
    testsupport::writeFile(path(), bytesOf(4, 5, -2, 0.3f, 0.9f, 12345)); // reserved ignored
    RideSettings s = loaded();
    EXPECT_EQ(s.viewPoint, 4);
    EXPECT_TRUE(s.dragonOn);
    EXPECT_TRUE(s.headTilt);
    EXPECT_EQ(s.smoothing, 0.3f);
    EXPECT_EQ(s.speed, 0.9f);
    ASSERT_TRUE(settingsfile::save(path().c_str(), s));
    std::string bytes = testsupport::readFile(path());
    EXPECT_EQ(bytes, bytesOf(4, 1, 1, 0.3f, 0.9f));
}

TEST_F(SettingsFileTest, KnobEndsAndUnknownViewPointsAreKeptAsStored) {
    testsupport::writeFile(path(), bytesOf(99, 0, 0, settingsfile::kKnobMax, 0.0f));
    RideSettings s = loaded();
    EXPECT_EQ(s.viewPoint, 99);
    EXPECT_FALSE(s.dragonOn);
    EXPECT_EQ(s.smoothing, 1.00224f);
    EXPECT_EQ(s.speed, 0.0f);
    ASSERT_TRUE(settingsfile::save(path().c_str(), s));
    EXPECT_EQ(testsupport::readFile(path()).substr(16, 4),
              bytesOf(0, 0, 0, 1.00224f, 0).substr(16, 4));
}

TEST_F(SettingsFileTest, ShortFileKeepsLaterDefaultsAndReadsMissingFlagsAsOff) {
    std::string full = bytesOf(21, 1, 1, 0.2f, 0.1f);
    testsupport::writeFile(path(), full.substr(0, 10)); // view point whole, dragon cut
    RideSettings s = loaded();
    EXPECT_EQ(s.viewPoint, 21);
    EXPECT_FALSE(s.dragonOn);
    EXPECT_FALSE(s.headTilt);
    EXPECT_EQ(s.smoothing, 0.75f);
    EXPECT_EQ(s.speed, 0.5f);

    testsupport::writeFile(path(), full.substr(0, 20)); // everything but the speed
    s = loaded();
    EXPECT_TRUE(s.dragonOn);
    EXPECT_TRUE(s.headTilt);
    EXPECT_EQ(s.smoothing, 0.2f);
    EXPECT_EQ(s.speed, 0.5f);

    testsupport::writeFile(path(), full.substr(0, 3)); // not even the reserved word
    s = loaded();
    EXPECT_EQ(s.viewPoint, 25);
    EXPECT_FALSE(s.dragonOn);
}

TEST_F(SettingsFileTest, ValuesThatWouldWreckTheRideAreBroughtIntoTheKnobsRange) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float stored, smoothing, speed;
    } cases[] = {{50.0f, 1.00224f, 1.00224f},
                 {-3.0f, 0.0f, 0.0f},
                 {inf, 1.00224f, 1.00224f},
                 {-inf, 0.0f, 0.0f},
                 {nan, 0.75f, 0.5f}};
    for (const Case& c : cases) {
        testsupport::writeFile(path(), bytesOf(25, 1, 0, c.stored, c.stored));
        RideSettings s = loaded();
        EXPECT_EQ(s.smoothing, c.smoothing) << c.stored;
        EXPECT_EQ(s.speed, c.speed) << c.stored;
    }
}

TEST_F(SettingsFileTest, UnwritablePlaceFailsAndLeavesNothing) {
    std::string dir = scratch.file("no/such/folder/Settings.dat");
    EXPECT_FALSE(settingsfile::save(dir.c_str(), settingsfile::defaults()));
}

TEST_F(SettingsFileTest, AWriteThatFailsMidwayLeavesTheOldFileWhole) {
    RideSettings old = settingsfile::defaults();
    old.viewPoint = 31;
    ASSERT_TRUE(settingsfile::save(path().c_str(), old));
    std::string before = testsupport::readFile(path());
    ASSERT_EQ(before.size(), 24u);
    RideSettings changed = old;
    changed.viewPoint = 27;
    changed.speed = 0.9f;
    // A disk that fills after 10 bytes: the save fails, and says so, without harm.
    EXPECT_EQ(testsupport::inChildWithFileSizeLimit(
                  10, [&] { return settingsfile::save(path().c_str(), changed); }),
              1);
    EXPECT_EQ(testsupport::readFile(path()), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.path()),
                            std::filesystem::directory_iterator()),
              1); // no temporary file left behind
    ASSERT_TRUE(settingsfile::save(path().c_str(), changed));
    EXPECT_EQ(loaded().viewPoint, 27);
}

} // namespace

// "FlashGuard.ini" beside it: on unless it says off, written whole through a temporary file.
TEST_F(SettingsFileTest, FlashGuardSwitchIsOnUnlessTheFileSaysOff) {
    const std::string guard = scratch.file(flashguardfile::kName);
    flashguardfile::State missing = flashguardfile::load(guard.c_str());
    EXPECT_FALSE(missing.exists);
    EXPECT_TRUE(missing.guardOn);
    ASSERT_TRUE(flashguardfile::save(guard.c_str(), false));
    flashguardfile::State off = flashguardfile::load(guard.c_str());
    EXPECT_TRUE(off.exists);
    EXPECT_FALSE(off.guardOn);
    EXPECT_FALSE(testsupport::fileExists(guard + ".new")); // no temporary left behind
    ASSERT_TRUE(flashguardfile::save(guard.c_str(), true));
    EXPECT_TRUE(flashguardfile::load(guard.c_str()).guardOn);
    // Edited by hand: blanks and comments are fine; an unknown value leaves the guard on.
    testsupport::writeFile(guard, "# mine\n  flash_guard = off  \n");
    EXPECT_FALSE(flashguardfile::load(guard.c_str()).guardOn);
    testsupport::writeFile(guard, "flash_guard=maybe\n");
    EXPECT_TRUE(flashguardfile::load(guard.c_str()).guardOn);
    // A folder that does not exist: a failure, and nothing else touched.
    EXPECT_FALSE(
        flashguardfile::save((scratch.path() + "/no/such/dir/FlashGuard.ini").c_str(), false));
    EXPECT_TRUE(flashguardfile::load(guard.c_str()).guardOn);
}
