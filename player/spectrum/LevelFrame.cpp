#include "player/spectrum/LevelFrame.h"

#include <cmath>
#include <cstring>

LevelBuilder::LevelBuilder() {
    std::memset(&current, 0, sizeof current);
    std::memset(current.waveform, 128, sizeof current.waveform);
}

void LevelBuilder::update(const HeardAudio& audio, PlayState state, double now) {
    current.state = static_cast<int32_t>(state);
    if (state != PlayState::Playing) {
        return;
    }
    const long n = SpectrumAnalyzer::kWindow;
    int64_t heard = audio.heardWindow(now, window, n, n / 2);
    analyzer.analyseInterleaved(window, n, 0, current.frequency[0]);
    analyzer.analyseInterleaved(window, n, 1, current.frequency[1]);
    // The waveform is the 1024 frames around the moment heard.
    for (int c = 0; c < 2; ++c) {
        for (int i = 0; i < 1024; ++i) {
            float v = window[2 * (n / 2 - 512 + i) + c];
            long b = std::lround(128.0f + v * 127.0f);
            current.waveform[c][i] = static_cast<unsigned char>(b < 0 ? 0 : (b > 255 ? 255 : b));
        }
    }
    current.timeStamp = heard * 10000000 / HeardAudio::kRate;
}
