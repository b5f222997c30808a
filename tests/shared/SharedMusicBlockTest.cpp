#include "shared/musicblock/CSharedMusicBlock.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <future>
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

// The name of the block's shared-memory object, as a third process would find it.
std::string blockObjectName() {
    const char* ns = std::getenv("TONECREST_SHM_NAMESPACE");
    return std::string("/") + (ns ? ns : "") + CSharedMusicBlock::kMappingName;
}

// Runs body in a separate process (the damage done by a third party) and waits for it.
template <class Body> int inOtherProcess(Body body) {
    pid_t pid = fork();
    if (pid == 0) {
        _exit(body() ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A writer process that writes one title and holds the block until release() or destruction.
class HeldWriter {
  public:
    explicit HeldWriter(const char* title) {
        if (pipe(release_) != 0 || pipe(ready_) != 0) {
            return;
        }
        pid = fork();
        if (pid == 0) {
            close(release_[1]);
            CSharedMusicBlock writer;
            Levels l = levelsOf(static_cast<unsigned char>(title[0]));
            char t[200];
            titleOf(title, t);
            bool ok = writer.Create() && writer.Write(&l, t);
            (void)!write(ready_[1], ok ? "y" : "n", 1);
            char go;
            (void)!read(release_[0], &go, 1);
            _exit(ok ? 0 : 1);
        }
        close(release_[0]);
        close(ready_[1]);
        char answer = 'n';
        started = read(ready_[0], &answer, 1) == 1 && answer == 'y';
        close(ready_[0]);
    }
    ~HeldWriter() { release(); }
    void release() {
        if (pid > 0) {
            close(release_[1]);
            waitpid(pid, nullptr, 0);
            pid = -1;
        }
    }
    bool started = false;

  private:
    pid_t pid = -1;
    int release_[2] = {-1, -1};
    int ready_[2] = {-1, -1};
};

// Reads the way the game does (a failed read opens and reads once more) until the title is
// the one expected or tries run out.
bool readsTitle(CSharedMusicBlock& reader, const char* expected, int tries = 20) {
    unsigned char spectrum[2][1024];
    char title[200] = {};
    for (int i = 0; i < tries; ++i) {
        if (!reader.Read(spectrum, title)) {
            reader.Open();
            reader.Read(spectrum, title);
        }
        if (std::strcmp(title, expected) == 0) {
            return true;
        }
    }
    return false;
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

TEST_F(SharedMusicBlockTest, AReaderSurvivesTheBlockBeingCutShortByAnotherProcess) {
    HeldWriter writer("Before");
    ASSERT_TRUE(writer.started);
    CSharedMusicBlock reader;
    ASSERT_TRUE(reader.Open());
    ASSERT_TRUE(readsTitle(reader, "Before"));
    const std::string name = blockObjectName();
    // Below its layout, then to nothing: the pages past the end would fault on a plain copy.
    for (off_t size : {off_t{100}, off_t{0}}) {
        SCOPED_TRACE(size);
        ASSERT_EQ(inOtherProcess([&] {
                      int fd = shm_open(name.c_str(), O_RDWR, 0);
                      return fd >= 0 && ftruncate(fd, size) == 0;
                  }),
                  0);
        unsigned char spectrum[2][1024];
        char title[200];
        std::memset(spectrum, 0x5A, sizeof spectrum);
        std::memset(title, 'q', sizeof title);
        EXPECT_FALSE(reader.Read(spectrum, title));
        EXPECT_FALSE(reader.isOpened());
        EXPECT_EQ(spectrum[1][1023], 0x5A);
        EXPECT_EQ(title[0], 'q');
        // While it stays too small there is no block to open.
        EXPECT_FALSE(reader.Open());
        EXPECT_FALSE(reader.Read(spectrum, title));
    }
    // A new writer makes the block whole again and the reader takes it up.
    HeldWriter again("After");
    ASSERT_TRUE(again.started);
    EXPECT_TRUE(readsTitle(reader, "After"));
}

TEST_F(SharedMusicBlockTest, AWriterSurvivesTheBlockBeingCutShortOrRemovedAndMakesItWholeAgain) {
    CSharedMusicBlock reader;
    const std::string name = blockObjectName();
    // Cut short, cut to nothing, and removed from under the writer by another process: each
    // write after it lands in a whole block that readers find. Stores into the old pages would
    // end the writer with SIGBUS, so the writer runs in a process of its own.
    EXPECT_EQ(inWriterProcess([&](CSharedMusicBlock& writer) {
                  char t[200];
                  Levels l = levelsOf(3);
                  titleOf("Before", t);
                  if (!writer.Write(&l, t) || !reader.Open() || !readsTitle(reader, "Before")) {
                      return false;
                  }
                  const char* titles[] = {"Shrunk", "Emptied", "Renamed"};
                  for (int round = 0; round < 3; ++round) {
                      bool damaged =
                          inOtherProcess([&] {
                              int fd = shm_open(name.c_str(), O_RDWR, 0);
                              return round == 2 ? shm_unlink(name.c_str()) == 0
                                                : fd >= 0 && ftruncate(fd, round ? 0 : 100) == 0;
                          }) == 0;
                      titleOf(titles[round], t);
                      if (!damaged || !writer.Write(&l, t) || !writer.isCreated()) {
                          return false;
                      }
                      CSharedMusicBlock fresh;
                      if (!readsTitle(reader, titles[round]) || !fresh.Open() ||
                          !readsTitle(fresh, titles[round])) {
                          return false;
                      }
                  }
                  return true;
              }),
              0);
}

TEST_F(SharedMusicBlockTest, AReaderFindsTheNewBlockWhenTheNameWasRemoved) {
    CSharedMusicBlock reader;
    {
        HeldWriter first("One");
        ASSERT_TRUE(first.started);
        ASSERT_TRUE(reader.Open());
        ASSERT_TRUE(readsTitle(reader, "One"));
        const std::string name = blockObjectName();
        ASSERT_EQ(inOtherProcess([&] { return shm_unlink(name.c_str()) == 0; }), 0);
    }
    // The reader alone holds the old object now; the restarted writer makes a new one.
    HeldWriter second("Two");
    ASSERT_TRUE(second.started);
    EXPECT_TRUE(readsTitle(reader, "Two"));
    // And the reader's letting go of the old object leaves the new name in place.
    CSharedMusicBlock other;
    EXPECT_TRUE(other.Open());
    EXPECT_TRUE(readsTitle(other, "Two"));
}

TEST_F(SharedMusicBlockTest, OpenAndCreateNeverWaitForALockHeldElsewhere) {
    // Another process makes the object and keeps its lock exclusively.
    const std::string name = blockObjectName();
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t holder = fork();
    if (holder == 0) {
        int fd = shm_open(name.c_str(), O_RDWR | O_CREAT, 0600);
        bool ok = fd >= 0 && ftruncate(fd, CSharedMusicBlock::kBlockBytes) == 0 &&
                  flock(fd, LOCK_EX) == 0;
        (void)!write(ready[1], ok ? "y" : "n", 1);
        for (;;) {
            pause();
        }
    }
    char answer = 'n';
    ASSERT_EQ(read(ready[0], &answer, 1), 1);
    ASSERT_EQ(answer, 'y');

    auto opened = std::async(std::launch::async, [] {
        CSharedMusicBlock reader;
        return reader.Open();
    });
    auto created = std::async(std::launch::async, [] {
        CSharedMusicBlock writer;
        return writer.Create();
    });
    bool openReturned = opened.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
    bool createReturned = created.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
    // Letting the holder go frees a call that waits, so that the test can end either way.
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    EXPECT_TRUE(openReturned);
    EXPECT_TRUE(createReturned);
    EXPECT_FALSE(opened.get());
    EXPECT_FALSE(created.get());

    // With the lock free the block works as before.
    CSharedMusicBlock writer, reader;
    ASSERT_TRUE(writer.Create());
    EXPECT_TRUE(reader.Open());
}

} // namespace
