// The flash guard for frames held in memory (a video renderer's frames, a benchmark's): samples
// each frame, lets FlashGuard decide, and mixes the frame by its softening field in place.
// Frames below the limit are not touched.
#pragma once

#include "game/safety/FlashGuard.h"
#include "game/safety/FrameCells.h"

#include <cstdint>
#include <vector>

namespace safety {

class PixelFlashGuard {
  public:
    PixelFlashGuard(int width, int height, const FlashRules& rules = FlashRules{});

    // Guards the next frame (height rows of width pixels, rowBytes apart, top row first),
    // shown dt seconds after the previous one. Returns whether it was softened.
    bool guardFrame(uint8_t* pixels, int rowBytes, PixelLayout layout, double dt);

    const FlashGuard& guard() const { return decisions; }

  private:
    FlashGuard decisions;
    std::vector<uint8_t> samples;
};

} // namespace safety
