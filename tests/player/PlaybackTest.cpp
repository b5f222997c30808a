// Playback through SDL's disk audio driver, which writes each buffer to a file and then waits
// as long as the buffer lasts: the file's growth is the device's own queue. The levels the
// visualizations get must describe the frames being played at that moment; the player skips
// what it cannot decode and goes on with the queue.
#include "player/output/Playback.h"
#include "player/spectrum/LevelFrame.h"
#include "player/ui/Player.h"
#include "tests/support/AudioFiles.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

namespace {

const double kPi = 3.14159265358979323846;

class PlaybackTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", dir.file("device.raw").c_str(), 1);
        setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
    }
    // One second of silence, then a 1 kHz tone at half scale.
    std::string toneAfterSilence() {
        std::string path = dir.file("onset.wav");
        EXPECT_EQ(testsupport::encodeAudio(
                      path, {"pcm_f32le", "wav", 44100, 2, 3.0, "Onset"},
                      [](int, double t) {
                          return t < 1.0 ? 0.0f : float(0.5 * std::sin(2 * kPi * 1000 * t));
                      }),
                  "");
        return path;
    }
    long deviceBytes() {
        struct stat st {};
        return stat(dir.file("device.raw").c_str(), &st) == 0 ? long(st.st_size) : 0;
    }
    testsupport::ScratchDir dir;
};

double now() {
    return HeardAudio::nowSeconds();
}

