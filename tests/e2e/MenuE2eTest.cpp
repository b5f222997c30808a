// The real game's menu on the test display, driven with the pointer and keys: the view-point
// page and the status line, the settings file at exit, the exit button, the no-music notice,
// the help pages and the window's icon.
#include "game/menu/SettingsFile.h"
#include "platform/help/HtmlHelp.h"
#include "platform/registry/Registry.h"
#include "tests/e2e/Desktop.h"
#include "tests/e2e/GameFixture.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

namespace {

using e2e::GameE2e;

// The start-up splash holds five seconds and fades for about eight.
constexpr int kSplashMs = 13500;

class MenuE2e : public GameE2e {
  protected:
    void SetUp() override {
        GameE2e::SetUp();
        std::filesystem::create_directory_symlink(std::string(TC_DIST_DIR) + "/help",
                                                  scratch.file("help"));
    }
    // Starts the game and waits until it draws its frames.
    std::string startRiding() {
        std::string window = start();
        EXPECT_TRUE(e2e::waitForFileText(scratch.file("TestThis.txt"), "GL_RENDERER", 10000));
        usleep(1500000);
        return window;
    }
    // A click at a position of the menu's 1024 x 1024 overlay (y up) in the 800 x 600 window.
    void clickAt(const std::string& window, int x, int y) {
        int wx = x * 800 / 1024, wy = 600 - y * 600 / 1024;
        e2e::xdotool("mousemove --window " + window + " " + std::to_string(wx) + " " +
                     std::to_string(wy));
        usleep(250000);
        e2e::xdotool("click 1");
        usleep(600000);
    }
    // Pixels of the window in the rectangle that pass the test.
    static int count(const e2e::Picture& p, int x0, int y0, int x1, int y1,
                     const std::function<bool(const unsigned char*)>& test) {
        int n = 0;
        for (int y = y0; y < y1 && y < p.height; ++y) {
            for (int x = x0; x < x1 && x < p.width; ++x) {
                n += test(p.at(x, y)) ? 1 : 0;
            }
        }
        return n;
    }
    // The HUD's red text is added to the scene: red comes out full, over sky and grass alike.
    static bool red(const unsigned char* c) {
        return c[0] >= 240 && c[0] >= c[1] + 60 && c[0] >= c[2] + 15;
    }
    static bool gold(const unsigned char* c) { return c[0] > 200 && c[1] > 120 && c[2] < 110; }
    static bool ice(const unsigned char* c) { return c[2] > 200 && c[0] < 200 && c[1] > 150; }
    // Rightmost column with red text on the first status line (y 460 of the 480-high text
    // space: window rows 5 to 25), from x 150 on.
    static int statusLineEnd(const e2e::Picture& p) {
        int end = -1;
        for (int y = 5; y < 25; ++y) {
            for (int x = 150; x < p.width; ++x) {
                if (red(p.at(x, y))) {
                    end = std::max(end, x);
                }
            }
        }
        return end;
    }
    // Grabs the window every half second, up to ten seconds, until done accepts the picture.
    e2e::Picture waitFor(const std::string& window, const std::string& name,
                         const std::function<bool(const e2e::Picture&)>& done, int seconds = 10) {
        e2e::Picture p;
        for (int i = 0; i < 2 * seconds; ++i) {
            p = grab(window, name);
            if (done(p)) {
                break;
            }
            usleep(500000);
        }
        return p;
    }
    e2e::Picture grab(const std::string& window, const std::string& name) {
        e2e::Picture p;
        EXPECT_TRUE(e2e::grabWindow(window, p));
        e2e::screenshot(std::string(TC_TEST_STATE_DIR) + "/e2e-menu-" + name + ".png");
        return p;
    }
};

TEST_F(MenuE2e, ViewPointChosenInTheMenuRidesShowsAndIsSaved) {
    std::string window = startRiding();
    ASSERT_FALSE(window.empty());
    // The status line shows for five seconds once the splash has ended.
    usleep((kSplashMs - 3000) * 1000);
    e2e::Picture ride = waitFor(
        window, "ride", [](const e2e::Picture& p) { return statusLineEnd(p) > 700; }, 8);
    // The ride: the title of the music at the bottom left, the status line of the default view
    // point ("ViewPoint: Cycle Through View Points; HeadTilt OFF") at the top.
    EXPECT_GT(count(ride, 10, 570, 100, 595, red), 20);
    EXPECT_GT(statusLineEnd(ride), 700);
    e2e::pressKey(window, "F1");
    // The main page: the gold title at the top over the page's background (its images load
    // the first time it shows).
    e2e::Picture page = waitFor(window, "main", [](const e2e::Picture& p) {
        return count(p, 60, 20, 660, 110, gold) > 3000;
    });
    EXPECT_GT(count(page, 60, 20, 660, 110, gold), 3000);
    EXPECT_EQ(count(page, 10, 570, 100, 595, red), 0);
    clickAt(window, 510, 560); // View Points
    clickAt(window, 635, 510); // Mid
    grab(window, "viewpoints");
    clickAt(window, 650, 80); // Save
    usleep(800000);
    e2e::Picture after = grab(window, "saved");
    // "ViewPoint: Forward Mid; HeadTilt OFF" ends near x 125 + 36 x 10 of the text space.
    int end = statusLineEnd(after);
    EXPECT_GT(end, 560);
    EXPECT_LT(end, 660);
    EXPECT_EQ(quitWithEscape(window), 0);
    RideSettings s{};
    ASSERT_TRUE(settingsfile::load(scratch.file("Settings.dat").c_str(), s));
    EXPECT_EQ(s.viewPoint, 23);
    EXPECT_TRUE(s.dragonOn);
    EXPECT_FLOAT_EQ(s.speed, 0.5f);
}

TEST_F(MenuE2e, CancelKeepsTheSettingsAndTheRideGoesOn) {
    std::string window = startRiding();
    ASSERT_FALSE(window.empty());
    e2e::pressKey(window, "F1");
    clickAt(window, 510, 460); // Wave
    clickAt(window, 377, 200); // Dragon off
    clickAt(window, 510, 460); // nothing here on this page
    clickAt(window, 850, 80);  // Cancel
    EXPECT_TRUE(game->running());
    EXPECT_EQ(quitWithEscape(window), 0);
    RideSettings s{};
    ASSERT_TRUE(settingsfile::load(scratch.file("Settings.dat").c_str(), s));
    EXPECT_TRUE(s.dragonOn);
    EXPECT_EQ(s.viewPoint, 25);
}

TEST_F(MenuE2e, ExitButtonAsksTheQuestion) {
    std::string window = startRiding();
    ASSERT_FALSE(window.empty());
    clickAt(window, 25, 980);
    ASSERT_TRUE(e2e::answerMessageBox("Tone Crest", false));
    usleep(800000);
    EXPECT_TRUE(game->running());
    clickAt(window, 25, 980);
    ASSERT_TRUE(e2e::answerMessageBox("Tone Crest", true));
    EXPECT_EQ(game->waitExit(10000), 0);
}

TEST_F(MenuE2e, NoMusicNoticeAfterThirtySecondsLeadsToTheQuickSetup) {
    std::string window = startRiding();
    ASSERT_FALSE(window.empty());
    usleep(kSplashMs * 1000);
    e2e::Picture before = grab(window, "music-unknown");
    // The notice's gold lettering in its place (overlay 512, 850): not yet.
    EXPECT_LT(count(before, 250, 75, 550, 130, gold), 50);
    // Thirty seconds of ride time after the start; a loaded machine may take a little longer.
    int seen = 0;
    for (int waited = 0; waited < 40 && seen <= 500; ++waited) {
        usleep(1000000);
        e2e::Picture notice = grab(window, "no-music");
        seen = count(notice, 250, 75, 550, 130, gold);
    }
    EXPECT_GT(seen, 500);
    clickAt(window, 512, 850);
    // The first quick-setup page: its ice-blue heading at the top, no gold title. Its images
    // load the first time it shows, which takes a moment.
    int heading = 0, title = 0;
    for (int waited = 0; waited < 10 && (heading <= 2000 || title >= 500); ++waited) {
        e2e::Picture setup = grab(window, "quick-setup");
        heading = count(setup, 100, 20, 700, 100, ice);
        title = count(setup, 60, 20, 660, 110, gold);
        usleep(500000);
    }
    EXPECT_GT(heading, 2000);
    EXPECT_LT(title, 500);
    EXPECT_EQ(quitWithEscape(window), 0);
}

TEST_F(MenuE2e, HelpButtonOpensThePagesInTheViewer) {
    std::string viewer = scratch.file("viewer");
    testsupport::writeFile(viewer, "#!/bin/sh\necho \"$@\" > " + scratch.file("viewer.tmp") +
                                       " && mv " + scratch.file("viewer.tmp") + " " +
                                       scratch.file("viewer.args") + "\n");
    chmod(viewer.c_str(), 0755);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, kHtmlHelpServerKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(viewer.c_str()),
                   static_cast<DWORD>(viewer.size() + 1));
    RegCloseKey(key);
    std::string window = startRiding();
    ASSERT_FALSE(window.empty());
    e2e::pressKey(window, "F1");
    clickAt(window, 510, 260); // Help
    ASSERT_TRUE(e2e::waitForFileText(scratch.file("viewer.args"), "index.html", 5000));
    std::string args = testsupport::readFile(scratch.file("viewer.args"));
    EXPECT_EQ(args, std::filesystem::canonical(scratch.file("help/index.html")).string() + "\n");
    EXPECT_TRUE(testsupport::readFile(scratch.file("help/music.html")).find("tcplayer --listen") !=
                std::string::npos);
    EXPECT_EQ(quitWithEscape(window), 0);
}

TEST_F(MenuE2e, WindowShowsTheGameIcon) {
    std::string window = startRiding();
    ASSERT_FALSE(window.empty());
    FILE* p = popen(("xprop -id " + window + " _NET_WM_ICON 2>&1 | head -c 200").c_str(), "r");
    ASSERT_NE(p, nullptr);
    char buf[256] = {};
    size_t n = fread(buf, 1, sizeof buf - 1, p);
    pclose(p);
    std::string prop(buf, n);
    // The desktop is handed the 64 x 64 icon drawn for the game.
    EXPECT_NE(prop.find("_NET_WM_ICON(CARDINAL)"), std::string::npos) << prop;
    EXPECT_NE(prop.find("Icon (64 x 64)"), std::string::npos) << prop;
    EXPECT_EQ(quitWithEscape(window), 0);
}

} // namespace
