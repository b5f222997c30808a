#include "shared/musicblock/CSharedMusicBlock.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Levels {
    unsigned char frequency[2][1024];
    unsigned char waveform[2][1024];
};

Levels levelsOf(unsigned char base) {
    Levels l{};
    for (int c = 0; c < 2; ++c) {
        for (int i = 0; i < 1024; ++i) {
            l.frequency[c][i] = static_cast<unsigned char>(base + c * 7 + i);
            l.waveform[c][i] = 0xEE;
        }
    }
    return l;
}

void titleOf(const char* text, char out[200]) {
    std::memset(out, 0, 200);
    std::strncpy(out, text, 199);
}

class SharedMusicBlockTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(isolation.ok()); }

    // Runs body in a child process that holds a writer block, then exits with its result.
    template <class Body> int inWriterProcess(Body body) {
        pid_t pid = fork();
        if (pid == 0) {
            CSharedMusicBlock writer;
            bool ok = writer.Create() && body(writer);
            _exit(ok ? 0 : 1);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    testsupport::ScratchDir scratch;
    testsupport::IsolatedMusicBlock isolation{scratch};
};

TEST_F(SharedMusicBlockTest, LayoutIsTheSpectrumThenTheTitle) {
    EXPECT_EQ(CSharedMusicBlock::kBlockBytes, 2248u);
    CSharedMusicBlock writer, reader;
    ASSERT_TRUE(writer.Create());
    EXPECT_TRUE(testsupport::fileExists(scratch.file("shareFilexyz123.dat")));
    Levels l = levelsOf(3);
    char title[200];
    titleOf("Song A", title);
    ASSERT_TRUE(writer.Write(&l, title));
    ASSERT_TRUE(reader.Open());
    unsigned char spectrum[2][1024];
    char got[200];
    ASSERT_TRUE(reader.Read(spectrum, got));
    EXPECT_EQ(std::memcmp(spectrum, l.frequency, 2048), 0);
    EXPECT_STREQ(got, "Song A");
}

TEST_F(SharedMusicBlockTest, OpenFailsUntilAWriterExists) {
    CSharedMusicBlock reader;
    EXPECT_FALSE(reader.Open());
    EXPECT_FALSE(reader.Open());
    EXPECT_FALSE(reader.isOpened());
    CSharedMusicBlock writer;
    ASSERT_TRUE(writer.Create());
    EXPECT_TRUE(reader.Open());
    EXPECT_TRUE(reader.isOpened());
}

TEST_F(SharedMusicBlockTest, ReadBeforeOpenLeavesTheBuffersAlone) {
    CSharedMusicBlock reader;
    unsigned char spectrum[2][1024];
    char title[200];
    std::memset(spectrum, 0x5A, sizeof spectrum);
    std::memset(title, 'q', sizeof title);
    EXPECT_FALSE(reader.Read(spectrum, title));
    for (int i = 0; i < 1024; ++i) {
        ASSERT_EQ(spectrum[1][i], 0x5A);
    }
    EXPECT_EQ(title[199], 'q');
}

TEST_F(SharedMusicBlockTest, CreateTwiceJoinsTheSameBlockAndWriteNeedsCreate) {
    CSharedMusicBlock writer;
    ASSERT_TRUE(writer.Create());
    EXPECT_TRUE(writer.Create());
    CSharedMusicBlock second;
    ASSERT_TRUE(second.Create());
    Levels l = levelsOf(9);
    char title[200];
    titleOf("shared", title);
    ASSERT_TRUE(second.Write(&l, title));
    CSharedMusicBlock reader;
    ASSERT_TRUE(reader.Open());
    unsigned char spectrum[2][1024];
    char got[200];
    reader.Read(spectrum, got);
    EXPECT_STREQ(got, "shared");
    EXPECT_FALSE(reader.Write(&l, title));
}

TEST_F(SharedMusicBlockTest, ANewBlockReadsAsZeros) {
    CSharedMusicBlock writer, reader;
    ASSERT_TRUE(writer.Create());
    ASSERT_TRUE(reader.Open());
    unsigned char spectrum[2][1024];
    char title[200];
    std::memset(spectrum, 1, sizeof spectrum);
    reader.Read(spectrum, title);
    for (int i = 0; i < 1024; ++i) {
        ASSERT_EQ(spectrum[0][i] | spectrum[1][i], 0);
    }
    EXPECT_EQ(title[0], '\0');
}

TEST_F(SharedMusicBlockTest, ReaderInAnotherProcessSurvivesWriterRestart) {
    // The reader joins while the first writer runs and keeps its view across a restart.
    int pipeToChild[2];
    ASSERT_EQ(pipe(pipeToChild), 0);
    pid_t first = fork();
    if (first == 0) {
        CSharedMusicBlock writer;
        Levels l = levelsOf(1);
        char title[200];
        titleOf("First", title);
        bool ok = writer.Create() && writer.Write(&l, title);
        char go;
        (void)!read(pipeToChild[0], &go, 1); // wait until the reader holds the block
        _exit(ok ? 0 : 1);
    }
    CSharedMusicBlock reader;
    for (int i = 0; i < 200 && !reader.Open(); ++i) {
        usleep(10000);
    }
    ASSERT_TRUE(reader.isOpened());
    unsigned char spectrum[2][1024];
    char title[200];
    for (int i = 0; i < 200; ++i) {
        reader.Read(spectrum, title);
        if (std::strcmp(title, "First") == 0) {
            break;
        }
        usleep(10000);
    }
    EXPECT_STREQ(title, "First");
    (void)!write(pipeToChild[1], "g", 1);
    int status = 0;
    waitpid(first, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);

    // The writer is gone: the last content stays.
    reader.Read(spectrum, title);
    EXPECT_STREQ(title, "First");
    EXPECT_EQ(spectrum[0][5], levelsOf(1).frequency[0][5]);

    // A new writer process finds the block the reader still holds.
    EXPECT_EQ(inWriterProcess([](CSharedMusicBlock& w) {
                  Levels l = levelsOf(100);
                  char t[200];
                  titleOf("Second", t);
                  return w.Write(&l, t);
              }),
              0);
    reader.Read(spectrum, title);
    EXPECT_STREQ(title, "Second");
    EXPECT_EQ(spectrum[1][0], levelsOf(100).frequency[1][0]);
}

TEST_F(SharedMusicBlockTest, TheBlockGoesWithItsLastHolder) {
    EXPECT_EQ(inWriterProcess([](CSharedMusicBlock& w) {
                  w.Close();
                  return true;
              }),
              0);
    CSharedMusicBlock reader;
    EXPECT_FALSE(reader.Open());
}

TEST_F(SharedMusicBlockTest, CloseClearsBothFlags) {
    CSharedMusicBlock writer;
    ASSERT_TRUE(writer.Create());
    writer.Close();
    EXPECT_FALSE(writer.isCreated());
    Levels l = levelsOf(0);
    char title[200] = {};
    EXPECT_FALSE(writer.Write(&l, title));
}

TEST_F(SharedMusicBlockTest, WorksWithoutItsBackingFile) {
    // A folder in the way of the backing file: the mapping is made all the same.
    ASSERT_EQ(mkdir(scratch.file("shareFilexyz123.dat").c_str(), 0755), 0);
    CSharedMusicBlock writer, reader;
    ASSERT_TRUE(writer.Create());
    Levels l = levelsOf(4);
    char title[200];
    titleOf("memory only", title);
    ASSERT_TRUE(writer.Write(&l, title));
    ASSERT_TRUE(reader.Open());
    unsigned char spectrum[2][1024];
    char got[200];
    ASSERT_TRUE(reader.Read(spectrum, got));
    EXPECT_STREQ(got, "memory only");
}

} // namespace
