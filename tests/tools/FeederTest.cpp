// What tcfeed plays: the made-up patterns, and a music file decoded and analysed the way the
// player's spectrum is.
#include "shared/musicblock/CSharedMusicBlock.h"
#include "tests/support/TestPaths.h"
#include "tools/feeder/FileSpectrum.h"
#include "tools/feeder/Patterns.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

const double kPi = 3.14159265358979323846;

// Band b holds FFT bin b: 21.5 Hz per band.
double bandOf(double hz) {
    return hz / (22050.0 / 1024.0);
}

struct Spectrum {
    unsigned char bands[2][1024];
    int peak(int channel = 0) const {
        return static_cast<int>(std::max_element(bands[channel], bands[channel] + 1024) -
                                bands[channel]);
    }
};

Spectrum patternAt(feeder::Pattern p, double t) {
    Spectrum s{};
    feeder::fill(p, t, s.bands);
    return s;
}

std::vector<float> sine(double hz, double amplitude, int count, int rate = 44100) {
    std::vector<float> v(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        v[static_cast<size_t>(i)] =
            static_cast<float>(amplitude * std::sin(2 * kPi * hz * i / rate));
    }
    return v;
}

void put16(std::string& s, uint32_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& s, uint32_t v) {
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

// A 16-bit mono WAV file with a title in its INFO list.
std::string wavFile(const std::vector<float>& samples, int rate, const std::string& title) {
    std::string info = "INFO";
    std::string name = title + '\0';
    if (name.size() % 2) {
        name += '\0';
    }
    info += "INAM";
    put32(info, static_cast<uint32_t>(name.size()));
    info += name;
    std::string data;
    for (float f : samples) {
        put16(data, static_cast<uint16_t>(static_cast<int16_t>(std::lround(f * 32767.0))));
    }
    std::string body = "WAVEfmt ";
    put32(body, 16);
    put16(body, 1); // PCM
    put16(body, 1); // mono
    put32(body, static_cast<uint32_t>(rate));
    put32(body, static_cast<uint32_t>(rate * 2));
    put16(body, 2);
    put16(body, 16);
    body += "LIST";
    put32(body, static_cast<uint32_t>(info.size()));
    body += info;
    body += "data";
    put32(body, static_cast<uint32_t>(data.size()));
    body += data;
    std::string file = "RIFF";
    put32(file, static_cast<uint32_t>(body.size()));
    return file + body;
}

TEST(FeederPatterns, NamesSilenceAndLoud) {
    feeder::Pattern p;
    EXPECT_TRUE(feeder::parsePattern("beat", p));
    EXPECT_EQ(p, feeder::Pattern::Beat);
    EXPECT_FALSE(feeder::parsePattern("Beat", p));
    EXPECT_FALSE(feeder::parsePattern("", p));
    Spectrum quiet = patternAt(feeder::Pattern::Silence, 3.0);
    Spectrum loud = patternAt(feeder::Pattern::Loud, 3.0);
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(*std::max_element(quiet.bands[c], quiet.bands[c] + 1024), 0);
        EXPECT_EQ(*std::min_element(loud.bands[c], loud.bands[c] + 1024), 255);
    }
}

TEST(FeederPatterns, BeatPulsesTwiceASecondFromTheBassAndSweepMovesItsPeak) {
    Spectrum onBeat = patternAt(feeder::Pattern::Beat, 1.0);
    Spectrum between = patternAt(feeder::Pattern::Beat, 1.4);
    Spectrum nextBeat = patternAt(feeder::Pattern::Beat, 1.5);
    EXPECT_GT(onBeat.bands[0][10], 200);
    EXPECT_LT(between.bands[0][10], 100);
    EXPECT_NEAR(nextBeat.bands[0][10], onBeat.bands[0][10], 25);
    EXPECT_GT(onBeat.bands[1][10], onBeat.bands[1][1000]); // bass strongest
    // The top of the peak is a few bands of 255 wide; peak() finds its lower edge.
    EXPECT_NEAR(patternAt(feeder::Pattern::Sweep, 1.0).peak(), 256, 4);
    EXPECT_NEAR(patternAt(feeder::Pattern::Sweep, 3.0).peak(1), 767, 4);
    EXPECT_GE(patternAt(feeder::Pattern::Sweep, 3.0).bands[0][0], 30); // the quiet floor
}

TEST(FeederPatterns, StrobeAlternatesALoudBeatAndSilenceAtItsRate) {
    feeder::Pattern p;
    ASSERT_TRUE(feeder::parsePattern("strobe", p));
    EXPECT_EQ(p, feeder::Pattern::Strobe);
    // 6 Hz unless told: on for the first twelfth of a second, silent for the next.
    auto at = [](double t, double hz) {
        Spectrum s{};
        feeder::fill(feeder::Pattern::Strobe, t, s.bands, hz);
        return s;
    };
    Spectrum defaultRate{};
    feeder::fill(feeder::Pattern::Strobe, 0.1, defaultRate.bands);
    EXPECT_EQ(defaultRate.bands[0][0], 0);
    int changes = 0;
    bool was = at(0.5 / 60.0, 6.0).bands[0][0] > 0;
    for (int i = 1; i < 600; ++i) { // ten seconds at 60 frames a second
        bool on = at((i + 0.5) / 60.0, 6.0).bands[0][0] > 0;
        changes += on != was ? 1 : 0;
        was = on;
    }
    EXPECT_EQ(changes, 119);
    Spectrum beat = at(0.01, 10.0), silence = at(0.06, 10.0);
    EXPECT_EQ(beat.bands[0][0], 255);
    EXPECT_EQ(beat.bands[1][1023], 128);
    EXPECT_EQ(*std::max_element(silence.bands[0], silence.bands[0] + 1024), 0);
}

