// tcplayer on the desktop: the real playerctl drives it over a private session bus as media
// keys and panels do, and F11 gives it the whole screen and back.
#include "tests/e2e/Desktop.h"
#include "tests/e2e/PlayerSetup.h"
#include "tests/support/PrivateBus.h"
#include "tests/support/TestPaths.h"
#include "tests/support/WaitFor.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <cstdio>
#include <filesystem>

using namespace std::chrono_literals;

namespace {

// playerctl's answer about tcplayer on the bus.
std::string playerctl(const std::string& busAddress, const std::string& args) {
    return e2e::commandOutput("env DBUS_SESSION_BUS_ADDRESS='" + busAddress +
                              "' playerctl -p tcplayer " + args + " 2>&1");
}

} // namespace

TEST(PlayerDesktopE2e, PlayerctlReadsTheStatusAndTitlePausesAndMovesOn) {
    testsupport::ScratchDir scratch;
    testsupport::PrivateBus bus(scratch.path());
    std::string error;
    ASSERT_TRUE(bus.start(error)) << error;
    auto env = e2e::playerEnvironment(scratch, "mpris");
    env["DBUS_SESSION_BUS_ADDRESS"] = bus.address();
    e2e::makeSong(scratch.file("one.flac"), "First Tune", 30);
    e2e::makeSong(scratch.file("two.flac"), "Second Tune", 30);
    e2e::Program player(std::string(TC_DIST_DIR) + "/tcplayer",
                        {scratch.file("one.flac"), scratch.file("two.flac")}, scratch.path(), env);
    auto output = [&] { return testsupport::readFile(scratch.file("stdout.txt")); };

    std::string status;
    ASSERT_TRUE(testsupport::waitFor(
        [&] { return (status = playerctl(bus.address(), "status")) == "Playing"; }, 20000ms))
        << status << "\n"
        << output();
    EXPECT_EQ(playerctl(bus.address(), "metadata title"), "First Tune");
    EXPECT_EQ(playerctl(bus.address(), "metadata xesam:url"), "file://" + scratch.file("one.flac"));
    EXPECT_EQ(playerctl(bus.address(), "metadata mpris:length"), "30000000");

    playerctl(bus.address(), "pause");
    EXPECT_TRUE(testsupport::waitFor(
        [&] { return (status = playerctl(bus.address(), "status")) == "Paused"; }, 5000ms))
        << status;
    // A client that listens, as desktop panels do, hears the change without asking.
    std::string followed = e2e::commandOutput(
        "env DBUS_SESSION_BUS_ADDRESS='" + bus.address() +
        "' timeout 4 playerctl -p tcplayer --follow status 2>&1 & sleep 1.5; env "
        "DBUS_SESSION_BUS_ADDRESS='" +
        bus.address() + "' playerctl -p tcplayer play; wait");
    EXPECT_NE(followed.find("Paused\nPlaying"), std::string::npos) << followed;

    playerctl(bus.address(), "next");
    std::string title;
    EXPECT_TRUE(testsupport::waitFor(
        [&] { return (title = playerctl(bus.address(), "metadata title")) == "Second Tune"; },
        5000ms))
        << title;
    EXPECT_EQ(playerctl(bus.address(), "status"), "Playing");
    EXPECT_EQ(output().find("media keys"), std::string::npos) << output();
}

