// The real Tonecrest binary on the test display: start-up, its log and registry value, and
// the ways out.
#include "game/shell/FatalError.h"
#include "platform/registry/Registry.h"
#include "tests/e2e/Desktop.h"
#include "tests/e2e/GameFixture.h"
#include "tests/support/TestPaths.h"
#include "tests/support/ZipFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>

namespace {

using e2e::GameE2e;
using e2e::kGameWindow;

const char* const kInstallKey = "SOFTWARE\\Brightfold Software\\Tonecrest 2.0";

TEST_F(GameE2e, StartsDrawsAndLogsItsRenderer) {
    testsupport::writeFile(scratch.file("TestThis.txt"), "a line of an earlier run\n");
    std::string window = start();
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(e2e::waitForFileText(scratch.file("TestThis.txt"), " GL_RENDERER = ", 10000));
    std::string log = testsupport::readFile(scratch.file("TestThis.txt"));
    EXPECT_EQ(log.rfind(" GL_RENDERER = ", 0), 0u) << log;
    EXPECT_EQ(log.find("earlier run"), std::string::npos);
    EXPECT_EQ(log.back(), '\n');
    EXPECT_EQ(e2e::xdotool("getwindowgeometry " + window).find("Geometry: 800x600") !=
                  std::string::npos,
              true);
    e2e::screenshot(std::string(TC_TEST_STATE_DIR) + "/e2e-start.png");
    EXPECT_TRUE(game->running());
    EXPECT_EQ(quitWithEscape(window), 0);
}

TEST_F(GameE2e, WritesExePathWhenTheKeyExists) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    std::string window = start({"wmp"});
    ASSERT_FALSE(window.empty());
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInstallKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    char value[400] = {};
    DWORD size = sizeof value;
    DWORD type = 0;
    ASSERT_EQ(
        RegQueryValueExA(key, "ExePath", nullptr, &type, reinterpret_cast<BYTE*>(value), &size),
        ERROR_SUCCESS);
    RegCloseKey(key);
    std::string expected = std::filesystem::canonical(scratch.path()).string();
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(std::string(value), expected);
    EXPECT_EQ(size, expected.size() + 1); // stored with its NUL
    EXPECT_EQ(quitWithEscape(window), 0);
}

TEST_F(GameE2e, CreatesNothingWhenTheKeyIsMissing) {
    std::string window = start();
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(e2e::waitForFileText(scratch.file("TestThis.txt"), "GL_RENDERER", 10000));
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(quitWithEscape(window), 0);
}

TEST_F(GameE2e, EscapeAsksNoKeepsRunningYesEnds) {
    std::string window = start();
    ASSERT_FALSE(window.empty());
    e2e::pressKey(window, "Escape");
    ASSERT_TRUE(e2e::answerMessageBox("Tone Crest", false, 20000));
    usleep(800000);
    EXPECT_TRUE(game->running());
    EXPECT_FALSE(e2e::windowExists("^Tone Crest$")); // not asked again without a new Escape
    EXPECT_EQ(quitWithEscape(window), 0);
}

TEST_F(GameE2e, ClosingTheWindowAsksTheSameQuestion) {
    std::string window = start();
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(e2e::requestClose(window));
    ASSERT_TRUE(e2e::answerMessageBox("Tone Crest", false));
    usleep(500000);
    EXPECT_TRUE(game->running());
    EXPECT_TRUE(e2e::windowExists(kGameWindow));
    ASSERT_TRUE(e2e::requestClose(window));
    ASSERT_TRUE(e2e::answerMessageBox("Tone Crest", true));
    EXPECT_EQ(game->waitExit(10000), 0);
}

TEST_F(GameE2e, RunsWithoutItsLogWhenTheFileCannotBeWritten) {
    ASSERT_EQ(mkdir(scratch.file("TestThis.txt").c_str(), 0755), 0);
    std::string window = start();
    ASSERT_FALSE(window.empty());
    EXPECT_TRUE(e2e::waitForFileText(scratch.file("stdout.txt"), "Can't Open File", 5000));
    EXPECT_EQ(quitWithEscape(window), 0);
}

TEST_F(GameE2e, DamagedModelEndsTheGameWithOneExceptionBox) {
    // An archive whose fountain pot is not a bone model.
    std::filesystem::remove(scratch.file("data"));
    std::filesystem::create_directory(scratch.file("data"));
    ASSERT_TRUE(testsupport::writeZip(scratch.file("data/tcdata.d"),
                                      {{"FountainPot.dat", std::string("\x07\0\0\0broken", 10)}}));
    std::string window = start();
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(e2e::answerMessageBox("Exception Caught", true, 10000));
    EXPECT_EQ(game->waitExit(10000), kFatalExitCode);
    EXPECT_FALSE(e2e::windowExists("^Exception Caught$"));
}

// No display at all, or one that refuses us: the game must not run on unseen. It says it
// cannot open a window and ends with a failure code.
TEST_F(GameE2e, WithoutADisplayItSaysSoAndFails) {
    for (const char* display : {"", ":97"}) {
        SCOPED_TRACE(std::string("DISPLAY=") + display);
        env["DISPLAY"] = display;
        env["WAYLAND_DISPLAY"] = "";
        env["XDG_RUNTIME_DIR"] = scratch.path();
        env["SDL_VIDEODRIVER"] = "";
        game = std::make_unique<e2e::Program>(std::string(TC_DIST_DIR) + "/Tonecrest",
                                              std::vector<std::string>{}, scratch.path(), env);
        int code = game->waitExit(15000);
        std::string output = testsupport::readFile(scratch.file("stdout.txt"));
        EXPECT_NE(code, -1000) << "still running unseen\n" << output;
        EXPECT_NE(code, 0) << output;
        EXPECT_NE(output.find("Cannot open a window"), std::string::npos) << output;
        EXPECT_NE(output.find("Error Creating OpenGL Window"), std::string::npos) << output;
        game.reset();
    }
}

} // namespace