TEST_F(PlaybackTest, LevelsDescribeTheFramesTheDeviceIsPlaying) {
    std::string song = toneAfterSilence();
    HeardAudio heard;
    Playback playback(heard);
    std::string error;
    ASSERT_TRUE(playback.start(error)) << error;
    ASSERT_EQ(playback.output().driver(), "disk");
    LevelBuilder levels;
    // The device file holds silence until the song starts; find where the song begins by
    // watching the file grow from the moment play() is called.
    playback.play(song, 0.0);
    double played = -1, shown = -1;
    long lastSize = deviceBytes();
    double lastGrowth = now();
    std::ifstream device(dir.file("device.raw"), std::ios::binary);
    long scanned = 0;
    for (double deadline = now() + 6; now() < deadline && (played < 0 || shown < 0);) {
        double t = now();
        long size = deviceBytes();
        if (size != lastSize) {
            lastGrowth = t;
            lastSize = size;
        }
        // Frames written to the device: the first loud one is the tone's onset. The disk
        // driver plays a buffer during the wait that follows its write.
        if (played < 0 && size > scanned) {
            std::vector<float> buf(size_t(size - scanned) / sizeof(float));
            device.clear();
            device.seekg(scanned);
            device.read(reinterpret_cast<char*>(buf.data()), long(buf.size() * sizeof(float)));
            for (size_t i = 0; i < buf.size(); ++i) {
                if (std::fabs(buf[i]) > 0.05f) {
                    long frameInFile = (scanned / 4 + long(i)) / 2;
                    long bufferStart =
                        frameInFile / AudioOutput::kBufferFrames * AudioOutput::kBufferFrames;
                    long bytesToBufferEnd = (bufferStart + AudioOutput::kBufferFrames) * 8;
                    if (bytesToBufferEnd <= size) {
                        played = lastGrowth + double(frameInFile - bufferStart) / 44100;
                    }
                    break;
                }
            }
            if (played < 0) {
                scanned = size / 8 * 8;
            }
        }
        levels.update(heard, playback.state(), t);
        const LevelFrame& f = levels.frame();
        int swing = 0;
        for (int i = 1024 - 16; i < 1024; ++i) {
            swing = std::max(swing, std::abs(int(f.waveform[0][i]) - 128));
        }
        if (shown < 0 && swing > 20) {
            shown = t;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    ASSERT_GT(played, 0) << "the tone never reached the device";
    ASSERT_GT(shown, 0) << "the levels never showed the tone";
    // Within 30 ms is the requirement; 15 ms here, so that showing the frames as they are
    // handed to the device (a buffer, 23 ms, too early) fails.
    EXPECT_NEAR(shown - played, 0.0, 0.015) << "shown " << shown << " played " << played;
    std::printf("levels follow the device by %+.1f ms\n", (shown - played) * 1000);
    // A moment later the tone shows in cell 46 of both channels.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    levels.update(heard, playback.state(), now());
    EXPECT_GT(levels.frame().frequency[0][46], 150);
    EXPECT_GT(levels.frame().frequency[1][46], 150);
    EXPECT_EQ(levels.frame().state, int(PlayState::Playing));
}

TEST_F(PlaybackTest, PausedLevelsStayUnchangedAndPositionFollowsSeeks) {
    std::string song = toneAfterSilence();
    HeardAudio heard;
    Playback playback(heard);
    std::string error;
    ASSERT_TRUE(playback.start(error)) << error;
    playback.play(song, 0.0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    ASSERT_EQ(playback.state(), PlayState::Playing);
    // Never ahead of the clock; behind it only by the time the start took on a busy machine.
    EXPECT_LE(playback.position(), 1.55);
    EXPECT_GE(playback.position(), 1.0);
    LevelBuilder levels;
    playback.setPaused(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    levels.update(heard, playback.state(), now());
    LevelFrame first = levels.frame();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    levels.update(heard, playback.state(), now());
    EXPECT_EQ(std::memcmp(first.frequency, levels.frame().frequency, 2048), 0);
    EXPECT_EQ(levels.frame().state, int(PlayState::Paused));
    double pausedAt = playback.position();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_NEAR(playback.position(), pausedAt, 0.03);
    playback.seek(0.2);
    playback.setPaused(false);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_GE(playback.position(), 0.2);
    EXPECT_LE(playback.position(), 0.55);
    // Back in the silent second: nothing above the floor.
    levels.update(heard, playback.state(), now());
    EXPECT_LT(levels.frame().frequency[0][46], 30);
}

TEST_F(PlaybackTest, PlayerSkipsWhatItCannotDecodeAndPlaysTheNextSong) {
    testsupport::writeFile(dir.file("a-broken.mp3"), std::string(3000, '\x5A'));
    std::string good = dir.file("b-good.flac");
    ASSERT_EQ(testsupport::encodeAudio(good, {"flac", "flac", 48000, 1, 1.0, "Good Song"},
                                       testsupport::sineSignal(440, 0.3)),
              "");
    testsupport::writeFile(dir.file("c-empty.ogg"), "");
    PlayerSettings settings;
    settings.normalise = false;
    Player player(settings);
    std::string error;
    ASSERT_TRUE(player.start(error)) << error;
    player.openFiles({dir.path()}, true); // the folder, in name order
    for (double deadline = now() + 5; now() < deadline && player.queue().items().size() < 3;) {
        player.tick(now());
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(player.queue().items().size(), 3u);
    bool sawGood = false;
    for (double deadline = now() + 5; now() < deadline && !sawGood;) {
        player.tick(now());
        sawGood = player.media().title == "Good Song" && player.state() == PlayState::Playing;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(sawGood) << player.status();
    EXPECT_EQ(player.queue().current(), 1);
    EXPECT_NE(player.status().find("a-broken.mp3"), std::string::npos) << player.status();
    EXPECT_EQ(player.media().channels, 1);
    EXPECT_EQ(player.media().sampleRate, 48000);
    // After the good song the empty file is skipped too and the player stops at the end.
    for (double deadline = now() + 4; now() < deadline && player.queue().current() != 2;) {
        player.tick(now());
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    for (int i = 0; i < 20; ++i) {
        player.tick(now());
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(player.queue().current(), 2);
    EXPECT_NE(player.status().find("c-empty.ogg"), std::string::npos) << player.status();
    EXPECT_EQ(player.state(), PlayState::Stopped);
}

} // namespace

namespace {

TEST_F(PlaybackTest, ALargeFolderJoinsTheQueueInBatchesWhileThePlayerGoesOn) {
    // 6000 songs among 12000 other entries, in two levels of folders.
    std::string big = dir.file("big");
    std::filesystem::create_directories(big + "/sub");
    std::vector<std::string> songs;
    for (int i = 0; i < 6000; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "%s/%s%05d.mp3", big.c_str(), i < 3000 ? "" : "sub/", i);
        songs.push_back(name);
        testsupport::writeFile(name, "");
        testsupport::writeFile(std::string(name) + ".txt", "");
        testsupport::writeFile(std::string(name) + ".jpg", "");
    }
    std::string first = dir.file("big/!first.flac");
    ASSERT_EQ(testsupport::encodeAudio(first, {"flac", "flac", 44100, 1, 20.0, "First"},
                                       testsupport::sineSignal(440, 0.3)),
              "");
    songs.insert(songs.begin(), first); // "!" sorts before the digits
    PlayerSettings settings;
    settings.normalise = false;
    Player player(settings);
    std::string error;
    ASSERT_TRUE(player.start(error)) << error;

    player.openFiles({big}, true);
    // The call comes back before the folder is walked: its files come with the ticks.
    EXPECT_LT(player.queue().items().size(), songs.size());
    std::vector<size_t> sizes;
    for (double deadline = now() + 20; now() < deadline && player.addingFiles();) {
        player.tick(now());
        if (sizes.empty() || sizes.back() != player.queue().items().size()) {
            sizes.push_back(player.queue().items().size());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    player.tick(now());
    EXPECT_EQ(player.queue().items(), songs);
    EXPECT_GT(sizes.size(), 2u) << "the queue grows as the walk goes on";
    EXPECT_EQ(player.queue().current(), 0);

    // Files opened after a folder queue after its files, and a folder without music says so,
    // in the window and on standard error.
    std::filesystem::create_directories(dir.file("empty/inner"));
    testing::internal::CaptureStderr();
    player.openFiles({dir.file("empty")}, false);
    player.openFiles({dir.file("after.mp3")}, false);
    for (double deadline = now() + 5; now() < deadline && player.addingFiles();) {
        player.tick(now());
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    player.tick(now());
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(player.queue().items().back(), dir.file("after.mp3"));
    EXPECT_EQ(player.queue().items().size(), songs.size() + 1);
    EXPECT_NE(said.find("tcplayer: Nothing to play in " + dir.file("empty")), std::string::npos)
        << said;
}

} // namespace
