// tcplayer with the real TCwavetap2: registered by regsvr32, chosen as the only visualization,
// fed the spectrum of a generated song (the music block receives it with the song's title),
// and a click on "Click Here" in the now-playing pane starts the game from the "ExePath"
// folder with the argument "wmp".
#include "platform/registry/Registry.h"
#include "shared/musicblock/CSharedMusicBlock.h"
#include "tests/e2e/Desktop.h"
#include "tests/support/AudioFiles.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {

TEST(PlayerPluginE2e, RealPlugInReceivesTheSongAndItsClickStartsTheGame) {
    testsupport::ScratchDir scratch;
    std::string config = scratch.file("config");
    plat::setRegistryRoot(config + "/tonecrest/registry");
    std::string shm = "tcplayere2e" + std::to_string(getpid());
    // A remote socket of its own: a tcplayer in use would otherwise take the song over.
    std::string runtime = scratch.file("runtime");
    mkdir(runtime.c_str(), 0700);
    std::map<std::string, std::string> env = {{"XDG_CONFIG_HOME", config},
                                              {"TONECREST_SHM_NAMESPACE", shm},
                                              {"TONECREST_RUNTIME_DIR", runtime},
                                              {"SDL_AUDIODRIVER", "dummy"}};
    // The registrar, run the way the game runs it.
    std::filesystem::create_symlink(std::string(TC_DIST_DIR) + "/TCwavetap2.so",
                                    scratch.file("TCwavetap2.so"));
    {
        e2e::Program reg(std::string(TC_DIST_DIR) + "/regsvr32", {"/s", "TCwavetap2.so"},
                         scratch.path(), env);
        ASSERT_EQ(reg.waitExit(10000), 0) << testsupport::readFile(scratch.file("stdout.txt"));
    }
    // The "game": a script that notes where and how it was started.
    std::string gameFolder = scratch.file("game");
    std::filesystem::create_directories(gameFolder);
    std::string marker = scratch.file("started.txt");
    testsupport::writeFile(gameFolder + "/Tonecrest",
                           "#!/bin/sh\necho \"started in $(pwd) with $*\" > '" + marker + "'\n");
    chmod((gameFolder + "/Tonecrest").c_str(), 0755);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brightfold Software\\Tonecrest 2.0", 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "ExePath", 0, REG_SZ, reinterpret_cast<const BYTE*>(gameFolder.c_str()),
                   DWORD(gameFolder.size() + 1));
    RegCloseKey(key);
    plat::setRegistryRoot("");

    std::string song = scratch.file("song.flac");
    ASSERT_EQ(testsupport::encodeAudio(
                  song, {"flac", "flac", 44100, 2, 20.0, "E2E Song"},
                  [](int c, double t) {
                      double beat = std::fmod(t, 0.5) < 0.1 ? 1.0 : 0.3;
                      return float(0.4 * beat * std::sin(2 * 3.14159265 * (c ? 330 : 220) * t));
                  }),
              "");
    e2e::Program player(std::string(TC_DIST_DIR) + "/tcplayer", {song}, scratch.path(), env);
    std::string window = e2e::waitForWindow("^tcplayer$", 15000);
    ASSERT_FALSE(window.empty()) << testsupport::readFile(scratch.file("stdout.txt"));

    // The block carries the song's title and a spectrum that moves.
    setenv("TONECREST_SHM_NAMESPACE", shm.c_str(), 1);
    CSharedMusicBlock block;
    unsigned char spectrum[2][1024] = {};
    char title[200] = {};
    bool gotSong = false;
    for (int i = 0; i < 100 && !gotSong; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (block.Open() && block.Read(spectrum, title)) {
            int sum = 0;
            for (int b = 0; b < 1024; ++b) {
                sum += spectrum[0][b] + spectrum[1][b];
            }
            gotSong = std::string(title) == "E2E Song" && sum > 0;
        }
    }
    EXPECT_TRUE(gotSong) << "title \"" << title << "\"";
    // The bass bands of the song stand out.
    EXPECT_GT(spectrum[0][10], spectrum[0][900]);
    e2e::screenshot(scratch.file("player.png"));

    // "Click Here" sits at x 10 to 80, y 130 to 145 of the pane, which starts at the window's
    // top left corner.
    e2e::xdotool("mousemove --window " + window + " 30 137");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    e2e::xdotool("click 1");
    EXPECT_TRUE(e2e::waitForFileText(marker, "with wmp", 5000))
        << testsupport::readFile(marker) << testsupport::readFile(scratch.file("stdout.txt"));
    EXPECT_NE(testsupport::readFile(marker).find("started in " + gameFolder), std::string::npos)
        << testsupport::readFile(marker);

    EXPECT_TRUE(e2e::requestClose(window));
    EXPECT_EQ(player.waitExit(10000), 0) << testsupport::readFile(scratch.file("stdout.txt"));
    unsetenv("TONECREST_SHM_NAMESPACE");
}

} // namespace
