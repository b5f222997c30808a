#include "game/music/MusicIntake.h"

void readMusicWithReopen(CSharedMusicBlock& block, unsigned char spectrum[2][1024],
                         char title[200]) {
    if (!block.Read(spectrum, title)) {
        block.Open();
        block.Read(spectrum, title);
    }
}

float SpectrumSums::level() const {
    return static_cast<float>((right / 1024 + left / 1024) / 2);
}

SpectrumSums sumSpectrum(const unsigned char spectrum[2][1024]) {
    SpectrumSums s;
    for (int i = 0; i < 1024; ++i) {
        s.left += spectrum[0][i];
        s.right += spectrum[1][i];
    }
    return s;
}

void StallDetector::update(int32_t total, float dt, bool& noMusic) {
    if (total != previousTotal) {
        timer = 0.0f;
        noMusic = false;
    } else {
        timer += dt;
        if (timer > kStallSeconds) {
            noMusic = true;
            timer = kHeldSeconds;
        }
    }
    previousTotal = total;
}
