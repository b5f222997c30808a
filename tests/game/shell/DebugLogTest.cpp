#include "game/shell/debug/DebugLog.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

TEST(DebugLog, EveryStartRewritesTheFile) {
    testsupport::ScratchDir dir;
    std::string path = dir.file("TestThis.txt");
    testsupport::writeFile(path, "old run line\nanother old line\n");
    {
        CDebugLog log(path.c_str());
        ASSERT_TRUE(log.isOpen());
        log << " GL_RENDERER = "
            << "test renderer" << std::endl;
        // std::endl flushes: the line is on disk while the log is still open.
        EXPECT_EQ(testsupport::readFile(path), " GL_RENDERER = test renderer\n");
    }
    EXPECT_EQ(testsupport::readFile(path), " GL_RENDERER = test renderer\n");
}

TEST(DebugLog, AnUnwritableLogSaysSoAndDropsWhatIsWritten) {
    testsupport::ScratchDir dir;
    std::string path = dir.file("TestThis.txt");
    ASSERT_EQ(mkdir(path.c_str(), 0755), 0); // a folder where the file should go
    testing::internal::CaptureStdout();
    CDebugLog log(path.c_str());
    std::string said = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(log.isOpen());
    EXPECT_EQ(said, "*Error in debug.h, openLogFile(): \n--Can't Open File\n");
    log << "ignored" << 42 << std::endl; // must not throw or crash
    EXPECT_FALSE(log.openLogFile());
}

} // namespace
