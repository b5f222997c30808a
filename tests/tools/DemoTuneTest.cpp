// The demo tune: its length, its quiet and loud passages, and that the player reads it.
#include "tools/demotune/DemoTune.h"
#include "player/decode/AudioFile.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace {

double rms(const std::vector<float>& v, double from, double to, int channels, int rate) {
    size_t a = size_t(from * rate) * size_t(channels), b = size_t(to * rate) * size_t(channels);
    double sum = 0;
    for (size_t i = a; i < b && i < v.size(); ++i) {
        sum += double(v[i]) * v[i];
    }
    return std::sqrt(sum / double(b - a));
}

} // namespace

TEST(DemoTune, LoudPassagesStandWellAboveTheQuietOnesWithinFullScale) {
    std::vector<float> tune = demotune::render();
    ASSERT_EQ(tune.size(), size_t(demotune::lengthSeconds() * demotune::kRate) * 2);
    EXPECT_GE(demotune::lengthSeconds(), 60.0);
    EXPECT_LE(demotune::lengthSeconds(), 150.0);
    float peak = 0;
    for (float v : tune) {
        peak = std::max(peak, std::fabs(v));
    }
    EXPECT_LE(peak, 1.0f);
    EXPECT_GT(peak, 0.5f);

    double quietest = 1, loudQuietest = 1, quietLoudest = 0;
    for (const auto& s : demotune::sections()) {
        // Judge each passage by its middle, away from the fades at its edges.
        double a = s.start + (s.end - s.start) * 0.25, b = s.end - (s.end - s.start) * 0.25;
        double level = rms(tune, a, b, 2, demotune::kRate);
        EXPECT_GT(level, 0.003) << s.name << " is silent";
        std::printf("%-10s rms %.4f\n", s.name, level);
        quietest = std::min(quietest, level);
        if (s.loud) {
            loudQuietest = std::min(loudQuietest, level);
        } else {
            quietLoudest = std::max(quietLoudest, level);
        }
    }
    EXPECT_GT(loudQuietest, 2.5 * quietLoudest);
}

TEST(DemoTune, ThePlayerDecodesTheWrittenFileWithItsTitle) {
    testsupport::ScratchDir dir;
    std::vector<float> tune = demotune::render();
    // The first ten seconds are enough to check the file's form.
    tune.resize(size_t(10 * demotune::kRate) * 2);
    ASSERT_TRUE(demotune::writeWav(dir.file("tune.wav"), tune, demotune::kTitle));
    std::string error;
    auto file = AudioFile::load(dir.file("tune.wav"), error);
    ASSERT_TRUE(file) << error;
    EXPECT_EQ(file->title, demotune::kTitle);
    EXPECT_NEAR(double(file->samples.size()), 10.0 * AudioFile::kRate, AudioFile::kRate * 0.01);
    // The sound itself came through, not just the header.
    double written = rms(tune, 0, 10, 2, demotune::kRate);
    double decoded = rms(file->samples, 0, 10, 1, AudioFile::kRate);
    EXPECT_GT(decoded, 0.4 * written);
    EXPECT_LT(decoded, 1.6 * written);
    EXPECT_FALSE(demotune::writeWav(dir.file("no/such/folder/tune.wav"), tune, "x"));
}
