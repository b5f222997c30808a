#include "platform/shell/Shell.h"
#include "platform/base/PathMap.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace {

TEST(PathMap, WindowsNamesBecomeLinuxPaths) {
    EXPECT_EQ(plat::mapPath("data\\tcdata.d"), "data/tcdata.d");
    EXPECT_EQ(plat::mapPath("Tonecrest.exe"), "Tonecrest");
    EXPECT_EQ(plat::mapPath("NowPane.EXE"), "NowPane");
    EXPECT_EQ(plat::mapPath("TCwavetap2.dll"), "TCwavetap2.so");
    EXPECT_EQ(plat::mapPath("/games/tc\\\\Tonecrest.exe"), "/games/tc/Tonecrest");
    EXPECT_EQ(plat::mapPath("Settings.dat"), "Settings.dat");
}

bool waitForFile(const std::string& path) {
    for (int i = 0; i < 300 && !testsupport::fileExists(path); ++i) {
        usleep(10000);
    }
    return testsupport::fileExists(path);
}

TEST(ShellExecute, StartsWithParametersWithoutWaiting) {
    testsupport::ScratchDir dir;
    std::string script = dir.file("writer.exe");
    // The ".exe" is dropped by the path mapping, so the script goes without it.
    testsupport::writeFile(
        dir.file("writer"),
        "#!/bin/sh\nsleep 0.2\nprintf '%s|' \"$@\" > \"$(dirname \"$0\")/out\"\n");
    chmod(dir.file("writer").c_str(), 0755);
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.lpVerb = "open";
    info.lpFile = script.c_str();
    info.lpParameters = "/s  \"two words\" last";
    info.nShow = SW_SHOWNORMAL;
    ASSERT_TRUE(ShellExecuteExA(&info));
    EXPECT_GT(reinterpret_cast<uintptr_t>(info.hInstApp), 32u);
    EXPECT_FALSE(testsupport::fileExists(dir.file("out"))); // did not wait for it
    ASSERT_TRUE(waitForFile(dir.file("out")));
    usleep(50000);
    EXPECT_EQ(testsupport::readFile(dir.file("out")), "/s|two words|last|");
}

TEST(ShellExecute, MissingProgramFails) {
    SHELLEXECUTEINFOA info{};
    info.lpVerb = "open";
    info.lpFile = "no-such-program-anywhere.exe";
    EXPECT_FALSE(ShellExecuteExA(&info));
    EXPECT_LE(reinterpret_cast<uintptr_t>(info.hInstApp), 32u);
}

TEST(CurrentDirectory, ReportsLengthOrSizeNeeded) {
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    std::string expected(cwd);
    char buf[4096];
    EXPECT_EQ(GetCurrentDirectoryA(sizeof buf, buf), expected.size());
    EXPECT_EQ(std::string(buf), expected);
    char tiny[2];
    EXPECT_EQ(GetCurrentDirectoryA(sizeof tiny, tiny), expected.size() + 1);
}

} // namespace
