// The ride calibration against the ride's design: with each song's own spectrum mapping, its
// quiet passages ride below L 18, its middle ones from 18 to 36 and its loud ones above 36,
// whatever level it was recorded at; mono rides as stereo; a song is calibrated from its first
// frame; and listening to the desktop is normalised within seconds. Generated "music" stands
// in for songs: noise whose spectrum falls as a mix's does, with a beat, in sections.
#include "player/spectrum/RideCalibration.h"
#include "player/decode/AudioDecoder.h"
#include "player/listen/NormalisedAudio.h"
#include "player/loudness/Loudness.h"
#include "player/loudness/RunningLoudness.h"
#include "player/ui/Player.h"
#include "tests/support/AudioFiles.h"
#include "tests/support/TestPaths.h"

#include <ebur128.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <random>
#include <thread>
#include <vector>

namespace {

using spectrum::SpectrumMapping;
const double kPi = 3.14159265358979323846;

struct Section {
    double seconds, levelDb;
};

// Stereo "music": pink noise, darkened above 2 kHz and again above 8 kHz, half shared between
// the channels, with a kick on every beat (120 a minute unless told), in sections of the given
// levels.
std::vector<float> music(const std::vector<Section>& sections, unsigned seed = 1,
                         double beatSeconds = 0.5) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> white(0, 1);
    double pinkState[3][7] = {}, lp1[3] = {}, lp2[3] = {};
    const double a1 = 1 - std::exp(-2 * kPi * 2000 / 44100);
    const double a2 = 1 - std::exp(-2 * kPi * 8000 / 44100);
    auto pink = [&](int c) {
        double* b = pinkState[c];
        double w = white(rng);
        b[0] = 0.99886 * b[0] + w * 0.0555179;
        b[1] = 0.99332 * b[1] + w * 0.0750759;
        b[2] = 0.96900 * b[2] + w * 0.1538520;
        b[3] = 0.86650 * b[3] + w * 0.3104856;
        b[4] = 0.55000 * b[4] + w * 0.5329522;
        b[5] = -0.7616 * b[5] - w * 0.0168980;
        double p = b[0] + b[1] + b[2] + b[3] + b[4] + b[5] + b[6] + w * 0.5362;
        b[6] = w * 0.115926;
        lp1[c] += a1 * (p - lp1[c]);
        lp2[c] += a2 * (lp1[c] - lp2[c]);
        return lp1[c] * 0.3 + lp2[c];
    };
    std::vector<float> v;
    double t = 0;
    for (const Section& s : sections) {
        double gain = 0.05 * std::pow(10.0, s.levelDb / 20);
        for (long i = 0; i < long(s.seconds * 44100); ++i, t += 1.0 / 44100) {
            double beat = std::fmod(t, beatSeconds);
            double kick = 3.0 * std::exp(-beat * 30) * std::sin(2 * kPi * 55 * beat);
            double shared = pink(2);
            for (int c = 0; c < 2; ++c) {
                v.push_back(float(gain * (0.5 * shared + 0.5 * pink(c) + kick)));
            }
        }
    }
    return v;
}

std::vector<float> scaled(std::vector<float> v, double db) {
    float k = float(std::pow(10.0, db / 20));
    for (float& s : v) {
        s *= k;
    }
    return v;
}

SpectrumMapping calibrated(const std::vector<float>& frames) {
    spectrum::RideProfile profile;
    profile.add(frames.data(), long(frames.size() / 2));
    return spectrum::calibrate(profile);
}

// The game's ride level L, frame by frame: the mean of the last 50 frames' average level of
// both channels' cells, taken 60 times a second.
class RideMeter {
  public:
    void add(const unsigned char (&cells)[2][1024]) {
        int sum[2] = {0, 0};
        for (int c = 0; c < 2; ++c) {
            for (int i = 0; i < 1024; ++i) {
                sum[c] += cells[c][i];
            }
        }
        level.push_back((sum[1] / 1024 + sum[0] / 1024) / 2);
        size_t from = level.size() > 50 ? level.size() - 50 : 0;
        double mean = 0;
        for (size_t i = from; i < level.size(); ++i) {
            mean += level[i];
        }
        L.push_back(mean / double(level.size() - from));
    }
    std::vector<int> level; // each frame's
    std::vector<double> L;
};

