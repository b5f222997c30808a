// The music intake: reading the block with one reopen, the channel sums and level, and the
// 30-second rule for music that has stopped changing.
#include "game/music/MusicIntake.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Spectrum {
    unsigned char bytes[2][1024];
};

Spectrum filled(unsigned char left, unsigned char right) {
    Spectrum s;
    std::memset(s.bytes[0], left, 1024);
    std::memset(s.bytes[1], right, 1024);
    return s;
}

TEST(MusicLevel, WholeNumberFromIntegerDivisions) {
    EXPECT_EQ(sumSpectrum(filled(255, 255).bytes).level(), 255.0f);
    EXPECT_EQ(sumSpectrum(filled(255, 0).bytes).level(), 127.0f);
    EXPECT_EQ(sumSpectrum(filled(0, 0).bytes).level(), 0.0f);
    // 1023 in one band of each channel is below one step of either division.
    Spectrum s = filled(0, 0);
    for (int i = 0; i < 4; ++i) {
        s.bytes[0][i] = 255;
        s.bytes[1][i] = 255;
    }
    SpectrumSums sums = sumSpectrum(s.bytes);
    EXPECT_EQ(sums.left, 1020);
    EXPECT_EQ(sums.total(), 2040);
    EXPECT_EQ(sums.level(), 0.0f);
    // Each channel is divided on its own before the two are averaged.
    s = filled(1, 2);
    s.bytes[0][0] = 2; // left sum 1025 -> 1, right 2048 -> 2, (1 + 2) / 2 = 1
    EXPECT_EQ(sumSpectrum(s.bytes).level(), 1.0f);
}

TEST(StallDetector, RaisedOnlyAfterMoreThanThirtySeconds) {
    StallDetector stall;
    bool noMusic = false;
    stall.update(500, 0.5f, noMusic); // first frame differs from the initial 0
    EXPECT_FALSE(noMusic);
    EXPECT_EQ(stall.stallTime(), 0.0f);
    // 30 equal frames of exactly one second reach 30.0, which is not more than 30.
    for (int i = 0; i < 30; ++i) {
        stall.update(500, 1.0f, noMusic);
    }
    EXPECT_EQ(stall.stallTime(), 30.0f);
    EXPECT_FALSE(noMusic);
    stall.update(500, 0.001f, noMusic);
    EXPECT_TRUE(noMusic);
    EXPECT_EQ(stall.stallTime(), 31.0f);
    // Pinned while the total stays equal.
    stall.update(500, 5.0f, noMusic);
    EXPECT_TRUE(noMusic);
    EXPECT_EQ(stall.stallTime(), 31.0f);
    // One different total clears it at once.
    stall.update(501, 0.016f, noMusic);
    EXPECT_FALSE(noMusic);
    EXPECT_EQ(stall.stallTime(), 0.0f);
}

TEST(StallDetector, SilenceFromTheStartStallsAndDifferentSpectraWithOneTotalCountAsEqual) {
    StallDetector stall;
    bool noMusic = false;
    // A missing block reads as zeros: equal to the initial previous total.
    for (int i = 0; i < 61; ++i) {
        stall.update(0, 0.5f, noMusic);
    }
    EXPECT_TRUE(noMusic);

    StallDetector other;
    noMusic = false;
    Spectrum a = filled(3, 1);
    Spectrum b = filled(1, 3); // a different spectrum with the same total
    other.update(sumSpectrum(a.bytes).total(), 0.1f, noMusic);
    for (int i = 0; i < 40; ++i) {
        other.update(sumSpectrum((i % 2 ? a : b).bytes).total(), 1.0f, noMusic);
    }
    EXPECT_TRUE(noMusic);
}

class ReadWithReopen : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(isolation.ok()); }
    testsupport::ScratchDir scratch;
    testsupport::IsolatedMusicBlock isolation{scratch};
};

TEST_F(ReadWithReopen, KeepsTheCallersBuffersWhileNoWriterExists) {
    CSharedMusicBlock reader;
    Spectrum s = filled(9, 9);
    char title[200] = "kept";
    readMusicWithReopen(reader, s.bytes, title);
    EXPECT_EQ(s.bytes[1][1023], 9);
    EXPECT_STREQ(title, "kept");
    EXPECT_FALSE(reader.isOpened());
}

TEST_F(ReadWithReopen, OpensTheBlockOnceTheWriterHasCreatedIt) {
    CSharedMusicBlock reader;
    Spectrum s = filled(0, 0);
    char title[200] = {};
    readMusicWithReopen(reader, s.bytes, title); // not there yet

    CSharedMusicBlock writer;
    ASSERT_TRUE(writer.Create());
    Spectrum written = filled(40, 80);
    char song[200] = "Song Of The Test";
    ASSERT_TRUE(writer.Write(written.bytes, song));

    readMusicWithReopen(reader, s.bytes, title);
    EXPECT_TRUE(reader.isOpened());
    EXPECT_EQ(s.bytes[0][0], 40);
    EXPECT_EQ(s.bytes[1][1023], 80);
    EXPECT_STREQ(title, "Song Of The Test");
}

} // namespace
