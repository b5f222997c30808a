// The whole chain as a user meets it: tcplayer plays a song; the game's connect-to-player
// action registers the plug-in and runs NowPane, which brings tcplayer forward on its
// now-playing pane with the plug-in drawing; "Click Here" there starts the game, which rides
// the song. And the ride outlives its player: killed, the game carries on and tells after its
// 30 seconds that no music arrives; a new player feeds the same game again.
#include "platform/registry/Registry.h"
#include "tests/e2e/Desktop.h"
#include "tests/e2e/GameFixture.h"
#include "tests/e2e/PlayerSetup.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <sstream>

namespace {

using e2e::GameE2e;

// The start-up splash holds five seconds and fades for about eight.
constexpr int kSplashMs = 13500;

int count(const e2e::Picture& p, int x0, int y0, int x1, int y1,
          const std::function<bool(const unsigned char*)>& test) {
    int n = 0;
    for (int y = std::max(y0, 0); y < y1 && y < p.height; ++y) {
        for (int x = std::max(x0, 0); x < x1 && x < p.width; ++x) {
            n += test(p.at(x, y)) ? 1 : 0;
        }
    }
    return n;
}
bool magenta(const unsigned char* c) {
    return c[0] > 200 && c[1] < 80 && c[2] > 200;
}
bool red(const unsigned char* c) {
    return c[0] >= 240 && c[0] >= c[1] + 60 && c[0] >= c[2] + 15;
}
bool gold(const unsigned char* c) {
    return c[0] > 200 && c[1] > 120 && c[2] < 110;
}

// Rightmost column of red text on the title line at the bottom left of the game's window.
int titleEnd(const e2e::Picture& p) {
    int end = -1;
    for (int y = 570; y < 595 && y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            if (red(p.at(x, y))) {
                end = std::max(end, x);
            }
        }
    }
    return end;
}

class ConnectChainE2e : public GameE2e {
  protected:
    void SetUp() override {
        GameE2e::SetUp();
        for (const auto& kv : e2e::playerEnvironment(scratch, "tcchain")) {
            env[kv.first] = kv.second;
        }
        playerFolder = scratch.file("player");
        std::filesystem::create_directories(playerFolder);
        song = scratch.file("song.flac");
        e2e::makeSong(song, "E2E Song", 120.0);
    }
    void TearDown() override {
        // Games started by the plug-in run on their own: end them.
        std::istringstream windows(
            e2e::xdotool("search --name '" + std::string(e2e::kGameWindow) + "'"));
        std::string w;
        while (windows >> w) {
            std::string pid = e2e::xdotool("getwindowpid " + w);
            if (!pid.empty() && std::stoi(pid) > 1) {
                kill(std::stoi(pid), SIGKILL);
            }
        }
        GameE2e::TearDown();
    }
    std::unique_ptr<e2e::Program> startPlayer() {
        return std::make_unique<e2e::Program>(std::string(TC_DIST_DIR) + "/tcplayer",
                                              std::vector<std::string>{song}, playerFolder, env);
    }
    std::string playerOutput() { return testsupport::readFile(playerFolder + "/stdout.txt"); }
    // A click at a position of the menu's 1024 x 1024 overlay (y up) in the 800 x 600 window.
    void clickOverlay(const std::string& window, int x, int y) {
        e2e::xdotool("mousemove --window " + window + " " + std::to_string(x * 800 / 1024) + " " +
                     std::to_string(600 - y * 600 / 1024));
        usleep(250000);
        e2e::xdotool("click 1");
        usleep(700000);
    }
    e2e::Picture grab(const std::string& window, const std::string& name) {
        e2e::Picture p;
        e2e::grabWindow(window, p);
        e2e::screenshot(std::string(TC_TEST_STATE_DIR) + "/e2e-chain-" + name + ".png");
        return p;
    }

    std::string playerFolder, song;
};

