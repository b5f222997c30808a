// The flash guard over OpenGL: guards the frame in the back buffer just before it is shown.
// It reads a sparse sample of the frame (FlashGuard's SamplePattern), and when the frame would
// make a fourth flash within a second in some field, draws the softening over the cells that
// would make it and their neighbours (FlashGuard's smooth SofteningField). A frame below the
// limit is not touched. Needs a current GL context (OpenGL 1.1); saves and restores the GL state it
// changes.
#pragma once

#include "game/safety/FlashGuard.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace safety {

class GLFlashGuard {
  public:
    // Counts by the rules given (WCAG 2.3.1's by default).
    explicit GLFlashGuard(const FlashRules& rules = FlashRules{});
    ~GLFlashGuard();
    GLFlashGuard(const GLFlashGuard&) = delete;
    GLFlashGuard& operator=(const GLFlashGuard&) = delete;

    // Guards the frame drawn into the back buffer (the whole viewport), shown dt seconds after
    // the previous one. Does nothing while switched off or for a viewport under 48 x 48
    // pixels; a change of the viewport's size starts the count afresh. Returns whether it
    // softened the frame.
    bool guardBackBuffer(double dt);

    // On by default. Switching off forgets what was seen.
    void setEnabled(bool on);
    bool enabled() const { return on; }

    long long framesGuarded() const { return guarded; }
    long long framesSoftened() const { return softened; }

  private:
    void readSamples(int x, int y);
    void drawSoftening() const;

    FlashRules rules;
    bool on = true;
    std::unique_ptr<FlashGuard> guard;
    std::vector<uint8_t> frame;   // the viewport's pixels, BGRA, bottom row first
    std::vector<uint8_t> samples; // RGB
    long long guarded = 0;
    long long softened = 0;
};

} // namespace safety
