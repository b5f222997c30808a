// The desktop helper itself: windows that vanish while it looks at them are failures of the
// one call, never the end of the test program.
#include "tests/e2e/Desktop.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
// Xlib's macros that clash with names in the test framework's templates.
#undef None
#undef Bool
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

namespace {

// A shown top-level window with the given name on a connection of its own.
Window showWindow(Display* d, const char* name) {
    Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 10, 10, 120, 80, 0, 0, 0);
    XStoreName(d, w, name);
    XMapWindow(d, w);
    XSync(d, False);
    return w;
}

TEST(DesktopTest, AWindowThatHasGoneIsAFailedCallNotAnEnd) {
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);
    Window w = showWindow(d, "desktop-test-leaving");
    std::string id = e2e::waitForWindow("^desktop-test-leaving$", 5000);
    ASSERT_EQ(id, std::to_string(w));
    XDestroyWindow(d, w);
    XSync(d, False);
    e2e::Picture picture;
    EXPECT_FALSE(e2e::grabWindow(id, picture));
    EXPECT_FALSE(e2e::requestClose(id));
    EXPECT_FALSE(e2e::windowExists("^desktop-test-leaving$"));
    // A window that is there still answers.
    Window stays = showWindow(d, "desktop-test-staying");
    std::string shown = e2e::waitForWindow("^desktop-test-staying$", 5000);
    ASSERT_EQ(shown, std::to_string(stays));
    EXPECT_TRUE(e2e::requestClose(shown));
    EXPECT_TRUE(e2e::grabWindow(shown, picture));
    EXPECT_EQ(picture.width, 120);
    XCloseDisplay(d);
}

TEST(DesktopTest, WalkingTheTreeWhileWindowsComeAndGo) {
    pid_t churn = fork();
    if (churn == 0) {
        Display* d = XOpenDisplay(nullptr);
        if (d == nullptr) {
            _exit(1);
        }
        for (;;) {
            Window ws[20];
            for (Window& w : ws) {
                w = showWindow(d, "desktop-test-churn");
            }
            for (Window w : ws) {
                XDestroyWindow(d, w);
            }
            XSync(d, False);
        }
    }
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    int walks = 0;
    while (std::chrono::steady_clock::now() < until) {
        e2e::windowExists("^desktop-test-churn$");
        ++walks;
    }
    kill(churn, SIGKILL);
    waitpid(churn, nullptr, 0);
    EXPECT_GT(walks, 0);
}

} // namespace
