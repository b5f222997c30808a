// The ride as the bench tools draw it: the game's real window and GL context at 800 x 600, a
// music block of the tool's own (in a shared-memory namespace named after the tool and its
// process), and a director started from the benchmarks' fixed seed, riding the given view
// point with the dragon on and the settings the frame benchmark uses; and the PPM images the
// tools save their frames as.
#pragma once

#include "game/shell/GameWindow.h"
#include "game/shell/SceneDirector.h"
#include "game/shell/ViewSetup.h"
#include "game/shell/WindowRecord.h"
#include "platform/window/Window.h"
#include "shared/musicblock/CSharedMusicBlock.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace benchride {

constexpr unsigned kSeed = 20261208u;

// Null, after one line on standard error naming the tool, when there is no window, GL
// context or music block. The director is the game's global one; the caller deletes it.
inline CSceneDirector* open(const char* tool, CSharedMusicBlock& feeder, int32_t view) {
    std::string ns = std::string(tool) + std::to_string(getpid());
    setenv("TONECREST_SHM_NAMESPACE", ns.c_str(), 1);
    static char instanceToken;
    static KeyDownTable keys{};
    static AppInstanceInfo appInfo{};
    prepareWindowRecord(&keys, &appInfo, reinterpret_cast<HINSTANCE>(&instanceToken));
    if (!registerWindowClass(&appInfo) || !createGameWindow(&windowRecord) || !feeder.Create()) {
        std::fprintf(stderr, "%s: no window, GL context or music block\n", tool);
        return nullptr;
    }
    mainWindowHandle = windowRecord.window;
    reshapeView(kClientWidth, kClientHeight);
    auto* director = new CSceneDirector;
    sceneDirector = director;
    director->setRandomSeed(kSeed);
    director->initialize();
    director->setRideSettings(RideSettings{view, true, false, 0.75f, true, 0.5f});
    return director;
}

// A binary PPM of w x h RGB pixels given bottom row first, as GL reads them; false when the
// file cannot be written.
inline bool writePpm(const std::string& path, int w, int h,
                     const std::vector<unsigned char>& bottomUp) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    std::fprintf(f, "P6\n%d %d\n255\n", w, h);
    for (int row = h - 1; row >= 0; --row) {
        std::fwrite(&bottomUp[static_cast<size_t>(row) * w * 3], 1, static_cast<size_t>(w) * 3, f);
    }
    return std::fclose(f) == 0;
}

} // namespace benchride
