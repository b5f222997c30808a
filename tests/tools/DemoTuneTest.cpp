// The demo tune: its length, its quiet and loud passages, and that the player reads it.
#include "tools/demotune/DemoTune.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavformat/avformat.h>
}

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

TEST(DemoTune, TheWrittenFileIsStereoCdAudioWithItsTitleAsFfmpegReadsIt) {
    testsupport::ScratchDir dir;
    // The first ten seconds are enough to check the file's form.
    std::vector<float> tune = demotune::render(10);
    ASSERT_EQ(tune.size(), size_t(10 * demotune::kRate) * 2);
    std::string path = dir.file("tune.wav");
    ASSERT_TRUE(demotune::writeWav(path, tune, demotune::kTitle));

    AVFormatContext* format = nullptr;
    ASSERT_EQ(avformat_open_input(&format, path.c_str(), nullptr, nullptr), 0);
    ASSERT_GE(avformat_find_stream_info(format, nullptr), 0);
    ASSERT_EQ(format->nb_streams, 1u);
    const AVCodecParameters* audio = format->streams[0]->codecpar;
    EXPECT_EQ(audio->sample_rate, demotune::kRate);
    EXPECT_EQ(audio->ch_layout.nb_channels, 2);
    EXPECT_EQ(audio->codec_id, AV_CODEC_ID_PCM_S16LE);
    AVDictionaryEntry* title = av_dict_get(format->metadata, "title", nullptr, 0);
    ASSERT_NE(title, nullptr);
    EXPECT_STREQ(title->value, demotune::kTitle);
    EXPECT_NEAR(double(format->duration) / AV_TIME_BASE, 10.0, 0.01);
    avformat_close_input(&format);

    // The samples follow the header as written, rounded to 16 bits.
    std::string bytes = testsupport::readFile(path);
    ASSERT_EQ(bytes.size() % 2, 0u);
    size_t data = bytes.size() - tune.size() * 2;
    EXPECT_EQ(bytes.substr(data - 8, 4), "data");
    for (size_t i = 100000; i < 100010; ++i) {
        auto lo = uint8_t(bytes[data + 2 * i]), hi = uint8_t(bytes[data + 2 * i + 1]);
        int16_t v = int16_t(uint16_t(lo | (hi << 8)));
        EXPECT_NEAR(v / 32767.0, tune[i], 1.0 / 32767);
    }
    EXPECT_FALSE(demotune::writeWav(dir.file("no/such/folder/tune.wav"), tune, "x"));
}
