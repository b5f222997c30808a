#include "platform/message/Broadcast.h"
#include "platform/message/RuntimeFolder.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

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

TEST_F(BroadcastTest, AFolderOthersCanTakeGivesWayToAPrivateOneWhereProgramsStillMeet) {
    setenv("XDG_CACHE_HOME", scratch.file("cache").c_str(), 1);
    std::string open = scratch.file("open");
    ASSERT_EQ(mkdir(open.c_str(), 0700), 0);
    ASSERT_EQ(chmod(open.c_str(), 0777), 0);
    std::vector<std::pair<std::string, std::string>> cases = {{open, "is open to other users"}};
    std::string foreign = scratch.file("foreign");
    ASSERT_EQ(mkdir(foreign.c_str(), 0700), 0);
    if (chown(foreign.c_str(), 65534, 65534) == 0) { // root can make a folder another's
        cases.push_back({foreign, "belongs to another user"});
    }
    std::string privateFolder;
    for (const auto& [usual, why] : cases) {
        SCOPED_TRACE(usual);
        setenv("TONECREST_RUNTIME_DIR", usual.c_str(), 1);
        plat::RuntimeFolder r = plat::resolveRuntimeFolder();
        EXPECT_NE(r.warning.find(usual + " " + why), std::string::npos) << r.warning;
        ASSERT_EQ(r.folder.rfind(scratch.file("cache/tonecrest/run-"), 0), 0u) << r.folder;
        struct stat st {};
        ASSERT_EQ(lstat(r.folder.c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        EXPECT_EQ(st.st_uid, getuid());
        // Every program of the user finds the same one.
        if (privateFolder.empty()) {
            privateFolder = r.folder;
        }
        EXPECT_EQ(r.folder, privateFolder);
        UINT id = RegisterWindowMessageA("WMPlayer_PluginAddRemove");
        EXPECT_NE(id, 0u);
        EXPECT_EQ(inChild([&] {
                      return plat::runtimeFolder() == privateFolder &&
                                     RegisterWindowMessageA("WMPlayer_PluginAddRemove") == id
                                 ? 0
                                 : 1;
                  }),
                  0);
        plat::BroadcastListener listener;
        EXPECT_TRUE(listener.listening());
    }
    // A link to the private folder that someone replaced is not followed.
    std::string link = scratch.file("cache/tonecrest/runtime");
    ASSERT_EQ(unlink(link.c_str()), 0);
    ASSERT_EQ(symlink(open.c_str(), link.c_str()), 0);
    setenv("TONECREST_RUNTIME_DIR", open.c_str(), 1);
    std::string again = plat::runtimeFolder();
    EXPECT_NE(again, open);
    EXPECT_EQ(again.rfind(scratch.file("cache/tonecrest/run-"), 0), 0u) << again;
    unsetenv("XDG_CACHE_HOME");
}

TEST_F(BroadcastTest, NoListenerIsNoError) {
    EXPECT_TRUE(plat::postBroadcast(0xC000, 0, 0));
}

} // namespace