// L frame by frame for frames under mapping m.
std::vector<double> ride(const std::vector<float>& frames, const SpectrumMapping& m) {
    SpectrumAnalyzer a;
    a.setMapping(m);
    unsigned char cells[2][1024];
    RideMeter meter;
    const long count = long(frames.size() / 2), hop = 44100 / 60;
    for (long at = 0; at + 2048 <= count; at += hop) {
        for (int c = 0; c < 2; ++c) {
            a.analyseInterleaved(frames.data() + 2 * at, 2048, c, cells[c]);
        }
        meter.add(cells);
    }
    return meter.L;
}

// Median of L from second from to second to.
double medianL(const std::vector<double>& L, double from, double to) {
    // The last frame is a window short of the song's end.
    std::vector<double> part(L.begin() + long(from * 60),
                             L.begin() + std::min(long(L.size()), long(to * 60)));
    std::nth_element(part.begin(), part.begin() + long(part.size() / 2), part.end());
    return part[part.size() / 2];
}

double meanDifference(const std::vector<double>& a, const std::vector<double>& b) {
    double d = 0;
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        d += std::fabs(a[i] - b[i]);
    }
    return d / double(n);
}

// A quiet intro, a verse, a loud chorus and a quiet break.
const std::vector<Section> kSong = {{12, -16}, {24, 0}, {12, 6}, {8, -14}};

TEST(RideCalibration, ASongsQuietMiddleAndLoudSectionsRideTheThreeSetsAtAnyRecordedLevel) {
    std::vector<float> song = music(kSong);
    std::vector<double> L = ride(song, calibrated(song));
    EXPECT_LT(medianL(L, 3, 12), 18) << "intro";
    EXPECT_GE(medianL(L, 15, 36), 18) << "verse";
    EXPECT_LE(medianL(L, 15, 36), 36) << "verse";
    EXPECT_GT(medianL(L, 39, 48), 36) << "chorus";
    EXPECT_LT(medianL(L, 51, 56), 18) << "break";

    // The same song recorded 12 dB lower or 6 dB higher rides the same way.
    for (double db : {-12.0, 6.0}) {
        std::vector<float> copy = scaled(song, db);
        EXPECT_LT(meanDifference(ride(copy, calibrated(copy)), L), 2.0) << db << " dB";
    }
}

TEST(RideCalibration, ASteadyTrackRidesHigherAndFlatterThanADynamicOneAndTheChannelsKeepApart) {
    std::vector<float> steady = music({{40, 0}});
    std::vector<float> dynamic = music(kSong);
    std::vector<double> Ls = ride(steady, calibrated(steady));
    std::vector<double> Ld = ride(dynamic, calibrated(dynamic));
    spectrum::RideProfile profile;
    profile.add(steady.data(), long(steady.size() / 2));
    spectrum::RideLevels s = profile.levels(calibrated(steady));
    EXPECT_GE(s.p50, 18);
    EXPECT_LE(s.p50, 36);
    EXPECT_GT(medianL(Ls, 3, 40), medianL(Ld, 3, 56));
    EXPECT_LT(s.p90 - s.p10, 8);
    // A tone in one channel only still shows in that channel's cells only.
    std::vector<float> tone(2 * 2048, 0.0f);
    for (int i = 0; i < 2048; ++i) {
        tone[size_t(2 * i)] = float(0.1 * std::sin(2 * kPi * 1000.0 * i / 44100));
    }
    SpectrumAnalyzer a;
    a.setMapping(calibrated(dynamic));
    unsigned char left[1024], right[1024];
    a.analyseInterleaved(tone.data(), 2048, 0, left);
    a.analyseInterleaved(tone.data(), 2048, 1, right);
    EXPECT_EQ(std::max_element(left, left + 1024) - left, 46);
    EXPECT_GT(left[46], 100);
    EXPECT_EQ(*std::max_element(right, right + 1024), 0);
}

