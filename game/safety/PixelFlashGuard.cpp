#include "game/safety/PixelFlashGuard.h"

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
        const SofteningField& field = decisions.softening();
        for (int c = 0; c < kCells; ++c) {
            if (!field.touches(c)) {
                continue;
            }
            int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
            pattern.cellBounds(c, x0, y0, x1, y1);
            for (int y = y0; y < y1; ++y) {
                const float v = SofteningField::across(y, y0, y1);
                uint8_t* p = pixels + static_cast<long long>(y) * rowBytes + x0 * bytes;
                for (int x = x0; x < x1; ++x, p += bytes) {
                    uint8_t rgb[3] = {p[ri], p[1], p[bi]};
                    field.mix(c, SofteningField::across(x, x0, x1), v, rgb);
                    p[ri] = rgb[0];
                    p[1] = rgb[1];
                    p[bi] = rgb[2];
                }
            }
        }
    }
    return softened;
}

} // namespace safety
