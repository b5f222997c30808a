// What the game says when its data cannot be had: one "Exception Caught" message that names
// the file, the archive and what is wrong, and the end of the run with the failure code.
#include "game/shell/FatalError.h"
#include "game/shell/SceneDirector.h"
#include "tests/support/GLContextFixture.h"
#include "tests/support/TestPaths.h"
#include "tests/support/ZipFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// A stored entry whose bytes no longer match their checksum.
std::string damagedZip(const testsupport::ScratchDir& dir, const std::string& name) {
    const std::string payload = "PAYLOAD-0123456789-PAYLOAD";
    std::string path = dir.file("data/tcdata.d");
    EXPECT_TRUE(testsupport::writeZip(path, {{"Other.txt", "x"}, {name, payload}}, true));
    std::string bytes = testsupport::readFile(path);
    bytes[bytes.find(payload) + 9] ^= 0x55;
    testsupport::writeFile(path, bytes);
    return path;
}

class LoadFailureTest : public testsupport::GLTest {
  protected:
    void SetUp() override {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        ASSERT_TRUE(isolation.ok());
        std::filesystem::create_directory(scratch.file("data"));
    }
    // Builds the scene and draws one frame. Without a display the message box's text goes to
    // standard error, where the death test reads it.
    static void startAndDraw() {
        unsetenv("DISPLAY");
        CSceneDirector director;
        director.initialize();
        director.render(0.02f);
        std::exit(0);
    }

    testsupport::ScratchDir scratch;
    testsupport::IsolatedMusicBlock isolation{scratch};
};

using ::testing::ExitedWithCode;

TEST_F(LoadFailureTest, ADamagedPropIsAnErrorWithItsReason) {
    damagedZip(scratch, "FountainPot.dat");
    EXPECT_EXIT(startAndDraw(), ExitedWithCode(kFatalExitCode),
                "Exception Caught: Couldn't load model FountainPot.dat in the data archive "
                "data/tcdata.d is damaged: its checksum does not match");
}

TEST_F(LoadFailureTest, TheTrackTextureMessageSaysWhichFileAndWhy) {
    EXPECT_EXIT(startAndDraw(), ExitedWithCode(kFatalExitCode),
                "Exception Caught: Couldn't load track's texture: the data archive data/tcdata.d "
                "is missing");
    testsupport::writeFile(scratch.file("data/tcdata.d"), "not a zip at all");
    EXPECT_EXIT(startAndDraw(), ExitedWithCode(kFatalExitCode),
                "Exception Caught: Couldn't load track's texture: the data archive data/tcdata.d "
                "is not a zip archive");
    ASSERT_TRUE(testsupport::writeZip(scratch.file("data/tcdata.d"), {{"Other.txt", "x"}}));
    EXPECT_EXIT(startAndDraw(), ExitedWithCode(kFatalExitCode),
                "Exception Caught: Couldn't load track's texture: Exhaust.png is not in the data "
                "archive data/tcdata.d");
    damagedZip(scratch, "Exhaust.png");
    EXPECT_EXIT(startAndDraw(), ExitedWithCode(kFatalExitCode),
                "Exception Caught: Couldn't load track's texture: Exhaust.png in the data archive "
                "data/tcdata.d is damaged: its checksum does not match");
    ASSERT_TRUE(
        testsupport::writeZip(scratch.file("data/tcdata.d"),
                              {{"Exhaust.png", std::string("\xFF\xD8\xFF\xFE\x00\xFF", 6)}}));
    EXPECT_EXIT(startAndDraw(), ExitedWithCode(kFatalExitCode),
                "Exception Caught: Couldn't load track's texture: Exhaust.png: PNG signature "
                "missing");
}

} // namespace