TEST(SpectrumAnalyzerTest, FullScaleSinePeaksInItsBandAtItsLevel) {
    SpectrumAnalyzer analyzer;
    unsigned char out[1024];
    std::vector<float> tone = sine(1000.0, 1.0, 2048);
    analyzer.analyse(tone.data(), 2048, out);
    int peak = static_cast<int>(std::max_element(out, out + 1024) - out);
    EXPECT_NEAR(peak, bandOf(1000.0), 1.0);
    // 0 dB, less the 1.2 dB the Hann window loses 0.44 of a band off the band's centre.
    EXPECT_NEAR(out[peak], SpectrumAnalyzer::levelOf(-1.2), 2);
    EXPECT_LT(out[600], out[peak] / 2);
    // Below the top of the range, half the amplitude is 6 dB down: a fifteenth of 90 dB.
    std::vector<float> low = sine(1000.0, 0.1, 2048), half = sine(1000.0, 0.05, 2048);
    unsigned char louder[1024], quieter[1024];
    analyzer.analyse(low.data(), 2048, louder);
    analyzer.analyse(half.data(), 2048, quieter);
    EXPECT_NEAR(louder[peak] - quieter[peak], 255.0 * 6.02 / 90.0, 3.0);
    // Silence, and a window with no samples at all.
    std::vector<float> none(2048, 0.0f);
    analyzer.analyse(none.data(), 2048, out);
    EXPECT_EQ(*std::max_element(out, out + 1024), 0);
    analyzer.analyse(tone.data(), 0, out);
    EXPECT_EQ(*std::max_element(out, out + 1024), 0);
}

class FileSpectrumTest : public ::testing::Test {
  protected:
    testsupport::ScratchDir dir;
};

TEST_F(FileSpectrumTest, SongIsResampledAnalysedAndEnds) {
    // One second of 880 Hz at 22.05 kHz.
    std::string path = dir.file("song.wav");
    testsupport::writeFile(path, wavFile(sine(880.0, 0.9, 22050, 22050), 22050, "Test Tone"));
    std::string error;
    auto audio = AudioDecoder::open(path, error);
    ASSERT_NE(audio, nullptr) << error;
    std::vector<float> frames(2 * 50000);
    EXPECT_NEAR(static_cast<double>(audio->read(frames.data(), 50000)), 44100.0, 200.0);
    EXPECT_EQ(audio->read(frames.data(), 50000), 0);
    EXPECT_EQ(audio->info().title, "Test Tone");

    auto song = feeder::FileSpectrum::open(path, error);
    ASSERT_NE(song, nullptr) << error;
    EXPECT_EQ(song->title(), "Test Tone");
    Spectrum s{};
    ASSERT_TRUE(song->spectrumAt(0.5, s.bands));
    EXPECT_NEAR(s.peak(0), bandOf(880.0), 1.0);
    EXPECT_EQ(s.peak(1), s.peak(0));
    EXPECT_FALSE(song->spectrumAt(1.5, s.bands));
}

TEST_F(FileSpectrumTest, FilesWithoutAudioAreRefusedWithAReason) {
    std::string error;
    EXPECT_EQ(feeder::FileSpectrum::open(dir.file("missing.mp3"), error), nullptr);
    EXPECT_FALSE(error.empty());
    testsupport::writeFile(dir.file("notes.txt"), "these are not the notes you are looking for");
    error.clear();
    EXPECT_EQ(AudioDecoder::open(dir.file("notes.txt"), error), nullptr);
    EXPECT_FALSE(error.empty());
}

} // namespace

namespace {

// Reads the block as the game does until its title is the one expected, for up to two seconds.
bool blockShows(CSharedMusicBlock& reader, const char* title) {
    unsigned char spectrum[2][1024];
    char got[200] = {};
    for (int i = 0; i < 40; ++i) {
        if (reader.Read(spectrum, got) || (reader.Open() && reader.Read(spectrum, got))) {
            if (std::strcmp(got, title) == 0) {
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

TEST(FeederProgram, SurvivesTheBlockBeingCutToNothingAndMakesItWholeAgain) {
    testsupport::ScratchDir dir;
    testsupport::IsolatedMusicBlock isolation(dir);
    ASSERT_TRUE(isolation.ok());
    pid_t feeder = fork();
    if (feeder == 0) {
        std::string program = std::string(TC_DIST_DIR) + "/tcfeed";
        execl(program.c_str(), program.c_str(), "beat", "--seconds", "20", "--title", "Fed",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    CSharedMusicBlock reader;
    EXPECT_TRUE(blockShows(reader, "Fed"));
    const char* ns = std::getenv("TONECREST_SHM_NAMESPACE");
    std::string name = std::string("/") + (ns ? ns : "") + CSharedMusicBlock::kMappingName;
    for (int round = 0; round < 3; ++round) {
        int fd = shm_open(name.c_str(), O_RDWR, 0);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, 0), 0);
        close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        int status = 0;
        ASSERT_EQ(waitpid(feeder, &status, WNOHANG), 0)
            << "tcfeed ended, signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
        EXPECT_TRUE(blockShows(reader, "Fed")) << "round " << round;
    }
    kill(feeder, SIGTERM);
    int status = 0;
    waitpid(feeder, &status, 0);
    EXPECT_TRUE(WIFEXITED(status)) << "signal " << WTERMSIG(status);
}

} // namespace
