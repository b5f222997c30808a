// The player listening to the desktop: a tone played into the default output reaches the
// player's levels (what its visualizations get as TimedLevel) in the tone's cell, with the
// desktop's title as the current item, and the player goes back to its song afterwards.
#include "player/listen/DesktopSource.h"
#include "player/mpris/FileUri.h"
#include "player/spectrum/SpectrumAnalyzer.h"
#include "tests/support/AudioFiles.h"
#include "tests/support/FakeMprisPlayer.h"
#include "tests/support/PrivateBus.h"
#include "tests/support/PulseServer.h"
#include "tests/support/TestPaths.h"
#include "tests/support/ToneCell.h"
#include "tests/support/WaitFor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <random>
#include <thread>

using namespace std::chrono_literals;
using testsupport::waitFor;

namespace {

int loudest(const unsigned char* cells) {
    return testsupport::toneCell(cells);
}

class DesktopSourceTest : public ::testing::Test {
  protected:
    testsupport::ScratchDir dir;
    std::mutex mutex;
    std::vector<std::string> lines;

    DesktopSource::Options options(const std::string& server, const std::string& bus) {
        DesktopSource::Options o;
        o.server = server;
        o.busAddress = bus;
        o.onStatus = [this](const std::string& line) {
            std::lock_guard<std::mutex> lock(mutex);
            lines.push_back(line);
        };
        return o;
    }
    bool said(const std::string& text) {
        std::lock_guard<std::mutex> lock(mutex);
        return std::any_of(lines.begin(), lines.end(),
                           [&](const std::string& l) { return l.find(text) != std::string::npos; });
    }
    // Ticks the player as its window does, until done holds or the limit passes.
    static bool tickUntil(Player& player, const std::function<bool()>& done,
                          std::chrono::milliseconds limit = 5s) {
        return waitFor(
            [&] {
                player.tick(HeardAudio::nowSeconds());
                return done();
            },
            limit);
    }
    struct HeardTone {
        bool playing = false;
        LevelFrame levels{};
    };
    // Plays a tone into the output for the given seconds; once the player plays it and a whole
    // analysis window of it has passed, takes the levels as the pane would get them.
    static HeardTone hearTone(Player& player, const testsupport::PulseServer& server, double hz,
                              double seconds) {
        std::thread tone(
            [&] { testsupport::playTone(server.address(), "speakers", hz, 0.5f, seconds); });
        HeardTone heard;
        heard.playing = tickUntil(
            player, [&] { return player.state() == PlayState::Playing; }, 3s);
        std::this_thread::sleep_for(300ms);
        player.tick(HeardAudio::nowSeconds());
        heard.levels = player.levels();
        tone.join();
        return heard;
    }
};

} // namespace

TEST_F(DesktopSourceTest, ToneIntoTheOutputReachesThePlayersLevelsInItsCellUnderTheDesktopTitle) {
    testsupport::PulseServer server(dir.path(), {"module-null-sink sink_name=speakers norewinds=1",
                                                 "module-null-source source_name=mic"});
    testsupport::PrivateBus bus(dir.path());
    std::string error;
    ASSERT_TRUE(server.start(error)) << error;
    ASSERT_TRUE(bus.start(error)) << error;
    server.pactl("set-default-source mic");

    Player player(PlayerSettings{});
    DesktopSource desktop(options(server.address(), bus.address()));
    ASSERT_TRUE(desktop.start());
    player.setListeningSource(&desktop);
    uint64_t serial = player.mediaSerial();
    ASSERT_TRUE(tickUntil(player, [&] { return said(DesktopCapture::kMsgListening); }));
    EXPECT_EQ(player.status().rfind(DesktopCapture::kMsgListening, 0), 0u) << player.status();
    EXPECT_EQ(player.state(), PlayState::Paused); // listening, but the output is silent
    EXPECT_EQ(player.media().title, "Desktop audio");
    EXPECT_GT(player.mediaSerial(), serial); // visualizations are told of the new item

    constexpr double hz = 150 * 44100.0 / 2048;
    const HeardTone heard = hearTone(player, server, hz, 1.5);
    ASSERT_TRUE(heard.playing);
    const LevelFrame& levels = heard.levels;
    EXPECT_EQ(levels.state, int32_t(PlayState::Playing));
    EXPECT_EQ(loudest(levels.frequency[0]), testsupport::directToneCell(hz));
    EXPECT_EQ(loudest(levels.frequency[1]), testsupport::directToneCell(hz));
    EXPECT_GT(levels.frequency[0][testsupport::directToneCell(hz)], 120);
    // Only the output's monitor was ever recorded, not the default input.
    int monitor = server.sourceIndex("speakers.monitor");
    for (int source : server.recordingSources()) {
        EXPECT_EQ(source, monitor);
    }

    // The desktop player's title becomes the item's title, and its first song.
    EXPECT_EQ(desktop.song(), 0u);
    testsupport::FakePlayer radio(bus.address(), "radio", {"Playing", "Night Drive", {"Vee"}});
    EXPECT_TRUE(tickUntil(player, [&] { return player.media().title == "Vee - Night Drive"; }));
    EXPECT_EQ(desktop.song(), 1u);

    // Silence again: from then on the levels stand still, as for a paused song.
    EXPECT_TRUE(tickUntil(
        player, [&] { return player.state() != PlayState::Playing; }, 3s));
    LevelFrame still = player.levels();
    std::this_thread::sleep_for(200ms);
    player.tick(HeardAudio::nowSeconds());
    EXPECT_EQ(std::memcmp(still.frequency, player.levels().frequency, sizeof still.frequency), 0);
    EXPECT_EQ(player.levels().state, int32_t(PlayState::Paused));

    player.setListeningSource(nullptr);
    desktop.stop();
    EXPECT_EQ(player.media().title, "");
    EXPECT_EQ(player.status(), "");
    EXPECT_EQ(player.state(), PlayState::Stopped);
}

