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

const std::string kBuiltArchive = std::string(TC_DIST_DIR) + "/data/tcdata.d";

// The game's own archive written to path with one entry changed: left out when content is
// empty, else replaced by it. Entries are stored, so their bytes stay as they are.
void writeArchiveWith(const std::string& path, const std::string& name,
                      const std::string& content) {
    testsupport::ZipEntries entries = testsupport::readZip(kBuiltArchive);
    ASSERT_FALSE(entries.empty()) << kBuiltArchive;
    testsupport::ZipEntries changed;
    for (auto& e : entries) {
        if (e.first != name) {
            changed.push_back(std::move(e));
        } else if (!content.empty()) {
            changed.emplace_back(name, content);
        }
    }
    ASSERT_TRUE(testsupport::writeZip(path, changed, true));
}

// The game's own archive whose entry name no longer matches its checksum.
void writeArchiveDamaging(const std::string& path, const std::string& name) {
    std::string original;
    for (auto& e : testsupport::readZip(kBuiltArchive)) {
        if (e.first == name) {
            original = e.second;
        }
    }
    ASSERT_GE(original.size(), 64u) << name;
    writeArchiveWith(path, name, original);
    std::string bytes = testsupport::readFile(path);
    // A stretch from the middle of the entry, found once, so no other entry is touched.
    const std::string stretch = original.substr(original.size() / 2, 64);
    size_t at = bytes.find(stretch);
    ASSERT_NE(at, std::string::npos);
    ASSERT_EQ(bytes.find(stretch, at + 1), std::string::npos) << name;
    bytes[at + 9] ^= 0x55;
    testsupport::writeFile(path, bytes);
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
    writeArchiveDamaging(scratch.file("data/tcdata.d"), "FountainPot.dat");
    EXPECT_EXIT(startAndDraw(), ExitedWithCode(kFatalExitCode),
                "Exception Caught: Couldn't load model FountainPot.dat in the data archive "
                "data/tcdata.d is damaged: its checksum does not match");
}

TEST_F(LoadFailureTest, AMissingOrForeignArchiveIsNamedByTheFirstLoad) {
    EXPECT_EXIT(startAndDraw(), ExitedWithCode(kFatalExitCode),
                "Exception Caught: .*Couldn't load .*: the data archive "
                "data/tcdata.d is missing");
    testsupport::writeFile(scratch.file("data/tcdata.d"), "not a zip at all");
    EXPECT_EXIT(startAndDraw(), ExitedWithCode(kFatalExitCode),
                "Exception Caught: .*Couldn't load .*: the data archive "
                "data/tcdata.d is not a zip archive");
}

TEST_F(LoadFailureTest, TheTrackTextureMessageSaysWhichFileAndWhy) {
    const std::string archive = scratch.file("data/tcdata.d");
    writeArchiveWith(archive, "Exhaust.png", "");
    EXPECT_EXIT(startAndDraw(), ExitedWithCode(kFatalExitCode),
                "Exception Caught: Couldn't load track's texture: Exhaust.png is not in the data "
                "archive data/tcdata.d");
    writeArchiveDamaging(archive, "Exhaust.png");
    EXPECT_EXIT(startAndDraw(), ExitedWithCode(kFatalExitCode),
                "Exception Caught: Couldn't load track's texture: Exhaust.png in the data archive "
                "data/tcdata.d is damaged: its checksum does not match");
    writeArchiveWith(archive, "Exhaust.png", std::string("\xFF\xD8\xFF\xFE\x00\xFF", 6));
    EXPECT_EXIT(startAndDraw(), ExitedWithCode(kFatalExitCode),
                "Exception Caught: Couldn't load track's texture: Exhaust.png: PNG signature "
                "missing");
}

TEST_F(LoadFailureTest, AWorldTextureMessageSaysWhichFileAndWhy) {
    writeArchiveWith(scratch.file("data/tcdata.d"), "flame6.png", "");
    EXPECT_EXIT(startAndDraw(), ExitedWithCode(kFatalExitCode),
                "Exception Caught: CParticleSystem: Couldn't load bmp texture: flame6.png is not "
                "in the data archive data/tcdata.d");
}

} // namespace