TEST_F(ConnectChainE2e, ConnectFromTheMenuThenClickHereStartsTheGameRidingTheSong) {
    std::filesystem::create_symlink(std::string(TC_DIST_DIR) + "/TCwavetap2.so",
                                    scratch.file("TCwavetap2.so"));
    std::filesystem::create_symlink(std::string(TC_DIST_DIR) + "/Tonecrest",
                                    scratch.file("Tonecrest"));
    // What `make run` does once: the player control is registered.
    e2e::registerLibrary(scratch.path(), std::string(TC_DIST_DIR) + "/tcplayerctl.so", env);
    e2e::createInstallKey();

    auto player = startPlayer();
    std::string playerWindow = e2e::waitForWindow("^tcplayer$", 15000);
    ASSERT_FALSE(playerWindow.empty()) << playerOutput();
    e2e::pressKey(playerWindow, "q"); // the queue view, away from the now-playing pane
    e2e::BlockWatch block(env);

    std::string window = start();
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(e2e::waitForFileText(scratch.file("TestThis.txt"), "GL_RENDERER", 10000));
    usleep(1000000);
    // The game, started last, hides the player's pane.
    EXPECT_LT(count(grab(playerWindow, "player-behind"), 8, 126, 82, 147, magenta), 50);
    e2e::pressKey(window, "F1");
    usleep(1500000);                // the main page's images load
    clickOverlay(window, 510, 160); // Quick Setup
    usleep(1000000);
    grab(window, "setup");
    clickOverlay(window, 512, 370); // step 1: connect to the player

    // The plug-in is registered, NowPane has asked tcplayer for its now-playing pane and to come
    // forward: the player's window, in front of the game, shows the plug-in's "Click Here".
    int clickHere = 0;
    e2e::Picture front;
    for (int i = 0; i < 40 && clickHere < 50; ++i) {
        usleep(250000);
        front = grab(playerWindow, "player-front");
        clickHere = count(front, 8, 126, 82, 147, magenta);
    }
    EXPECT_GT(clickHere, 50) << playerOutput();
    plat::setRegistryRoot(registryRoot);
    HKEY effects = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                            "SOFTWARE\\Microsoft\\MediaPlayer\\Objects\\Effects\\Wavetap1", 0,
                            KEY_READ, &effects),
              ERROR_SUCCESS);
    RegCloseKey(effects);
    // The visualization draws the song: the block carries its title and a moving spectrum.
    long firstSum = -1;
    EXPECT_TRUE(block.waitUntil(5000, [&] {
        if (block.titleText() != "E2E Song" || block.sum() == 0) {
            return false;
        }
        if (firstSum < 0) {
            firstSum = block.sum();
        }
        return block.sum() != firstSum;
    })) << block.titleText();

    // The first game goes; "Click Here" starts the game from the recorded folder.
    game.reset();
    e2e::xdotool("mousemove --window " + playerWindow + " 30 137");
    usleep(200000);
    e2e::xdotool("click 1");
    std::string rider = e2e::waitForWindow(e2e::kGameWindow, 15000);
    ASSERT_FALSE(rider.empty()) << playerOutput();
    // Once its splash is over the game shows the song's title at the bottom left.
    usleep(kSplashMs * 1000);
    int end = -1;
    for (int i = 0; i < 20 && end < 150; ++i) {
        usleep(500000);
        end = titleEnd(grab(rider, "riding"));
    }
    EXPECT_GT(end, 150) << "no title on the ride";
    EXPECT_TRUE(e2e::requestClose(playerWindow));
    EXPECT_EQ(player->waitExit(10000), 0) << playerOutput();
}

TEST_F(ConnectChainE2e, APlayerKilledMidRideLeavesTheGameRunningAndANewOneFeedsItAgain) {
    std::filesystem::create_symlink(std::string(TC_DIST_DIR) + "/TCwavetap2.so",
                                    scratch.file("TCwavetap2.so"));
    e2e::registerLibrary(scratch.path(), "TCwavetap2.so", env);
    auto player = startPlayer();
    ASSERT_FALSE(e2e::waitForWindow("^tcplayer$", 15000).empty()) << playerOutput();
    e2e::BlockWatch block(env);
    ASSERT_TRUE(block.waitUntil(10000, [&] { return block.titleText() == "E2E Song"; }));
    std::string window = start();
    ASSERT_FALSE(window.empty());
    usleep(kSplashMs * 1000);
    // The notice's gold pixels where it shows (overlay 512, 850), in a screenshot named shot.
    auto noticePixels = [&](const char* shot) {
        return count(grab(window, shot), 250, 75, 550, 130, gold);
    };
    // Riding the song: no notice there. A notice stays, but the dragon's fire or a late splash
    // can pass through there for a moment.
    int notice = noticePixels("riding-before");
    for (int waited = 0; waited < 10 && notice >= 50; ++waited) {
        usleep(1000000);
        notice = noticePixels("riding-before");
    }
    EXPECT_LT(notice, 50);

    player.reset(); // killed, as a crash would
    auto killed = std::chrono::steady_clock::now();
    // The game carries on; once the spectrum has stood still for 30 seconds of ride time it
    // shows the no-music notice (gold lettering at the top), not before.
    for (int waited = 0; waited < 45 && notice <= 500; ++waited) {
        usleep(1000000);
        ASSERT_TRUE(game->running()) << testsupport::readFile(scratch.file("stdout.txt"));
        notice = noticePixels("no-music");
    }
    EXPECT_GT(notice, 500);
    EXPECT_GE(std::chrono::steady_clock::now() - killed, std::chrono::seconds(29));

    // A new player: the same game rides again, the notice goes.
    player = startPlayer();
    ASSERT_FALSE(e2e::waitForWindow("^tcplayer$", 15000).empty()) << playerOutput();
    for (int waited = 0; waited < 30 && notice > 50; ++waited) {
        usleep(500000);
        notice = noticePixels("music-again");
    }
    EXPECT_LE(notice, 50);
    EXPECT_TRUE(block.waitUntil(5000, [&] { return block.sum() > 0; }));
    EXPECT_EQ(quitWithEscape(window), 0);
}

} // namespace
