// Copying the music out of the shared block each frame and what the ride derives from it:
// the channel sums, the frame's level and the 30-second rule for music that has stopped.
#pragma once

#include "shared/musicblock/CSharedMusicBlock.h"

#include <cstdint>

// Reads the block into spectrum and title; when that fails, opens the block and reads once
// more. Both buffers keep what they held when neither read succeeds.
void readMusicWithReopen(CSharedMusicBlock& block, unsigned char spectrum[2][1024],
                         char title[200]);

struct SpectrumSums {
    int32_t left = 0;
    int32_t right = 0;
    int32_t total() const { return left + right; }
    // ((right div 1024) + (left div 1024)) div 2: a whole number from 0 to 255.
    float level() const;
};
SpectrumSums sumSpectrum(const unsigned char spectrum[2][1024]);

// Raises noMusic once the total has stayed the same for more than 30 seconds of frame time;
// one different total clears it. Only the total is compared.
class StallDetector {
  public:
    static constexpr float kStallSeconds = 30.0f;
    static constexpr float kHeldSeconds = 31.0f;

    void update(int32_t total, float dt, bool& noMusic);
    float stallTime() const { return timer; }

  private:
    int32_t previousTotal = 0;
    float timer = 0.0f;
};