TEST(RideCalibration, MonoAndLowRateCopiesOfAFileRideAsTheFileDoes) {
    testsupport::ScratchDir dir;
    std::vector<float> song = music({{4, -12}, {6, 0}});
    auto left = [&](int, double t) { return song[size_t(2 * long(t * 44100))]; };
    struct Copy {
        const char* name;
        int rate, channels;
    } copies[] = {{"stereo.flac", 44100, 2}, {"mono.flac", 44100, 1}, {"low.flac", 22050, 2}};
    for (const Copy& c : copies) {
        ASSERT_EQ(testsupport::encodeAudio(dir.file(c.name),
                                           {"flac", "flac", c.rate, c.channels, 9.9, ""}, left),
                  "");
    }
    // Each file as the player takes it: its scan chooses its mapping, its decoder its audio.
    auto rideOf = [&](const char* name, const SpectrumMapping* under) {
        SongScan scan;
        spectrum::RideProfile profile;
        EXPECT_TRUE(scanSong(dir.file(name), 0, scan, &profile)) << scan.error;
        std::string error;
        auto d = AudioDecoder::open(dir.file(name), error);
        std::vector<float> all(size_t(11 * 44100) * 2);
        long got = d ? d->read(all.data(), 11 * 44100) : 0;
        all.resize(size_t(std::max(got, 0L)) * 2);
        return ride(all, under ? *under : spectrum::calibrate(profile));
    };
    std::vector<double> stereo = rideOf("stereo.flac", nullptr);
    EXPECT_LT(meanDifference(rideOf("mono.flac", nullptr), stereo), 2.0);
    EXPECT_LT(meanDifference(rideOf("low.flac", nullptr), stereo), 4.0);
    // Under one mapping too: the mono file plays at its own level on each side.
    SpectrumMapping one = spectrum::defaultRideMapping();
    EXPECT_LT(meanDifference(rideOf("mono.flac", &one), rideOf("stereo.flac", &one)), 2.0);
}

TEST(RideCalibration, ASongIsNormalisedAndCalibratedFromItsFirstFrame) {
    // A loud master and a quiet recording of the same steady music ride alike from the start.
    testsupport::ScratchDir dir;
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::vector<float> song = music({{8, 0}});
    for (auto [name, db] : {std::pair<const char*, double>{"loud.flac", 14}, {"quiet.flac", -14}}) {
        std::vector<float> v = scaled(song, db);
        ASSERT_EQ(testsupport::encodeAudio(dir.file(name), {"flac", "flac", 44100, 2, 7.9, name},
                                           [&](int c, double t) {
                                               return std::clamp(v[size_t(2 * long(t * 44100) + c)],
                                                                 -1.0f, 1.0f);
                                           }),
                  "");
    }
    auto firstSecond = [&](const std::string& name) {
        Player player(PlayerSettings{});
        std::string error;
        EXPECT_TRUE(player.start(error)) << error;
        player.openFiles({dir.file(name)}, true);
        RideMeter meter;
        using clock = std::chrono::steady_clock;
        auto deadline = clock::now() + std::chrono::seconds(4);
        while (clock::now() < deadline && meter.level.size() < 60) {
            player.tick(HeardAudio::nowSeconds());
            if (player.state() == PlayState::Playing && player.position() > 0.05) {
                meter.add(player.levels().frequency);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(16));
        }
        EXPECT_EQ(meter.level.size(), 60u) << name;
        double mean = 0;
        for (int l : meter.level) {
            mean += l;
        }
        return mean / double(std::max<size_t>(1, meter.level.size()));
    };
    double loud = firstSecond("loud.flac"), quiet = firstSecond("quiet.flac");
    EXPECT_NEAR(loud, quiet, 2.0);
    EXPECT_GE(loud, 18);
    EXPECT_LE(loud, 36);
}

