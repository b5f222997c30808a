// tcplayer as a user meets it from the command line: listening to the desktop with the real
// plug-in (a tone played into the default output reaches the music block in its cell, across
// a missing and a restarted sound server), and one tcplayer per user, which registers the
// player control.
#include "platform/com/Com.h"
#include "platform/media/Player.h"
#include "player/spectrum/SpectrumAnalyzer.h"
#include "tests/e2e/Desktop.h"
#include "tests/e2e/PlayerSetup.h"
#include "tests/support/PulseServer.h"
#include "tests/support/TestPaths.h"
#include "tests/support/ToneCell.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <thread>

namespace {

// Pixels of the panel's message row (the last line of the window) in the warning colour.
int warningPixels(const std::string& window) {
    e2e::Picture p;
    if (!e2e::grabWindow(window, p)) {
        return -1;
    }
    int n = 0;
    for (int y = p.height - 30; y < p.height - 8; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const unsigned char* c = p.at(x, y);
            n += c[0] > 200 && c[1] > 130 && c[1] < 210 && c[2] < 110 ? 1 : 0;
        }
    }
    return n;
}

class PlayerListenE2e : public ::testing::Test {
  protected:
    void SetUp() override {
        env = e2e::playerEnvironment(scratch, "tclisten");
        std::filesystem::create_symlink(std::string(TC_DIST_DIR) + "/TCwavetap2.so",
                                        scratch.file("TCwavetap2.so"));
        e2e::registerLibrary(scratch.path(), "TCwavetap2.so", env);
    }
    std::string output() { return testsupport::readFile(scratch.file("stdout.txt")); }

    testsupport::ScratchDir scratch;
    std::map<std::string, std::string> env;
};

TEST_F(PlayerListenE2e, TheDesktopsToneReachesThePlugInAcrossAMissingAndARestartedServer) {
    std::filesystem::create_directories(scratch.file("pulse"));
    testsupport::PulseServer server(
        scratch.file("pulse"),
        {"module-null-sink sink_name=speakers norewinds=1", "module-null-source source_name=mic"});
    env["PULSE_SERVER"] = server.address();
    e2e::BlockWatch block(env);
    e2e::Program player(std::string(TC_DIST_DIR) + "/tcplayer", {"--listen"}, scratch.path(), env);
    std::string window = e2e::waitForWindow("^tcplayer$", 15000);
    ASSERT_FALSE(window.empty()) << output();

    // No server yet: said plainly, on the terminal and in the window, and it waits.
    const std::string stdoutFile = scratch.file("stdout.txt");
    EXPECT_TRUE(e2e::waitForFileText(stdoutFile, "No sound server is running", 8000)) << output();
    int warning = 0;
    for (int i = 0; i < 20 && warning < 200; ++i) {
        usleep(200000);
        warning = warningPixels(window);
    }
    EXPECT_GT(warning, 200);
    e2e::screenshot(scratch.file("no-server.png"));
    e2e::screenshot(std::string(TC_TEST_STATE_DIR) + "/e2e-listen-no-server.png");

    std::string error;
    ASSERT_TRUE(server.start(error)) << error;
    server.pactl("set-default-source mic");
    EXPECT_TRUE(e2e::waitForFileText(stdoutFile, "Listening to the desktop: ", 8000)) << output();

    // A tone into the output: the plug-in's TimedLevel, copied into the block, peaks in its
    // cell, under the title the desktop gives (no media player announces one here).
    const double first = 93 * 44100.0 / 2048;
    std::thread tone(
        [&] { testsupport::playTone(server.address(), "speakers", first, 0.5f, 3.0); });
    bool heard = block.waitUntil(2500, [&] {
        return block.loudestCell() == testsupport::directToneCell(first) && block.sum() > 0;
    });
    e2e::screenshot(std::string(TC_TEST_STATE_DIR) + "/e2e-listen-tone.png");
    tone.join();
    EXPECT_TRUE(heard) << "loudest cell " << block.loudestCell() << ", expected "
                       << testsupport::directToneCell(first);
    EXPECT_EQ(block.titleText(), "Desktop audio");
    int monitor = server.sourceIndex("speakers.monitor");
    for (int source : server.recordingSources()) {
        EXPECT_EQ(source, monitor) << "recorded something other than the output";
    }

    // The server goes away and comes back: tcplayer says so, reconnects and hears again.
    server.kill();
    EXPECT_TRUE(e2e::waitForFileText(stdoutFile, "Lost the sound server; reconnecting.", 8000))
        << output();
    ASSERT_TRUE(server.start(error)) << error;
    EXPECT_TRUE(e2e::waitForFileText(stdoutFile, "Reconnected to the sound server.", 8000))
        << output();
    const double second = 200 * 44100.0 / 2048;
    usleep(1500000); // the stream to the new server's monitor is up
    tone = std::thread(
        [&] { testsupport::playTone(server.address(), "speakers", second, 0.5f, 3.0); });
    heard = block.waitUntil(
        2500, [&] { return block.loudestCell() == testsupport::directToneCell(second); });
    tone.join();
    EXPECT_TRUE(heard) << "loudest cell " << block.loudestCell() << ", expected "
                       << testsupport::directToneCell(second);

    EXPECT_TRUE(e2e::requestClose(window));
    EXPECT_EQ(player.waitExit(10000), 0) << output();
}

