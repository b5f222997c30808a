// The streaming decoder: every format the player plays, files it must refuse with a reason,
// hostile headers, bounded memory, seeking, and the loudness tags.
#include "player/decode/AudioDecoder.h"
#include "player/decode/GainTags.h"
#include "player/spectrum/SpectrumAnalyzer.h"
#include "tests/support/AudioFiles.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <future>
#include <string>
#include <vector>

namespace {

using testsupport::EncodeFormat;
const double kPi = 3.14159265358979323846;

struct Decoded {
    std::vector<float> frames; // interleaved stereo
    long count() const { return long(frames.size() / 2); }
};

// Reads the whole song in small pieces, as the player does.
bool decodeAll(AudioDecoder& d, Decoded& out, std::string& error) {
    std::vector<float> chunk(2 * 1000);
    for (;;) {
        long got = d.read(chunk.data(), 1000);
        if (got < 0) {
            error = d.error();
            return false;
        }
        if (got == 0) {
            return true;
        }
        out.frames.insert(out.frames.end(), chunk.begin(), chunk.begin() + got * 2);
    }
}

int peakBand(const float* frames, long count, int channel) {
    SpectrumAnalyzer a;
    unsigned char bands[1024];
    a.analyseInterleaved(frames, count, channel, bands);
    return int(std::max_element(bands, bands + 1024) - bands);
}

long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(1 << 12, '\n');
    }
    return 0;
}

std::string le32(uint32_t v) {
    return {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
}
std::string le16(uint16_t v) {
    return {char(v & 0xFF), char(v >> 8)};
}

// A PCM WAV header claiming rate and channels, followed by dataBytes zero bytes.
std::string wavHeader(uint32_t rate, uint16_t channels, uint32_t dataBytes) {
    std::string fmt = le16(1) + le16(channels) + le32(rate) + le32(rate * channels * 2) +
                      le16(uint16_t(channels * 2)) + le16(16);
    std::string body =
        "WAVEfmt " + le32(16) + fmt + "data" + le32(dataBytes) + std::string(dataBytes, '\0');
    return "RIFF" + le32(uint32_t(body.size())) + body;
}

class AudioDecoderTest : public ::testing::Test {
  protected:
    testsupport::ScratchDir dir;
};

struct FormatCase {
    const char* file;
    EncodeFormat encoding;
};

TEST_F(AudioDecoderTest, EveryFormatDecodesResampledToStereoWithItsTitle) {
    const FormatCase cases[] = {
        {"a.mp3", {"libmp3lame", "mp3", 44100, 2, 1.0, "Mp3 Song"}},
        {"a.flac", {"flac", "flac", 96000, 2, 1.0, "Flac Song"}},
        {"a.ogg", {"libvorbis", "ogg", 32000, 2, 1.0, "Vorbis Song"}},
        {"a.opus", {"libopus", "ogg", 48000, 2, 1.0, "Opus Song"}},
        {"a.m4a", {"aac", "ipod", 48000, 2, 1.0, "Aac Song"}},
        {"a.wav", {"pcm_s16le", "wav", 22050, 1, 1.0, "Wav Song"}},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.file);
        std::string path = dir.file(c.file);
        // Left 1 kHz, right 3 kHz (a mono file gets the left signal).
        ASSERT_EQ(testsupport::encodeAudio(path, c.encoding,
                                           [](int ch, double t) {
                                               double hz = ch == 0 ? 1000 : 3000;
                                               return float(0.5 * std::sin(2 * kPi * hz * t));
                                           }),
                  "");
        std::string error;
        auto d = AudioDecoder::open(path, error);
        ASSERT_NE(d, nullptr) << error;
        EXPECT_EQ(d->info().title, c.encoding.title);
        EXPECT_EQ(d->info().sourceRate, c.encoding.rate);
        EXPECT_EQ(d->info().sourceChannels, c.encoding.channels);
        EXPECT_NEAR(d->info().durationSeconds, 1.0, 0.1);
        Decoded out;
        ASSERT_TRUE(decodeAll(*d, out, error)) << error;
        // Encoders add a little padding at the ends.
        EXPECT_NEAR(out.count(), 44100, 3000);
        const float* middle = out.frames.data() + 2 * 20000;
        EXPECT_NEAR(peakBand(middle, 2048, 0), 46, 1);
        EXPECT_NEAR(peakBand(middle, 2048, 1), c.encoding.channels == 1 ? 46 : 139, 1);
        EXPECT_EQ(d->read(out.frames.data(), 10), 0); // stays at the end
    }
}