TEST(RideCalibration, ASongWhoseScanCannotFinishRidesOnTheRunningEstimate) {
    // Six seconds of a song, then a damaged tail: FLAC frames of eight seconds each (8 kHz,
    // 65535 samples), which the decoder refuses, so neither the scan nor the playing gets past
    // them.
    testsupport::ScratchDir dir;
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::vector<float> song = music({{6, 0}}, 5);
    ASSERT_EQ(testsupport::encodeAudio(dir.file("head.flac"), {"flac", "flac", 44100, 2, 6, "Cut"},
                                       [&](int c, double t) {
                                           return std::clamp(song[size_t(2 * long(t * 44100) + c)],
                                                             -1.0f, 1.0f);
                                       }),
              "");
    ASSERT_EQ(testsupport::encodeAudio(dir.file("tail.flac"),
                                       {"flac", "flac", 8000, 1, 20, "", 65535},
                                       testsupport::sineSignal(300, 0.3)),
              "");
    std::string head = testsupport::readFile(dir.file("head.flac"));
    std::string tail = testsupport::readFile(dir.file("tail.flac"));
    head[10] = head[11] = '\xFF'; // the stream's largest block: 65535, so the tail is read
    size_t frames = 4;            // the tail's frames follow its metadata blocks
    for (bool last = false; !last && frames + 4 <= tail.size();) {
        last = (tail[frames] & 0x80) != 0;
        frames += 4 + (size_t(uint8_t(tail[frames + 1])) << 16 |
                       size_t(uint8_t(tail[frames + 2])) << 8 | uint8_t(tail[frames + 3]));
    }
    const std::string path = dir.file("cut.flac");
    testsupport::writeFile(path, head + tail.substr(frames));
    SongLevels scanned;
    ASSERT_TRUE(wholeSongLevels(path, scanned));
    ASSERT_FALSE(scanned.wholeSong);

    // The scan's mapping leans on the one for music in general; as the song is heard, the
    // running estimate moves it towards the song's own rule.
    Player player(PlayerSettings{});
    std::string error;
    ASSERT_TRUE(player.start(error)) << error;
    player.openFiles({path}, true);
    RideMeter meter;
    double firstTop = 0, lastTop = 0;
    using clock = std::chrono::steady_clock;
    for (auto end = clock::now() + std::chrono::seconds(8); clock::now() < end;) {
        player.tick(HeardAudio::nowSeconds());
        if (player.state() == PlayState::Playing && player.position() > 0.05) {
            lastTop = player.spectrumMapping().topDb - player.gainDb();
            firstTop = meter.level.empty() ? lastTop : firstTop;
            meter.add(player.levels().frequency);
        } else if (!meter.level.empty()) {
            break; // the song stopped at its damage
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(16));
    }
    ASSERT_GT(meter.level.size(), 180u); // three seconds of frames at the least
    const double rule = calibrated(song).topDb;
    EXPECT_NEAR(firstTop, scanned.ride.topDb, 0.01);
    EXPECT_GT(std::fabs(rule - scanned.ride.topDb), 2.0); // the two differ enough to tell
    EXPECT_LT(std::fabs(rule - lastTop), 0.8 * std::fabs(rule - scanned.ride.topDb));
}

// Short-term loudness (LUFS) of the last three seconds of frames.
double shortTermLoudness(const std::vector<float>& frames) {
    ebur128_state* st = ebur128_init(2, 44100, EBUR128_MODE_S);
    size_t n = frames.size() / 2, from = n > 3 * 44100 ? n - 3 * 44100 : 0;
    ebur128_add_frames_float(st, frames.data() + 2 * from, n - from);
    double lufs = 0;
    ebur128_loudness_shortterm(st, &lufs);
    ebur128_destroy(&st);
    return lufs;
}

TEST(RideCalibration, ListeningToAQuietOrALoudSongIsNormalisedWithinTenSecondsWithoutPumping) {
    std::vector<float> base = music({{40, 0}, {4, -10}, {16, 0}});
    std::vector<float> firstTen(base.begin(), base.begin() + 10 * 44100 * 2);
    base = scaled(base, AudioDecoder::kLoudnessTargetLufs - shortTermLoudness(firstTen));
    for (double db : {-12.0, 8.0}) { // songs at -30 and -10 LUFS
        std::vector<float> in = scaled(base, db);
        RunningLoudness normaliser;
        std::vector<float> out;
        std::vector<double> gains;
        for (size_t at = 0; at < in.size(); at += 2 * 441) { // 10 ms blocks, as they arrive
            std::vector<float> block(in.begin() + long(at),
                                     in.begin() + long(std::min(in.size(), at + 2 * 441)));
            normaliser.process(block.data(), long(block.size() / 2));
            out.insert(out.end(), block.begin(), block.end());
            gains.push_back(normaliser.gainDb());
        }
        std::vector<float> tenSeconds(out.begin(), out.begin() + 10 * 44100 * 2);
        EXPECT_NEAR(shortTermLoudness(tenSeconds), AudioDecoder::kLoudnessTargetLufs, 2.0) << db;
        // Settled, the gain stays put through the beat and moves slowly through a break.
        auto [low, high] = std::minmax_element(gains.begin() + 1500, gains.begin() + 4000);
        EXPECT_LT(*high - *low, 1.0) << db;
        auto [bl, bh] = std::minmax_element(gains.begin() + 4000, gains.begin() + 4400);
        EXPECT_LT(*bh - *bl, 8.0) << db;
    }
}

