// What the player's end-to-end tests set up around tcplayer: a scratch registry and runtime
// folder of their own, the libraries registered the way the game and `make run` register them,
// the installed game's key, a generated song, and a look at the music block the plug-in writes.
#pragma once

#include "platform/registry/Registry.h"
#include "shared/musicblock/CSharedMusicBlock.h"
#include "tests/e2e/Desktop.h"
#include "tests/support/AudioFiles.h"
#include "tests/support/TestPaths.h"
#include "tests/support/ToneCell.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

namespace e2e {

// The environment of every program a test starts: its own registry, shared-memory names,
// remote socket, broadcast and cache folders, a silent sound device and no session bus.
inline std::map<std::string, std::string> playerEnvironment(const testsupport::ScratchDir& scratch,
                                                            const std::string& tag) {
    std::string runtime = scratch.file("runtime");
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    return {{"XDG_CONFIG_HOME", scratch.file("config")},
            {"XDG_CACHE_HOME", scratch.file("cache")},
            {"TONECREST_SHM_NAMESPACE", tag + std::to_string(getpid())},
            {"TONECREST_RUNTIME_DIR", runtime},
            {"SDL_AUDIODRIVER", "dummy"},
            {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + scratch.file("no-bus")}};
}

// Runs "regsvr32 /s library" in folder; library is a name there or a full path.
inline void registerLibrary(const std::string& folder, const std::string& library,
                            const std::map<std::string, std::string>& env) {
    Program reg(std::string(TC_DIST_DIR) + "/regsvr32", {"/s", library}, folder, env);
    ASSERT_EQ(reg.waitExit(10000), 0) << testsupport::readFile(folder + "/stdout.txt");
}

// The key an installed game has (in the registry the test process uses); the game then
// records its folder there at every start.
inline void createInstallKey() {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brightfold Software\\Tonecrest 2.0", 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

// A song of beating low tones under the given title (and album tags when given).
inline void makeSong(const std::string& path, const std::string& title, double seconds,
                     const testsupport::AlbumTags& tags = {}) {
    ASSERT_EQ(testsupport::encodeAudio(
                  path, {"flac", "flac", 44100, 2, seconds, title},
                  [](int c, double t) {
                      double beat = std::fmod(t, 0.5) < 0.1 ? 1.0 : 0.3;
                      return float(0.4 * beat * std::sin(2 * 3.14159265 * (c ? 330 : 220) * t));
                  },
                  tags),
              "");
}

// The music block as a game sees it, under the test's shared-memory names.
class BlockWatch {
  public:
    explicit BlockWatch(const std::map<std::string, std::string>& env) {
        setenv("TONECREST_SHM_NAMESPACE", env.at("TONECREST_SHM_NAMESPACE").c_str(), 1);
    }
    ~BlockWatch() { unsetenv("TONECREST_SHM_NAMESPACE"); }

    // Reads the block (reopening it when its writer changed); false when there is none.
    bool read() {
        if (block.Read(spectrum, title)) {
            return true;
        }
        return block.Open() && block.Read(spectrum, title);
    }
    std::string titleText() const { return std::string(title, strnlen(title, sizeof title)); }
    int loudestCell() const { return testsupport::toneCell(spectrum[0]); }
    long sum() const {
        long s = 0;
        for (int b = 0; b < 1024; ++b) {
            s += spectrum[0][b] + spectrum[1][b];
        }
        return s;
    }
    // Waits up to timeoutMs for a read that passes done.
    template <class Done> bool waitUntil(int timeoutMs, Done done) {
        for (int waited = 0; waited <= timeoutMs; waited += 100) {
            if (read() && done()) {
                return true;
            }
            usleep(100000);
        }
        return false;
    }

    unsigned char spectrum[2][1024] = {};
    char title[200] = {};

  private:
    CSharedMusicBlock block;
};

} // namespace e2e
