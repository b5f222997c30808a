#include "game/safety/PixelFlashGuard.h"

#include <cmath>

namespace safety {

PixelFlashGuard::PixelFlashGuard(int width, int height, const FlashRules& rules)
    : decisions(width, height, rules) {}

bool PixelFlashGuard::guardFrame(uint8_t* pixels, int rowBytes, PixelLayout layout, double dt) {
    const SamplePattern& pattern = decisions.pattern();
    const int bytes = pixelBytes(layout);
    const int ri = layout == PixelLayout::Bgra ? 2 : 0;
    const int bi = layout == PixelLayout::Bgra ? 0 : 2;
    samples.resize(static_cast<size_t>(pattern.samples()) * 3);
    uint8_t* s = samples.data();
    for (int y : pattern.rows()) {
        const uint8_t* row = pixels + static_cast<long long>(y) * rowBytes;
        for (int x : pattern.columns()) {
            const uint8_t* p = row + x * bytes;
            s[0] = p[ri];
            s[1] = p[1];
            s[2] = p[bi];
            s += 3;
        }
    }
    const bool softened = decisions.guardFrame(samples, dt);
    if (softened) {
        for (int c = 0; c < kCells; ++c) {
            float t = decisions.weights()[static_cast<size_t>(c)];
            if (t <= 0.0f) {
                continue;
            }
            const int step = static_cast<int>(std::lround(t * 255.0f));
            const uint8_t* a = decisions.anchor(c);
            uint8_t anchor[4] = {};
            anchor[ri] = a[0];
            anchor[1] = a[1];
            anchor[bi] = a[2];
            int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
            pattern.cellBounds(c, x0, y0, x1, y1);
            for (int y = y0; y < y1; ++y) {
                uint8_t* p = pixels + static_cast<long long>(y) * rowBytes + x0 * bytes;
                for (int x = x0; x < x1; ++x, p += bytes) {
                    for (int k = 0; k < 3; ++k) {
                        p[k] = FlashGuard::mixChannel(step, anchor[k], p[k]);
                    }
                }
            }
        }
    }
    return softened;
}

} // namespace safety