// The desktop's output as the player listens to it, sounding throughout; playing is what its
// players tell of the song.
class HeardDesktop : public ListeningSource {
  public:
    NormalisedAudio audio;
    DesktopSong playing;
    uint64_t song() const override { return playing.number; }
    bool knownRide(SpectrumMapping& ride) const override { return audio.knownRide(ride); }
    const HeardAudio& heard() const override { return audio.heard(); }
    const HeardAudio& heardAsPlayed() const override { return audio.asPlayed(); }
    double gainDb() const override { return audio.gainDb(); }
    PlayState state() const override { return PlayState::Playing; }
    std::string title() const override { return "Desktop audio"; }
    int channels() const override { return 2; }
    int sampleRate() const override { return 44100; }
};

// L frame by frame, 60 frames a second, as the game takes it from a player listening to the
// desktop play frames (in 10 ms blocks as they arrive, on a clock of their own). At each of
// the seconds in newSongs the desktop's players name a new song. With a file, the desktop's
// player names it from the start, and where in it it plays (the second of the file played at
// each second, skip says) as it is asked every two seconds; the file's scan is waited for, as
// a listener's scan ends long before its song does.
std::vector<double> listenedRide(const std::vector<float>& frames,
                                 const std::vector<double>& newSongs = {},
                                 const std::string& file = "",
                                 const std::function<double(double)>& skip = {}) {
    Player player(PlayerSettings{});
    HeardDesktop desktop;
    player.setListeningSource(&desktop);
    desktop.playing = {0, file, 0.0, 1000.0};
    auto fileSecond = skip ? skip : [](double t) { return t; };
    const long count = long(frames.size() / 2), block = 441;
    RideMeter meter;
    double nextFrame = 0;
    for (long at = 0; at + block <= count; at += block) {
        const double now = 1000.0 + double(at + block) / 44100;
        desktop.playing.number = uint64_t(std::count_if(
            newSongs.begin(), newSongs.end(), [&](double s) { return 1000.0 + s <= now; }));
        if (now >= desktop.playing.at + 2.0) {
            desktop.playing.position = fileSecond(now - 1000.0);
            desktop.playing.at = now;
        }
        desktop.audio.write(frames.data() + 2 * at, block, now, desktop.playing);
        if (at == 0) {
            desktop.audio.waitScanned();
        }
        if (now >= 1000.0 + nextFrame) {
            nextFrame += 1.0 / 60;
            player.tick(now);
            meter.add(player.levels().frequency);
        }
    }
    player.setListeningSource(nullptr);
    return meter.L;
}

// L at quantile q (0..1) of the frames from second from on.
double quantileL(const std::vector<double>& L, double from, double q) {
    std::vector<double> part(L.begin() + long(from * 60), L.end());
    std::nth_element(part.begin(), part.begin() + long(q * double(part.size())), part.end());
    return part[size_t(q * double(part.size()))];
}

TEST(RideCalibration, ListeningToTheDesktopPlayASongRidesAsPlayingItsFileAfterTenSeconds) {
    // A song with an opening, a verse, a loud chorus, a break and a last verse, as its file
    // rides it, and as the desktop plays it quietly and loudly.
    std::vector<float> song = music({{8, -4}, {16, 0}, {10, 5}, {8, -8}, {18, 0}}, 7);
    std::vector<double> file = ride(song, calibrated(song));
    for (double db : {-14.0, 8.0}) {
        std::vector<double> heard = listenedRide(scaled(song, db));
        EXPECT_NEAR(quantileL(heard, 10, 0.5), quantileL(file, 10, 0.5), 3.0) << db << " dB";
        EXPECT_NEAR(quantileL(heard, 10, 0.1), quantileL(file, 10, 0.1), 3.0) << db << " dB";
        // The chorus is louder than anything the desktop played before it: it rides as the
        // loudest heard so far within a second or two, not far above the file's chorus.
        EXPECT_NEAR(quantileL(heard, 10, 0.9), quantileL(file, 10, 0.9), 4.5) << db << " dB";
        // From the last verse on, both know the whole song.
        EXPECT_NEAR(quantileL(heard, 44, 0.5), quantileL(file, 44, 0.5), 1.5) << db << " dB";
    }
}

