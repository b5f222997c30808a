// tcplayer against a careless or hostile user: a named pipe in the queue, thousands of files
// handed over by a second tcplayer, the music block cut to nothing by another process, and a
// runtime folder taken by another user.
#include "player/remote/RemoteServer.h"
#include "tests/e2e/Desktop.h"
#include "tests/e2e/PlayerSetup.h"
#include "tests/support/RemotePump.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

class PlayerHardeningE2e : public ::testing::Test {
  protected:
    void SetUp() override {
        env = e2e::playerEnvironment(scratch, "tcharden");
        env["PULSE_SERVER"] = "unix:" + scratch.file("no-pulse");
    }
    std::string output(const std::string& folder = "") {
        return testsupport::readFile((folder.empty() ? scratch.path() : folder) + "/stdout.txt");
    }
    std::string tcplayer() const { return std::string(TC_DIST_DIR) + "/tcplayer"; }

    testsupport::ScratchDir scratch;
    std::map<std::string, std::string> env;
};

TEST_F(PlayerHardeningE2e, ANamedPipeIsSkippedAndQuittingEndsWithinASecond) {
    std::string pipe = scratch.file("pipe.flac");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    e2e::Program player(tcplayer(), {pipe}, scratch.path(), env);
    std::string window = e2e::waitForWindow("^tcplayer$", 15000);
    ASSERT_FALSE(window.empty()) << output();
    EXPECT_TRUE(e2e::waitForFileText(scratch.file("stdout.txt"), "is a named pipe", 5000))
        << output();
    e2e::pressKey(window, "ctrl+q");
    auto quit = Clock::now();
    EXPECT_EQ(player.waitExit(3000), 0) << output();
    EXPECT_LT(Clock::now() - quit, std::chrono::seconds(1));
}

TEST_F(PlayerHardeningE2e, ASecondTcplayerHandsOverFiveThousandFilesAndAllAreQueued) {
    std::string song = scratch.file("song.flac");
    e2e::makeSong(song, "One Of Many", 5.0);
    std::string many = scratch.file("many songs with long names");
    std::filesystem::create_directories(many);
    std::vector<std::string> files;
    for (int i = 0; i < 5000; ++i) {
        char name[96];
        std::snprintf(name, sizeof name, "/%04d - a song on the album.flac", i);
        files.push_back(many + name);
        std::filesystem::create_symlink(song, files.back());
    }
    e2e::Program first(tcplayer(), {}, scratch.path(), env);
    std::string window = e2e::waitForWindow("^tcplayer$", 15000);
    ASSERT_FALSE(window.empty()) << output();

    std::string other = scratch.file("second");
    std::filesystem::create_directories(other);
    e2e::Program second(tcplayer(), files, other, env);
    EXPECT_EQ(second.waitExit(15000), 0) << output(other);
    EXPECT_NE(output(other).find("handed over"), std::string::npos) << output(other);

    // The first takes the requests at its next frames; then it keeps them all.
    std::this_thread::sleep_for(std::chrono::seconds(2));
    EXPECT_TRUE(e2e::requestClose(window));
    EXPECT_EQ(first.waitExit(10000), 0) << output();
    std::istringstream conf(testsupport::readFile(scratch.file("config/tonecrest/tcplayer.conf")));
    std::vector<std::string> queued;
    for (std::string line; std::getline(conf, line);) {
        if (line.rfind("song=", 0) == 0) {
            queued.push_back(line.substr(5));
        }
    }
    EXPECT_EQ(queued.size(), files.size());
    EXPECT_TRUE(queued == files);
}

TEST_F(PlayerHardeningE2e, AStarterThatLosesTheStartRaceHandsOverOnceTheWinnerListens) {
    // The winner of the race holds the lock but does not listen yet.
    std::string socket = env.at("TONECREST_RUNTIME_DIR") + "/tcplayer.sock";
    int lock = open((socket + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_EQ(flock(lock, LOCK_EX | LOCK_NB), 0);
    std::string song = scratch.file("late.flac");
    e2e::Program loser(tcplayer(), {song}, scratch.path(), env);
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    close(lock);
    RemoteServer winner;
    std::string error;
    ASSERT_EQ(winner.listen(socket, error), RemoteServer::Result::Listening) << error;
    testsupport::RemotePump pump(winner);
    EXPECT_EQ(loser.waitExit(5000), 0) << output();
    auto got = pump.requests(2);
    ASSERT_GE(got.size(), 2u) << output();
    EXPECT_TRUE(got[0] == RemoteRequest::open({song}));
    EXPECT_TRUE(got[1] == RemoteRequest::foreground());
}

TEST_F(PlayerHardeningE2e, TheBlockCutToNothingWhilePlayingIsMadeWholeAgain) {
    std::filesystem::create_symlink(std::string(TC_DIST_DIR) + "/TCwavetap2.so",
                                    scratch.file("TCwavetap2.so"));
    e2e::registerLibrary(scratch.path(), "TCwavetap2.so", env);
    std::string song = scratch.file("song.flac");
    e2e::makeSong(song, "Still Here", 30.0);
    e2e::BlockWatch block(env);
    e2e::Program player(tcplayer(), {song}, scratch.path(), env);
    std::string window = e2e::waitForWindow("^tcplayer$", 15000);
    ASSERT_FALSE(window.empty()) << output();
    ASSERT_TRUE(block.waitUntil(10000, [&] { return block.titleText() == "Still Here"; }))
        << output();
    std::string name = "/" + env.at("TONECREST_SHM_NAMESPACE") + "memMap";
    for (int round = 0; round < 3; ++round) {
        int fd = shm_open(name.c_str(), O_RDWR, 0);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, 0), 0);
        close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ASSERT_TRUE(player.running()) << "round " << round << "\n" << output();
        EXPECT_TRUE(block.waitUntil(
            5000, [&] { return block.titleText() == "Still Here" && block.sum() > 0; }))
            << "round " << round;
    }
    EXPECT_TRUE(e2e::requestClose(window));
    EXPECT_EQ(player.waitExit(10000), 0) << output();
}

TEST_F(PlayerHardeningE2e, ARuntimeFolderOfAnotherUserGivesWayToAPrivateOne) {
    std::string foreign = env.at("TONECREST_RUNTIME_DIR");
    if (chown(foreign.c_str(), 65534, 65534) != 0) {
        GTEST_SKIP() << "only root can give a folder to another user";
    }
    std::string song = scratch.file("song.flac");
    e2e::makeSong(song, "Private", 20.0);
    e2e::Program first(tcplayer(), {}, scratch.path(), env);
    std::string window = e2e::waitForWindow("^tcplayer$", 15000);
    ASSERT_FALSE(window.empty()) << output();
    EXPECT_TRUE(e2e::waitForFileText(
        scratch.file("stdout.txt"),
        foreign + " belongs to another user; using " + scratch.file("cache/tonecrest/run-"), 5000))
        << output();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    e2e::screenshot(std::string(TC_TEST_STATE_DIR) + "/e2e-player-foreign-runtime.png");

    // The single instance still holds: a second tcplayer hands its song over.
    std::string other = scratch.file("second");
    std::filesystem::create_directories(other);
    e2e::Program second(tcplayer(), {song}, other, env);
    EXPECT_EQ(second.waitExit(10000), 0) << output(other);
    EXPECT_NE(output(other).find("handed over"), std::string::npos) << output(other);
    EXPECT_TRUE(e2e::requestClose(window));
    EXPECT_EQ(first.waitExit(10000), 0) << output();
}

} // namespace