// A song whose player names its file is matched to that file through the sound server: it is
// normalised with the file's own gain, less how much quieter the desktop plays it, and rides
// on the file's calibration.
TEST_F(DesktopSourceTest, ASongWhosePlayerNamesItsFileIsNormalisedAndRiddenAsThatFile) {
    testsupport::PulseServer server(dir.path(),
                                    {"module-null-sink sink_name=speakers norewinds=1"});
    testsupport::PrivateBus bus(dir.path());
    std::string error;
    ASSERT_TRUE(server.start(error)) << error;
    ASSERT_TRUE(bus.start(error)) << error;

    // Fifteen seconds of noise whose loudness moves every 0.3 s, as music's does.
    std::mt19937 rng(3);
    std::normal_distribution<float> white(0, 0.1f);
    std::uniform_real_distribution<float> levelDb(-20, 0);
    std::vector<float> song(15 * 44100);
    float level = 1;
    for (size_t i = 0; i < song.size(); ++i) {
        level = i % 13230 == 0 ? std::pow(10.0f, levelDb(rng) / 20) : level;
        song[i] = level * white(rng);
    }
    const std::string path = dir.file("song.wav");
    ASSERT_EQ(testsupport::encodeAudio(path, {"pcm_f32le", "wav", 44100, 1, 15, "Song"},
                                       [&](int, double t) { return song[size_t(t * 44100)]; }),
              "");
    SongLevels levels;
    ASSERT_TRUE(wholeSongLevels(path, levels));

    Player player(PlayerSettings{});
    DesktopSource desktop(options(server.address(), bus.address()));
    ASSERT_TRUE(desktop.start());
    player.setListeningSource(&desktop);
    ASSERT_TRUE(tickUntil(player, [&] { return said(DesktopCapture::kMsgListening); }));

    // The desktop plays it 6 dB below the file; its player says where it is as it plays.
    testsupport::FakePlayer named(bus.address(), "named", {"Playing", "Song", {}});
    named.setUrl(mpris::uriOfLocalPath(path));
    named.setPosition(0);
    std::vector<float> quieter = song;
    for (float& v : quieter) {
        v *= 0.5f;
    }
    std::atomic<bool> played{false};
    std::thread play([&] {
        testsupport::playSamples(server.address(), "speakers", quieter);
        played = true;
    });
    const auto start = std::chrono::steady_clock::now();
    spectrum::SpectrumMapping ride;
    bool known = tickUntil(
        player,
        [&] {
            named.setPosition(std::chrono::duration_cast<std::chrono::microseconds>(
                                  std::chrono::steady_clock::now() - start)
                                  .count());
            return desktop.knownRide(ride) || played;
        },
        20s);
    EXPECT_TRUE(known && !played);
    EXPECT_NEAR(ride.topDb, levels.ride.topDb - 6.0, 1.0);
    EXPECT_TRUE(tickUntil(
        player, [&] { return std::fabs(desktop.gainDb() - levels.gainDb - 6.0) < 1.0; }, 1s))
        << desktop.gainDb() << " against " << levels.gainDb + 6.0;
    play.join();
    player.setListeningSource(nullptr);
}

TEST_F(DesktopSourceTest, WithoutAServerThePlayerSaysSoWaitsAndSurvivesARestart) {
    testsupport::PulseServer server(dir.path(),
                                    {"module-null-sink sink_name=speakers norewinds=1"});
    Player player(PlayerSettings{});
    DesktopSource desktop(options(server.address(), ""));
    ASSERT_TRUE(desktop.start());
    player.setListeningSource(&desktop);
    ASSERT_TRUE(tickUntil(player, [&] { return player.status() == DesktopCapture::kMsgNoServer; }));
    EXPECT_EQ(player.state(), PlayState::Stopped);
    EXPECT_EQ(player.media().title, "Desktop audio");

    std::string error;
    ASSERT_TRUE(server.start(error)) << error;
    ASSERT_TRUE(tickUntil(
        player, [&] { return player.state() == PlayState::Paused; }, 8s));
    server.kill();
    EXPECT_TRUE(tickUntil(player, [&] { return player.status() == DesktopCapture::kMsgLost; }));
    ASSERT_TRUE(server.start(error)) << error;
    EXPECT_TRUE(tickUntil(
        player, [&] { return player.state() == PlayState::Paused; }, 8s));
    EXPECT_TRUE(said(DesktopCapture::kMsgReconnected));

    constexpr double hz = 60 * 44100.0 / 2048;
    const HeardTone heard = hearTone(player, server, hz, 1.0);
    EXPECT_TRUE(heard.playing);
    EXPECT_EQ(loudest(heard.levels.frequency[0]), testsupport::directToneCell(hz));
}
