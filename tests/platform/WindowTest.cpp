#include "platform/window/Window.h"
#include "platform/window/GLContext.h"
#include "platform/window/StartupPicture.h"
#include "tests/platform/ScreenPixel.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdlib>
#include <vector>

namespace {

std::vector<UINT> seen;
bool swallowSaver = false;

LRESULT recordingProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    seen.push_back(msg);
    if (msg == WM_SYSCOMMAND && wp == SC_SCREENSAVE && swallowSaver) {
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

class WindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = recordingProc;
        wc.lpszClassName = "PlatformWindowTest";
        ASSERT_NE(RegisterClassExA(&wc), 0);
    }
    void SetUp() override { seen.clear(); }
    HWND make(int w = 320, int h = 200) {
        return CreateWindowExA(0, "PlatformWindowTest", "platform test", WS_OVERLAPPEDWINDOW, 0, 0,
                               w, h, nullptr, nullptr, nullptr, nullptr);
    }
    PIXELFORMATDESCRIPTOR request() {
        PIXELFORMATDESCRIPTOR pfd{};
        pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        pfd.cColorBits = 32;
        pfd.cAlphaBits = 8;
        pfd.cDepthBits = 32;
        return pfd;
    }
    // A window with a GL surface and a current context.
    HWND makeGl(HDC& dc, HGLRC& rc) {
        HWND w = make(64, 48);
        dc = GetDC(w);
        PIXELFORMATDESCRIPTOR pfd = request();
        rc = SetPixelFormat(dc, ChoosePixelFormat(dc, &pfd), &pfd) ? wglCreateContext(dc) : nullptr;
        if (rc != nullptr) {
            wglMakeCurrent(dc, rc);
        }
        return w;
    }
    void dropGl(HWND w, HGLRC rc) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(rc);
        DestroyWindow(w);
    }
};

TEST_F(WindowTest, ClassNamesAreUniqueUntilUnregistered) {
    WNDCLASSEXA wc{};
    wc.lpfnWndProc = recordingProc;
    wc.lpszClassName = "platformwindowtest";
    EXPECT_EQ(RegisterClassExA(&wc), 0);
    wc.lpszClassName = "Another";
    EXPECT_NE(RegisterClassExA(&wc), 0);
    EXPECT_TRUE(UnregisterClassA("another", nullptr));
    EXPECT_FALSE(UnregisterClassA("another", nullptr));
}

TEST_F(WindowTest, CreateSendsCreateAndDestroySendsDestroy) {
    HWND w = make();
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], WM_CREATE);
    EXPECT_TRUE(DestroyWindow(w));
    EXPECT_EQ(seen.back(), WM_DESTROY);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(DestroyWindow(w));
}

TEST_F(WindowTest, QueueKeepsOrderAndDropsMessagesOfDestroyedWindows) {
    HWND a = make();
    HWND b = make();
    PostMessageA(a, WM_USER + 1, 1, 0);
    PostMessageA(b, WM_USER + 2, 2, 0);
    PostQuitMessage(0);
    DestroyWindow(b);
    MSG m{};
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.message, WM_USER + 1);
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_USER + 1);
    EXPECT_EQ(DispatchMessageA(&m), 0);
    EXPECT_EQ(seen.back(), WM_USER + 1);
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.hwnd, nullptr);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    DestroyWindow(a);
}

TEST_F(WindowTest, DefaultCloseDestroysTheWindow) {
    HWND w = make();
    SendMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(w));
}