TEST_F(PlayerListenE2e,
       ASecondTcplayerHandsItsFilesToTheFirstAndEndsAndTheFirstRegisteredTheControl) {
    std::string songs = scratch.file("songs");
    std::filesystem::create_directories(songs);
    e2e::makeSong(songs + "/song.flac", "Handed Over", 20.0);
    env["PULSE_SERVER"] = "unix:" + scratch.file("no-pulse");
    e2e::BlockWatch block(env);
    e2e::Program first(std::string(TC_DIST_DIR) + "/tcplayer", {}, scratch.path(), env);
    std::string window = e2e::waitForWindow("^tcplayer$", 15000);
    ASSERT_FALSE(window.empty()) << output();

    // The second one is started in the song's folder with a relative name.
    e2e::Program second(std::string(TC_DIST_DIR) + "/tcplayer", {"song.flac"}, songs, env);
    EXPECT_EQ(second.waitExit(10000), 0) << testsupport::readFile(songs + "/stdout.txt");
    EXPECT_NE(testsupport::readFile(songs + "/stdout.txt").find("handed over"), std::string::npos);
    EXPECT_TRUE(block.waitUntil(10000, [&] { return block.titleText() == "Handed Over"; }))
        << block.titleText() << "\n"
        << output();
    EXPECT_EQ(e2e::xdotool("search --name '^tcplayer$' | wc -l"), "1");

    // The first one registered the player control beside it, so NowPane can reach it.
    plat::setRegistryRoot(env.at("XDG_CONFIG_HOME") + "/tonecrest/registry");
    std::string control;
    EXPECT_EQ(plat::classServerPath(CLSID_WindowsMediaPlayer, &control), S_OK);
    plat::setRegistryRoot("");
    EXPECT_EQ(std::filesystem::path(control),
              std::filesystem::path(TC_DIST_DIR) / "tcplayerctl.so");

    // A second `tcplayer --listen` switches the first to listening.
    std::string other = scratch.file("other");
    std::filesystem::create_directories(other);
    e2e::Program third(std::string(TC_DIST_DIR) + "/tcplayer", {"--listen"}, other, env);
    EXPECT_EQ(third.waitExit(10000), 0) << testsupport::readFile(other + "/stdout.txt");
    EXPECT_TRUE(
        e2e::waitForFileText(scratch.file("stdout.txt"), "No sound server is running", 8000))
        << output();
    EXPECT_TRUE(block.waitUntil(5000, [&] { return block.titleText() == "Desktop audio"; }));

    EXPECT_TRUE(e2e::requestClose(window));
    EXPECT_EQ(first.waitExit(10000), 0) << output();
}

} // namespace
