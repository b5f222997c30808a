#include "game/shell/Controls.h"
#include "game/shell/GameWindow.h"
#include "game/shell/SceneDirector.h"
#include "game/shell/ViewSetup.h"
#include "platform/window/Cursor.h"
#include "platform/window/VirtualKeys.h"
#include "platform/window/Window.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

struct SpyMenu : IMenuInput {
    void pointerTest(int x, int y) override {
        calls.push_back("test " + std::to_string(x) + "," + std::to_string(y));
    }
    void setClicked() override { calls.push_back("clicked"); }
    void buttonReleased() override { calls.push_back("released"); }
    int cursorState() const override { return state; }
    void setCursorState(int s) override { state = s; }
    void open() override { calls.push_back("open"); }
    std::vector<std::string> calls;
    int state = 0;
};

// A real window of the game's class, without a GL surface; its procedure is called directly.
class WindowProcTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static AppInstanceInfo info{nullptr, "TonecrestProcTest"};
        ASSERT_TRUE(registerWindowClass(&info));
    }
    void SetUp() override {
        record.keyTable = &keys;
        sceneDirector = &director;
        director.attachMenu(&menu);
        window = CreateWindowExA(0, "TonecrestProcTest", "t", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600,
                                 nullptr, nullptr, nullptr, &record);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        DestroyWindow(window);
        sceneDirector = nullptr;
    }
    LRESULT send(UINT msg, WPARAM w, LPARAM l = 0) { return windowProc(window, msg, w, l); }

    KeyDownTable keys{};
    WindowRecord record{};
    CSceneDirector director;
    SpyMenu menu;
    HWND window = nullptr;
};

TEST_F(WindowProcTest, CreateStoresTheRecord) {
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&record));
}

TEST_F(WindowProcTest, KeysSetAndClearTableAndControls) {
    EXPECT_EQ(send(WM_KEYDOWN, 'G'), 0);
    EXPECT_TRUE(keys.keys['G']);
    EXPECT_TRUE(controls->keys['G'].down);
    EXPECT_EQ(send(WM_KEYUP, 'G'), 0);
    EXPECT_FALSE(keys.keys['G']);
    EXPECT_FALSE(controls->keys['G'].down);
}

TEST_F(WindowProcTest, KeyCodesAbove255NeverTouchTheTable) {
    send(WM_KEYDOWN, 256 + 'G');
    for (BOOL k : keys.keys) {
        ASSERT_FALSE(k);
    }
    for (const KeyBinding& b : controls->keys) {
        ASSERT_FALSE(b.down);
    }
}

TEST_F(WindowProcTest, F1OpensTheMenuAndF2TogglesTheFrameRate) {
    BOOL before = showFps;
    send(WM_KEYDOWN, VK_F1);
    send(WM_KEYUP, VK_F1);
    EXPECT_EQ(menu.calls, std::vector<std::string>{"open"});
    send(WM_KEYDOWN, VK_F2);
    EXPECT_NE(showFps, before);
    send(WM_KEYDOWN, VK_F2);
    EXPECT_EQ(showFps, before);
}

TEST_F(WindowProcTest, SizeFollowsMinimiseAndRestore) {
    record.visible = TRUE;
    send(WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_FALSE(record.visible);
    send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(800, 600));
    EXPECT_TRUE(record.visible);
    float radius800 = frustumSphereRadius;
    send(WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(1600, 600));
    EXPECT_GT(frustumSphereRadius, radius800);
    send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(800, 0)); // zero height must not blow up
    EXPECT_TRUE(std::isfinite(frustumSphereRadius));
}

TEST_F(WindowProcTest, ScreenSaverAndMonitorPowerAreSwallowed) {
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_SCREENSAVE), 0);
    EXPECT_EQ(send(WM_SYSCOMMAND, SC_MONITORPOWER), 0);
}

TEST_F(WindowProcTest, MouseGoesToTheMenuAndCapturesWhilePressed) {
    send(WM_MOUSEMOVE, 0, MAKELPARAM(120, 45));
    send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(121, 46));
    EXPECT_EQ(GetCapture(), window);
    send(WM_LBUTTONUP, 0, MAKELPARAM(121, 46));
    EXPECT_EQ(GetCapture(), nullptr);
    std::vector<std::string> expected = {"test 120,45", "test 121,46", "clicked", "released"};
    EXPECT_EQ(menu.calls, expected);
}

TEST_F(WindowProcTest, CursorFollowsTheMenusRequest) {
    HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    menu.state = 3;
    EXPECT_EQ(send(WM_SETCURSOR, reinterpret_cast<WPARAM>(window), HTCLIENT), 1);
    EXPECT_EQ(GetCursor(), hand);
    EXPECT_EQ(menu.state, 1);
    menu.state = 2;
    send(WM_SETCURSOR, reinterpret_cast<WPARAM>(window), HTCLIENT);
    EXPECT_EQ(GetCursor(), arrow);
    EXPECT_EQ(menu.state, 0);
}

} // namespace
