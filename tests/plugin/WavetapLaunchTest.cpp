// The "Click Here" hot area: its cursor, and the start of the game from the folder the game
// recorded.
#include "platform/window/Cursor.h"
#include "tests/e2e/Desktop.h"
#include "tests/plugin/FakeHost.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace {

using fakehost::PluginTest;

class LaunchTest : public PluginTest {
  protected:
    void SetUp() override {
        PluginTest::SetUp();
        ASSERT_NE(openPane(600, 400), nullptr);
        ASSERT_EQ(effects->Create(pane), S_OK);
    }

    // A stand-in game in folder that records its working folder and arguments.
    std::string installFakeGame() {
        std::string folder = scratch.file("game folder");
        mkdir(folder.c_str(), 0755);
        std::string game = folder + "/Tonecrest";
        testsupport::writeFile(
            game, "#!/bin/sh\necho \"$(pwd) $*\" > \"" + scratch.file("started") + ".tmp\"\nmv \"" +
                      scratch.file("started") + ".tmp\" \"" + scratch.file("started") + "\"\n");
        chmod(game.c_str(), 0755);
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE,
                                  "SOFTWARE\\Brightfold Software\\Tonecrest 2.0", 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, "ExePath", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                       static_cast<DWORD>(folder.size() + 1));
        RegCloseKey(key);
        return folder;
    }

    HRESULT message(UINT m, int x, int y, LRESULT* result = nullptr) {
        return effects->OnWindowMessage(
            m, 0, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)), result);
    }

    bool started(int waitMs) {
        for (int waited = 0; waited <= waitMs; waited += 50) {
            if (testsupport::fileExists(scratch.file("started"))) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
};

TEST_F(LaunchTest, APressInsideTheHotAreaStartsTheGameFromItsFolder) {
    std::string folder = installFakeGame();
    LRESULT result = 12345;
    EXPECT_EQ(message(WM_LBUTTONDOWN, 81, 145, &result), S_FALSE);
    EXPECT_EQ(message(WM_LBUTTONDOWN, 80, 146, &result), S_FALSE);
    EXPECT_EQ(message(WM_LBUTTONDOWN, 8, 130, &result), S_FALSE);
    EXPECT_EQ(message(WM_LBUTTONDOWN, 40, 127, &result), S_FALSE);
    EXPECT_EQ(message(WM_MOUSEMOVE, 80, 145, &result), S_FALSE);
    EXPECT_EQ(message(WM_LBUTTONUP, 80, 145, &result), S_FALSE);
    EXPECT_FALSE(started(300));

    EXPECT_EQ(message(WM_LBUTTONDOWN, 80, 145, &result), S_FALSE);
    EXPECT_EQ(result, 12345) << "the result is never written";
    ASSERT_TRUE(started(5000));
    EXPECT_EQ(testsupport::readFile(scratch.file("started")), folder + " wmp\n");
    // The player's process now works in the game's folder.
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(std::string(cwd), folder);
    (void)!chdir(scratch.path().c_str());
    message(WM_MOUSEMOVE, 300, 300); // lets go of the capture
}

TEST_F(LaunchTest, TheHandCursorIsSetOnceAndTheOldOneComesBack) {
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
    SetCursor(arrow);
    EXPECT_EQ(message(WM_MOUSEMOVE, 9, 128), S_FALSE);
    EXPECT_EQ(GetCursor(), hand);
    EXPECT_EQ(GetCapture(), pane);
    // Something else sets a cursor; moving inside again leaves it alone.
    SetCursor(nullptr);
    message(WM_MOUSEMOVE, 50, 140);
    EXPECT_EQ(GetCursor(), nullptr);
    SetCursor(hand);
    message(WM_MOUSEMOVE, 81, 140);
    EXPECT_EQ(GetCursor(), arrow);
    EXPECT_EQ(GetCapture(), nullptr);
    // Outside and not captured: nothing changes.
    SetCursor(hand);
    message(WM_MOUSEMOVE, 500, 10);
    EXPECT_EQ(GetCursor(), hand);
    // Coordinates are unsigned 16-bit words: -1 is 65535, far outside.
    EXPECT_EQ(effects->OnWindowMessage(WM_LBUTTONDOWN, 0, -1, nullptr), S_FALSE);
    EXPECT_EQ(
        effects->OnWindowMessage(WM_MOUSEMOVE, 0, static_cast<LPARAM>(0x7FFFFFFFFFFFLL), nullptr),
        S_FALSE);
    EXPECT_FALSE(started(200));
}

TEST_F(LaunchTest, WithoutTheGamesFolderTheUserIsToldToRunItOnce) {
    // Nothing recorded: the start fails and a box explains it; the answer comes from the desktop.
    // The answer is given from a child process started before the box: the box is shown by a
    // process that the message box forks, and a fork while another thread of this process is
    // inside Xlib leaves that process waiting forever for a lock the fork took along.
    const pid_t watcher = fork();
    ASSERT_GE(watcher, 0);
    if (watcher == 0) {
        bool answered = false;
        if (!e2e::waitForWindow("^Tone Crest 2.0$", 30000).empty()) {
            e2e::screenshot(std::string(TC_TEST_STATE_DIR) + "/plugin-launch-box.png");
            // A slow desktop may miss the first key press.
            for (int attempt = 0; attempt < 5 && !answered; ++attempt) {
                answered = e2e::answerMessageBox("Tone Crest 2.0", true, 5000);
            }
        }
        _exit(answered ? 0 : 1);
    }
    EXPECT_EQ(message(WM_LBUTTONDOWN, 20, 135), S_FALSE);
    int status = 0;
    ASSERT_EQ(waitpid(watcher, &status, 0), watcher);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the box was not answered";
    EXPECT_FALSE(started(200));
}

} // namespace