TEST_F(WindowTest, GlSurfaceContextAndDrawing) {
    HWND w = make(64, 48);
    HDC dc = GetDC(w);
    PIXELFORMATDESCRIPTOR pfd = request();
    int format = ChoosePixelFormat(dc, &pfd);
    ASSERT_EQ(format, 1);
    EXPECT_EQ(DescribePixelFormat(dc, format, sizeof pfd, nullptr), 0);
    ASSERT_TRUE(SetPixelFormat(dc, format, &pfd));
    EXPECT_FALSE(SetPixelFormat(dc, format, &pfd)); // once per window
    HGLRC rc = wglCreateContext(dc);
    ASSERT_NE(rc, nullptr);
    ASSERT_TRUE(wglMakeCurrent(dc, rc));
    PIXELFORMATDESCRIPTOR got{};
    ASSERT_EQ(DescribePixelFormat(dc, format, sizeof got, &got), 1);
    EXPECT_GE(got.cDepthBits, 16);
    EXPECT_EQ(got.cAlphaBits, 8);
#if !defined(__SANITIZE_ADDRESS__)
    // With a context, blocks of megabytes come from the process's own heap and go back to it:
    // none is a mapping of its own, which would fault its pages in afresh each time.
    {
        const size_t mappedBefore = mallinfo2().hblks;
        void* volatile block = std::malloc(16u << 20);
        EXPECT_EQ(mallinfo2().hblks, mappedBefore);
        std::free(block);
    }
#endif

    seen.clear();
    ShowWindow(w, SW_NORMAL);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen[0], WM_SIZE);

    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char px[4] = {};
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    EXPECT_EQ(px[0], 255);
    EXPECT_EQ(px[1], 0);
    EXPECT_TRUE(SwapBuffers(dc));

    auto swap = reinterpret_cast<BOOL (*)(int)>(wglGetProcAddress("wglSwapIntervalEXT"));
    ASSERT_NE(swap, nullptr);
    EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
    EXPECT_TRUE(wglDeleteContext(rc));
    DestroyWindow(w);
}

TEST_F(WindowTest, ScreenSaverIsHeldOffOnlyByAWindowThatSwallowsTheQuery) {
    for (bool swallow : {true, false}) {
        swallowSaver = swallow;
        HWND w = make();
        HDC dc = GetDC(w);
        PIXELFORMATDESCRIPTOR pfd = request();
        ASSERT_TRUE(SetPixelFormat(dc, ChoosePixelFormat(dc, &pfd), &pfd));
        ShowWindow(w, SW_NORMAL);
        EXPECT_EQ(plat::screenSaverInhibited(), swallow);
        DestroyWindow(w);
    }
    swallowSaver = false;
}

} // namespace

// The picture is on the screen before any GL window; a GL window shown meanwhile stays off the
// screen until its first frame, which replaces the picture; a window closed before its first
// frame takes the picture with it.
TEST_F(WindowTest, StartupPictureGivesWayToTheGlWindowsFirstFrame) {
    std::vector<uint8_t> green(64 * 48 * 3);
    for (size_t i = 1; i < green.size(); i += 3) {
        green[i] = 200;
    }
    ASSERT_TRUE(ShowStartupPicture("picture", 0, 0, 64, 48, green.data()));
    EXPECT_EQ(testsupport::screenPixel(10, 10, 0x00C800), 0x00C800u);

    HDC dc = nullptr;
    HGLRC rc = nullptr;
    HWND w = makeGl(dc, rc);
    ASSERT_NE(rc, nullptr);
    seen.clear();
    ShowWindow(w, SW_NORMAL);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen[0], WM_SIZE); // the program sees its window shown as usual
    EXPECT_TRUE(StartupPictureShown());
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();
    EXPECT_EQ(testsupport::screenPixel(10, 10, 0x00C800), 0x00C800u);
    EXPECT_TRUE(SwapBuffers(dc));
    EXPECT_FALSE(StartupPictureShown());
    EXPECT_EQ(testsupport::screenPixel(10, 10, 0xFF0000), 0xFF0000u);
    dropGl(w, rc);

    ASSERT_TRUE(ShowStartupPicture("picture", 0, 0, 64, 48, green.data()));
    w = makeGl(dc, rc);
    ShowWindow(w, SW_NORMAL);
    dropGl(w, rc);
    EXPECT_FALSE(StartupPictureShown());
    EXPECT_FALSE(ShowStartupPicture("picture", 0, 0, 64, 48, nullptr));
}