TEST_F(AudioDecoderTest, FilesWithoutPlayableAudioAreRefusedWithAReason) {
    testsupport::writeFile(dir.file("empty.mp3"), "");
    testsupport::writeFile(dir.file("notes.txt"), "these are not the notes you are looking for");
    // A grey 2 x 2 image: a video stream and no audio.
    testsupport::writeFile(dir.file("picture.pgm"),
                           std::string("P5\n2 2\n255\n") + "\x80\x80\x80\x80");
    for (const char* name : {"missing.flac", "empty.mp3", "notes.txt", "picture.pgm"}) {
        SCOPED_TRACE(name);
        std::string error;
        auto d = AudioDecoder::open(dir.file(name), error);
        if (d) {
            Decoded out;
            EXPECT_FALSE(decodeAll(*d, out, error));
        }
        EXPECT_NE(error.find(name), std::string::npos) << error;
        EXPECT_GT(error.size(), std::string(dir.file(name)).size() + 4) << error;
    }
    std::string error;
    EXPECT_EQ(AudioDecoder::open(dir.file("picture.pgm"), error), nullptr);
    EXPECT_NE(error.find("no audio"), std::string::npos) << error;

    // A named pipe is refused at once, never waited on (nothing writes to it here).
    ASSERT_EQ(mkfifo(dir.file("pipe.flac").c_str(), 0600), 0);
    auto opening = std::async(std::launch::async, [&] {
        std::string why;
        return AudioDecoder::open(dir.file("pipe.flac"), why) == nullptr ? why : "opened";
    });
    if (opening.wait_for(std::chrono::seconds(2)) != std::future_status::ready) {
        ADD_FAILURE() << "opening a named pipe waits for a writer";
        close(open(dir.file("pipe.flac").c_str(), O_WRONLY | O_NONBLOCK)); // let it go
    }
    EXPECT_NE(opening.get().find("named pipe"), std::string::npos);
    EXPECT_EQ(AudioDecoder::open(dir.path(), error), nullptr);
    EXPECT_NE(error.find("folder"), std::string::npos) << error;

    // A song the user may not read cannot be read; it is not a damaged file. As root, the
    // check runs as another user, for whom the permission counts.
    std::string locked = dir.file("locked.flac");
    ASSERT_EQ(testsupport::encodeAudio(locked, {"flac", "flac", 44100, 1, 0.2, "Locked"},
                                       testsupport::sineSignal(440, 0.3)),
              "");
    chmod(locked.c_str(), 0);
    int answer[2];
    ASSERT_EQ(pipe(answer), 0);
    pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && setuid(65534) != 0) {
            _exit(1);
        }
        std::string why;
        auto d = AudioDecoder::open(locked, why);
        (void)!write(answer[1], why.data(), why.size());
        _exit(d ? 1 : 0);
    }
    close(answer[1]);
    char text[512] = {};
    ssize_t got = read(answer[0], text, sizeof text - 1);
    close(answer[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
    std::string reason(text, size_t(got > 0 ? got : 0));
    EXPECT_NE(reason.find("cannot be read"), std::string::npos) << reason;
    EXPECT_EQ(reason.find("not an audio file"), std::string::npos) << reason;
}

TEST_F(AudioDecoderTest, DamagedSongDecodesWhatItCanOrFailsButNeverCrashes) {
    std::string path = dir.file("song.mp3");
    ASSERT_EQ(testsupport::encodeAudio(path, {"libmp3lame", "mp3", 44100, 2, 2.0, "x"},
                                       testsupport::sineSignal(440, 0.5)),
              "");
    std::string bytes = testsupport::readFile(path);
    // Garbage across the middle third, and a copy cut short in its first frame.
    for (size_t i = bytes.size() / 3; i < 2 * bytes.size() / 3; ++i) {
        bytes[i] = char((i * 7919) & 0xFF);
    }
    testsupport::writeFile(dir.file("garbled.mp3"), bytes);
    testsupport::writeFile(dir.file("cut.flac"), std::string("fLaC\0\0\0\x22", 8));
    std::string error;
    auto d = AudioDecoder::open(dir.file("garbled.mp3"), error);
    ASSERT_NE(d, nullptr) << error;
    Decoded out;
    decodeAll(*d, out, error);
    EXPECT_GT(out.count(), 20000); // the sound before and after the damage
    EXPECT_LT(out.count(), 2 * 44100 + 5000);
    error.clear();
    auto cut = AudioDecoder::open(dir.file("cut.flac"), error);
    if (cut) {
        Decoded none;
        EXPECT_FALSE(decodeAll(*cut, none, error));
    }
    EXPECT_FALSE(error.empty());
}

TEST_F(AudioDecoderTest, AbsurdRatesAndChannelCountsAreRefusedAtOnce) {
    // 48 bytes claiming 1.9 GHz, and a header claiming 1000 channels.
    testsupport::writeFile(dir.file("fast.wav"), wavHeader(1900000000u, 1, 4));
    testsupport::writeFile(dir.file("wide.wav"), wavHeader(44100, 1000, 4000));
    ASSERT_EQ(testsupport::readFile(dir.file("fast.wav")).size(), 48u);
    auto start = std::chrono::steady_clock::now();
    std::string error;
    EXPECT_EQ(AudioDecoder::open(dir.file("fast.wav"), error), nullptr);
    EXPECT_NE(error.find("sample rate"), std::string::npos) << error;
    error.clear();
    auto wide = AudioDecoder::open(dir.file("wide.wav"), error);
    if (wide) { // FFmpeg may refuse the header itself
        Decoded out;
        EXPECT_FALSE(decodeAll(*wide, out, error));
    }
    EXPECT_FALSE(error.empty());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST_F(AudioDecoderTest, LongSongStreamsInBoundedMemory) {
    // Twenty minutes of near silence at 8 kHz: 212 MB once converted to 44.1 kHz stereo.
    std::string path = dir.file("long.flac");
    ASSERT_EQ(testsupport::encodeAudio(path, {"flac", "flac", 8000, 1, 1200.0, ""},
                                       [](int, double t) { return t < 1 ? 0.1f : 0.0f; }),
              "");
    std::string error;
    auto d = AudioDecoder::open(path, error);
    ASSERT_NE(d, nullptr) << error;
    long before = residentKb();
    std::vector<float> chunk(2 * 4096);
    long long total = 0, got = 0;
    while ((got = d->read(chunk.data(), 4096)) > 0) {
        total += got;
    }
    EXPECT_EQ(got, 0) << d->error();
    EXPECT_NEAR(double(total), 1200.0 * 44100, 44100);
    // Holding the song would take 212 MB; the sanitizer's quarantine of freed blocks adds tens.
#ifdef __SANITIZE_ADDRESS__
    const long limitKb = 100 * 1024;
#else
    const long limitKb = 20 * 1024;
#endif
    EXPECT_LT(residentKb() - before, limitKb);
}

TEST_F(AudioDecoderTest, SeekLandsOnTheRequestedSecond) {
    std::string path = dir.file("steps.flac");
    // 1 kHz for the first two seconds, 3 kHz after.
    ASSERT_EQ(testsupport::encodeAudio(path, {"flac", "flac", 44100, 2, 4.0, ""},
                                       [](int, double t) {
                                           double hz = t < 2 ? 1000 : 3000;
                                           return float(0.5 * std::sin(2 * kPi * hz * t));
                                       }),
              "");
    std::string error;
    auto d = AudioDecoder::open(path, error);
    ASSERT_NE(d, nullptr) << error;
    std::vector<float> w(2 * 2048);
    ASSERT_TRUE(d->seek(2.5));
    EXPECT_NEAR(d->position(), 2.5, 1e-6);
    ASSERT_EQ(d->read(w.data(), 2048), 2048);
    EXPECT_NEAR(peakBand(w.data(), 2048, 0), 139, 1);
    ASSERT_TRUE(d->seek(0.5));
    ASSERT_EQ(d->read(w.data(), 2048), 2048);
    EXPECT_NEAR(peakBand(w.data(), 2048, 0), 46, 1);
    // Just before the change: only 1 kHz in the window when the seek is sample-accurate.
    ASSERT_TRUE(d->seek(2.0 - 2048.0 / 44100 - 0.01));
    ASSERT_EQ(d->read(w.data(), 2048), 2048);
    SpectrumAnalyzer a;
    unsigned char bands[1024];
    a.analyseInterleaved(w.data(), 2048, 0, bands);
    EXPECT_LT(bands[139], bands[46] / 2);
    ASSERT_TRUE(d->seek(100.0)); // past the end: clamped, then the song ends
    EXPECT_LE(d->read(w.data(), 2048), 2048);
}

TEST(GainTagsTest, ReplayGainIsPreferredAndR128IsRelativeToMinus23) {
    double g = 99;
    EXPECT_TRUE(gainFromTags("-6.54 dB", "", -18.0, g));
    EXPECT_DOUBLE_EQ(g, -6.54);
    EXPECT_TRUE(gainFromTags("+2.5 dB", "-1280", -18.0, g));
    EXPECT_DOUBLE_EQ(g, 2.5);
    // -1280 / 256 = -5 dB to reach -23 LUFS, so 0 dB to reach -18 LUFS.
    EXPECT_TRUE(gainFromTags("", "-1280", -18.0, g));
    EXPECT_DOUBLE_EQ(g, 0.0);
    EXPECT_TRUE(gainFromTags("junk", "256", -23.0, g));
    EXPECT_DOUBLE_EQ(g, 1.0);
    g = 99;
    EXPECT_FALSE(gainFromTags("", "", -18.0, g));
    EXPECT_FALSE(gainFromTags("loud", "x12", -18.0, g));
    EXPECT_FALSE(gainFromTags("-1e9 dB", "nan", -18.0, g));
    EXPECT_FALSE(gainFromTags("3 dB extra", "", -18.0, g));
    EXPECT_EQ(g, 99);
}

} // namespace
