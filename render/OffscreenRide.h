// The game's ride drawn off screen: the game's window (never shown), director, world, dragon
// and settings file, started as the game starts them but without the splash, on the virtual
// clock, and fed through a music block of its own. Each frame moves the clock on by exactly
// 1/fps and runs the director's own frame, so the ride moves as in the game whatever the
// drawing costs. Run beside the game's data folder (data/tcdata.d, Settings.dat).
#pragma once

#include "game/shell/SceneDirector.h"
#include "game/shell/WindowRecord.h"
#include "shared/musicblock/CSharedMusicBlock.h"

#include <string>

struct RenderOptions;

class OffscreenRide {
  public:
    OffscreenRide() = default;
    // Leaves the settings and flash guard files as they were read, then ends the director
    // and the window.
    ~OffscreenRide();
    OffscreenRide(const OffscreenRide&) = delete;
    OffscreenRide& operator=(const OffscreenRide&) = delete;

    // Makes the off-screen window at the options' size with its GL context current, the
    // director with the options' seed, view, dragon switch, text and flash guard. Call once, before
    // any other window of the process. False with a one-line reason when the GL cannot make a
    // picture of that size or the game's data cannot be loaded.
    bool open(const RenderOptions& options, const std::string& title, std::string& error);
    // Writes the spectrum of frequency[2][1024] levels to the block and draws the next frame.
    void drawFrame(const unsigned char (*frequency)[1024]);

    // Frames the flash guard softened.
    long long framesSoftened() const;

  private:
    KeyDownTable keys{};
    AppInstanceInfo appInfo{};
    CSharedMusicBlock block;
    CSceneDirector* director = nullptr;
    RideSettings saved{};
    bool savedGuard = true;
    char title[CSharedMusicBlock::kTitleBytes] = {};
    long long countsPerFrame = 0;
    bool windowMade = false;
};
