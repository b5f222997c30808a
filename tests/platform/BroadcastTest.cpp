#include "platform/message/Broadcast.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

class BroadcastTest : public ::testing::Test {
  protected:
    void SetUp() override { setenv("TONECREST_RUNTIME_DIR", scratch.path().c_str(), 1); }
    void TearDown() override { unsetenv("TONECREST_RUNTIME_DIR"); }

    // Runs body in a child process; its exit code.
    template <class F> static int inChild(F body) {
        pid_t pid = fork();
        if (pid == 0) {
            _exit(body());
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    testsupport::ScratchDir scratch;
};

TEST_F(BroadcastTest, RegisteredMessagesAreTheSameInEveryProgram) {
    UINT rescan = RegisterWindowMessageA("WMPlayer_PluginAddRemove");
    EXPECT_GE(rescan, 0xC000u);
    EXPECT_EQ(RegisterWindowMessageA("wmplayer_pluginaddremove"), rescan);
    UINT other = RegisterWindowMessageA("Another");
    EXPECT_GE(other, 0xC000u);
    EXPECT_NE(other, rescan);
    UINT third = 0;
    int code = inChild([&] {
        return RegisterWindowMessageA("WMPlayer_PluginAddRemove") == rescan &&
                       RegisterWindowMessageA("Third") != other
                   ? 0
                   : 1;
    });
    EXPECT_EQ(code, 0);
    third = RegisterWindowMessageA("Third");
    EXPECT_NE(third, rescan);
    EXPECT_NE(third, other);
    EXPECT_EQ(RegisterWindowMessageA(""), 0u);
    EXPECT_EQ(RegisterWindowMessageA(nullptr), 0u);
}

TEST_F(BroadcastTest, APostFromAnotherProgramReachesEveryListener) {
    UINT rescan = RegisterWindowMessageA("WMPlayer_PluginAddRemove");
    plat::BroadcastListener first;
    plat::BroadcastListener second;
    ASSERT_TRUE(first.listening());
    ASSERT_TRUE(second.listening());
    plat::BroadcastMessage m;
    EXPECT_FALSE(first.receive(&m, 0));

    EXPECT_EQ(inChild([&] { return plat::postBroadcast(rescan, 7, -3) ? 0 : 1; }), 0);
    ASSERT_TRUE(first.receive(&m, 2000));
    EXPECT_EQ(m.message, rescan);
    EXPECT_EQ(m.wParam, 7u);
    EXPECT_EQ(m.lParam, -3);
    ASSERT_TRUE(second.receive(&m, 2000));
    EXPECT_EQ(m.message, rescan);
    EXPECT_FALSE(first.receive(&m, 0));
}

TEST_F(BroadcastTest, ListenersOfEndedProgramsAreClearedAway) {
    // A program that ended without removing its endpoint.
    ASSERT_EQ(inChild([] {
                  auto* leaked = new plat::BroadcastListener();
                  return leaked->listening() ? 0 : 1;
              }),
              0);
    plat::BroadcastListener live;
    EXPECT_TRUE(plat::postBroadcast(0xC123, 0, 0));
    plat::BroadcastMessage m;
    EXPECT_TRUE(live.receive(&m, 1000));
    // Only the live endpoint is left.
    int endpoints = 0;
    for (const auto& e : std::filesystem::directory_iterator(scratch.file("broadcast"))) {
        (void)e;
        ++endpoints;
    }
    EXPECT_EQ(endpoints, 1);
}

TEST_F(BroadcastTest, NoListenerIsNoError) {
    EXPECT_TRUE(plat::postBroadcast(0xC000, 0, 0));
}

} // namespace
