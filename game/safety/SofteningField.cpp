#include "game/safety/SofteningField.h"

#include <algorithm>

namespace safety {

void SofteningField::build(const std::array<float, kCells>& shares,
                           const std::vector<uint8_t>& anchors,
                           const std::array<uint8_t, kCells>& flat) {
    touched.fill(0);
    flatCells = flat;
    for (size_t c = 0; c < static_cast<size_t>(kCells); ++c) {
        if (flat[c] != 0) {
            std::copy_n(&anchors[c * 3], 3, &flatColours[c * 3]);
        }
    }
    for (int y = 0; y < kCorners; ++y) {
        for (int x = 0; x < kCorners; ++x) {
            float most = 0.0f, sum = 0.0f;
            float colour[3] = {0.0f, 0.0f, 0.0f};
            for (int cy = std::max(0, y - 1); cy <= std::min(kGridCells - 1, y); ++cy) {
                for (int cx = std::max(0, x - 1); cx <= std::min(kGridCells - 1, x); ++cx) {
                    const int c = cy * kGridCells + cx;
                    const float t = shares[static_cast<size_t>(c)];
                    if (t <= 0.0f) {
                        continue;
                    }
                    most = std::max(most, t);
                    sum += t;
                    for (size_t k = 0; k < 3; ++k) {
                        colour[k] += t * anchors[static_cast<size_t>(c) * 3 + k];
                    }
                }
            }
            Corner& corner = corners[index(x, y)];
            corner.share = most;
            for (size_t k = 0; k < 3; ++k) {
                corner.colour[k] = sum > 0.0f ? colour[k] / sum * most : 0.0f;
            }
        }
    }
    for (int c = 0; c < kCells; ++c) {
        const int x = c % kGridCells, y = c / kGridCells;
        touched[static_cast<size_t>(c)] = share(x, y) > 0.0f || share(x + 1, y) > 0.0f ||
                                                  share(x, y + 1) > 0.0f ||
                                                  share(x + 1, y + 1) > 0.0f
                                              ? 1
                                              : 0;
    }
}

void SofteningField::mix(int cell, float u, float v, uint8_t* rgb) const {
    if (isFlat(cell)) {
        std::copy_n(flatColour(cell), 3, rgb);
        return;
    }
    const int x = cell % kGridCells, y = cell / kGridCells;
    const Corner& a = corners[index(x, y)];
    const Corner& b = corners[index(x + 1, y)];
    const Corner& c = corners[index(x, y + 1)];
    const Corner& d = corners[index(x + 1, y + 1)];
    // Two triangles, split along the diagonal from corner a to corner d, each shaded
    // linearly, as OpenGL shades the pair drawn in that order.
    float wa = 0.0f, wb = 0.0f, wc = 0.0f, wd = 0.0f;
    if (u >= v) {
        wa = 1.0f - u;
        wb = u - v;
        wd = v;
    } else {
        wa = 1.0f - v;
        wc = v - u;
        wd = u;
    }
    const float keep = 1.0f - (wa * a.share + wb * b.share + wc * c.share + wd * d.share);
    for (size_t k = 0; k < 3; ++k) {
        const float p = wa * a.colour[k] + wb * b.colour[k] + wc * c.colour[k] + wd * d.colour[k];
        const float shown = p + keep * static_cast<float>(rgb[k]);
        // shown lies in 0..255 (P <= 255 x t and keep = 1 - t): rounded as the blend rounds.
        rgb[k] = static_cast<uint8_t>(std::min(255.0f, shown + 0.5f));
    }
}

} // namespace safety
