// The desktop's title from media players on a private session bus.
#include "player/capture/DesktopTitle.h"
#include "tests/support/FakeMprisPlayer.h"
#include "tests/support/PrivateBus.h"
#include "tests/support/TestPaths.h"
#include "tests/support/WaitFor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;
using testsupport::FakePlayer;
using testsupport::waitFor;

namespace {

class DesktopTitleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(bus.start(error)) << error;
    }
    testsupport::ScratchDir dir;
    testsupport::PrivateBus bus{dir.path()};
};

} // namespace

// tcplayer's own name (and an instance of it) is on the bus too, playing: listening to the
// desktop never takes it for the desktop's player.
TEST_F(DesktopTitleTest, ThePlayingPlayerNamesTheTitleWithItsArtistsNeverTcplayerItself) {
    FakePlayer paused(bus.address(), "quiet", {"Paused", "Not this one", {}});
    FakePlayer own(bus.address(), "tcplayer", {"Playing", "Our own song", {}});
    FakePlayer ownInstance(bus.address(), "tcplayer.instance42", {"Playing", "Ours too", {}});
    FakePlayer playing(bus.address(), "tune", {"Playing", "Song", {"Ann", "Bo"}});
    FakePlayer lookalike(bus.address(), "tcplayerx", {"Paused", "Another player", {}});
    ASSERT_TRUE(paused.ok() && own.ok() && ownInstance.ok() && playing.ok() && lookalike.ok());

    auto players = mpris::listPlayers(bus.address(), 1000ms);
    ASSERT_EQ(players.size(), 3u);
    for (const auto& p : players) {
        EXPECT_NE(p.title, "Our own song");
        EXPECT_NE(p.title, "Ours too");
    }
    EXPECT_EQ(mpris::titleOf(mpris::currentPlayer(players)), "Ann, Bo - Song");
}

// A song counts once: stopping and playing it again is no new song; another title is. The
// playing player's local file and position come with it.
TEST_F(DesktopTitleTest, WithoutAPlayingPlayerTheTitleIsDesktopAudioUntilOnePlays) {
    FakePlayer player(bus.address(), "tune", {"Paused", "Song", {}});
    player.setUrl("file:///music/a%20b.flac");
    player.setPosition(12500000);
    ASSERT_TRUE(player.ok());
    EXPECT_EQ(mpris::currentPlayer(mpris::listPlayers(bus.address(), 1000ms)), nullptr);

    DesktopTitle title(bus.address(), 50ms);
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(title.title(), "Desktop audio");
    EXPECT_EQ(title.song().number, 0u);
    EXPECT_EQ(title.song().path, "");
    player.setStatus("Playing");
    EXPECT_TRUE(waitFor([&] { return title.title() == "Song"; })) << title.title();
    DesktopSong song = title.song();
    EXPECT_EQ(song.number, 1u);
    EXPECT_EQ(song.path, "/music/a b.flac");
    EXPECT_DOUBLE_EQ(song.positionAt(song.at + 1.0), 13.5);
    player.setStatus("Stopped");
    EXPECT_TRUE(waitFor([&] { return title.title() == "Desktop audio"; })) << title.title();
    EXPECT_EQ(title.song().path, "");
    EXPECT_LT(title.song().positionAt(0), 0);
    player.setStatus("Playing");
    EXPECT_TRUE(waitFor([&] { return title.title() == "Song"; })) << title.title();
    player.setTitle("Next song");
    EXPECT_TRUE(waitFor([&] { return title.title() == "Next song"; })) << title.title();
    EXPECT_EQ(title.song().number, 2u);
}

TEST_F(DesktopTitleTest, SilentAndMalformedPlayersAreLeftOutWithoutHarm) {
    FakePlayer silent(bus.address(), "hung", {"Playing", "Hung", {}}, /*answers=*/false);
    FakePlayer odd(bus.address(), "odd", {"Playing", "", {}, /*titleAsNumber=*/true});
    FakePlayer good(bus.address(), "good", {"Playing", "Good", {}});
    ASSERT_TRUE(silent.ok() && odd.ok() && good.ok());

    auto begin = std::chrono::steady_clock::now();
    auto players = mpris::listPlayers(bus.address(), 300ms);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 2s);
    EXPECT_EQ(players.size(), 2u); // the hung one gave no answer
    EXPECT_EQ(mpris::titleOf(mpris::currentPlayer(players)), "Good");
}

TEST(DesktopTitleNoBus, NoBusMeansNoPlayersAndTheFallbackTitle) {
    testsupport::ScratchDir dir;
    EXPECT_TRUE(mpris::listPlayers("unix:path=" + dir.file("none"), 200ms).empty());
    DesktopTitle title("unix:path=" + dir.file("none"), 20ms);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(title.title(), "Desktop audio");
}