TEST(RideCalibration, ListeningToTheDesktopPlayOneSongAfterAnotherRidesEachAsItsFile) {
    // A loud, steady song, then a quiet one with sections; the desktop's player names the
    // second 1.5 s after it begins, as a player polled every two seconds may.
    std::vector<float> first = scaled(music({{45, 0}}, 3), 8.0);
    std::vector<float> second = music({{8, -4}, {16, 0}, {10, 5}, {8, -8}, {18, 0}}, 7);
    std::vector<double> file = ride(second, calibrated(second));
    for (double db : {-14.0, 0.0}) {
        std::vector<float> played = first;
        std::vector<float> then = scaled(second, db);
        played.insert(played.end(), then.begin(), then.end());
        std::vector<double> heard = listenedRide(played, {0.5, 45.0 + 1.5});
        heard.erase(heard.begin(), heard.begin() + 45 * 60);
        EXPECT_NEAR(quantileL(heard, 10, 0.5), quantileL(file, 10, 0.5), 3.0) << db << " dB";
        EXPECT_NEAR(quantileL(heard, 10, 0.1), quantileL(file, 10, 0.1), 3.0) << db << " dB";
        // The running profile misses the song's first second and a half, heard before its
        // title came, which moves the loud chorus by a few L more than a song heard whole.
        EXPECT_NEAR(quantileL(heard, 10, 0.9), quantileL(file, 10, 0.9), 5.5) << db << " dB";
    }
}

TEST(RideCalibration, ListeningToALocalFileItsPlayerNamesRidesAsTheFileFromItsOpening) {
    // A song that grows over a minute and a half: heard alone, its quiet opening would ride as
    // the middle of the song, for what follows cannot be known. Its player names its file.
    testsupport::ScratchDir dir;
    std::vector<float> song = music({{25, -14}, {25, -7}, {20, 0}, {20, 4}}, 9);
    const std::string path = dir.file("growing.flac");
    ASSERT_EQ(testsupport::encodeAudio(path, {"flac", "flac", 44100, 2, 89.9, "Growing"},
                                       [&](int c, double t) {
                                           return std::clamp(song[size_t(2 * long(t * 44100) + c)],
                                                             -1.0f, 1.0f);
                                       }),
              "");
    SongLevels levels;
    ASSERT_TRUE(wholeSongLevels(path, levels));
    // Played quietly, then loudly with a seek from 40 s to 55 s.
    std::vector<float> skipped(song.begin(), song.begin() + 40 * 44100 * 2);
    skipped.insert(skipped.end(), song.begin() + 55 * 44100 * 2, song.end());
    std::function<double(double)> skip = [](double t) { return t < 40 ? t : t + 15; };
    for (auto [played, db] : {std::pair{song, -12.0}, std::pair{skipped, 6.0}}) {
        std::vector<double> file = ride(played, levels.ride);
        std::vector<double> heard = listenedRide(scaled(played, db), {}, path,
                                                 db > 0 ? skip : std::function<double(double)>{});
        // Frame by frame from 10 s on (alone, the sound rode 17 to 19 L away from the file).
        heard.erase(heard.begin(), heard.begin() + 600);
        file.erase(file.begin(), file.begin() + 600);
        EXPECT_LT(meanDifference(heard, file), 0.3) << db << " dB";
    }
    // The desktop's volume turned down by 6 dB at 50 s: the song rides on as its file, after a
    // few seconds that still mix both volumes.
    std::vector<float> turned = song;
    for (size_t i = 50 * 44100 * 2; i < turned.size(); ++i) {
        turned[i] *= 0.5f;
    }
    std::vector<double> heard = listenedRide(turned, {}, path), file = ride(song, levels.ride);
    heard.erase(heard.begin(), heard.begin() + 60 * 60);
    file.erase(file.begin(), file.begin() + 60 * 60);
    EXPECT_LT(meanDifference(heard, file), 0.3);
    // Another song than the file it names (a second player, a stream over it) is not taken
    // for it: it rides on what is heard alone.
    std::vector<float> other = music({{25, 4}, {20, -14}, {25, 0}, {20, -7}}, 4, 0.44);
    EXPECT_EQ(listenedRide(other, {}, path), listenedRide(other));
}

} // namespace