// The album and the cover reach the desktop's panels: the cover as a file in the user's cache,
// which stays bounded, and a song without one announces none.
TEST(PlayerDesktopE2e, PlayerctlSeesTheAlbumAndTheCoverFileOfTheSong) {
    testsupport::ScratchDir scratch;
    testsupport::PrivateBus bus(scratch.path());
    std::string error;
    ASSERT_TRUE(bus.start(error)) << error;
    auto env = e2e::playerEnvironment(scratch, "mprisart");
    env["DBUS_SESSION_BUS_ADDRESS"] = bus.address();
    std::string cover = testsupport::pngPicture(24, 16);
    ASSERT_EQ(cover.compare(0, 4, "\x89PNG"), 0);
    e2e::makeSong(scratch.file("one.flac"), "Covered", 10, {"Night Drive", cover});
    e2e::makeSong(scratch.file("two.flac"), "Bare", 10);
    // A full cache: the oldest of its pictures makes room for the new one.
    std::string art = scratch.file("cache/tonecrest/art");
    std::filesystem::create_directories(art);
    for (int i = 0; i < 50; ++i) {
        std::string old = art + "/old" + std::to_string(i) + ".png";
        testsupport::writeFile(old, "old");
        timespec times[2] = {{1000 + i, 0}, {1000 + i, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, old.c_str(), times, 0), 0);
    }
    e2e::Program player(std::string(TC_DIST_DIR) + "/tcplayer",
                        {scratch.file("one.flac"), scratch.file("two.flac")}, scratch.path(), env);

    std::string title;
    ASSERT_TRUE(testsupport::waitFor(
        [&] { return (title = playerctl(bus.address(), "metadata title")) == "Covered"; }, 20000ms))
        << title << "\n"
        << testsupport::readFile(scratch.file("stdout.txt"));
    EXPECT_EQ(playerctl(bus.address(), "metadata album"), "Night Drive");
    std::string artUrl = playerctl(bus.address(), "metadata mpris:artUrl");
    ASSERT_EQ(artUrl.rfind("file://" + art + "/", 0), 0u) << artUrl;
    EXPECT_EQ(testsupport::readFile(artUrl.substr(7)), cover);
    size_t kept = 0;
    for (const auto& entry : std::filesystem::directory_iterator(art)) {
        kept += entry.is_regular_file() ? 1 : 0;
    }
    EXPECT_EQ(kept, 50u);
    EXPECT_FALSE(std::filesystem::exists(art + "/old0.png"));
    EXPECT_TRUE(std::filesystem::exists(art + "/old1.png"));

    playerctl(bus.address(), "next");
    EXPECT_TRUE(testsupport::waitFor(
        [&] { return (title = playerctl(bus.address(), "metadata title")) == "Bare"; }, 5000ms))
        << title;
    std::string all = playerctl(bus.address(), "metadata");
    EXPECT_NE(all.find("xesam:url"), std::string::npos) << all;
    EXPECT_EQ(all.find("mpris:artUrl"), std::string::npos) << all;
    EXPECT_EQ(all.find("xesam:album"), std::string::npos) << all;
}

// Without a session bus tcplayer plays as ever, and says once why media keys cannot reach it.
TEST(PlayerDesktopE2e, WithoutABusItPlaysAndSaysSoOnceAndF11TogglesFullScreen) {
    testsupport::ScratchDir scratch;
    auto env = e2e::playerEnvironment(scratch, "nobus"); // points at a bus that is not there
    e2e::makeSong(scratch.file("one.flac"), "Lone Tune", 30);
    e2e::Program player(std::string(TC_DIST_DIR) + "/tcplayer", {scratch.file("one.flac")},
                        scratch.path(), env);
    std::string window = e2e::waitForWindow("^tcplayer$", 15000);
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(e2e::waitForFileText(scratch.file("stdout.txt"), "media keys", 10000));
    std::string output = testsupport::readFile(scratch.file("stdout.txt"));
    EXPECT_EQ(output.find("media keys"), output.rfind("media keys")) << output;

    int screenW = 0, screenH = 0;
    ASSERT_EQ(std::sscanf(e2e::xdotool("getdisplaygeometry").c_str(), "%d %d", &screenW, &screenH),
              2);
    e2e::Picture before;
    ASSERT_TRUE(e2e::grabWindow(window, before));
    e2e::pressKey(window, "F11");
    e2e::Picture full;
    EXPECT_TRUE(testsupport::waitFor(
        [&] {
            return e2e::grabWindow(window, full) && full.width == screenW && full.height == screenH;
        },
        10000ms))
        << full.width << "x" << full.height;
    e2e::pressKey(window, "F11");
    e2e::Picture back;
    EXPECT_TRUE(testsupport::waitFor(
        [&] {
            return e2e::grabWindow(window, back) && back.width == before.width &&
                   back.height == before.height;
        },
        10000ms))
        << back.width << "x" << back.height;
    EXPECT_TRUE(player.running());
}
