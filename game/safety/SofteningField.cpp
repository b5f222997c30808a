#include "game/safety/SofteningField.h"

#include <algorithm>
#include <cstdlib>

namespace safety {

namespace {

// A held cell's share fades out over this many cells around it, so that the edge of a held
// area is a soft ramp rather than a cell's step.
constexpr int kFadeCells = 2;

} // namespace

void SofteningField::setColours(const std::vector<uint8_t>& colours) {
    std::copy_n(colours.begin(), cellColours.size(), cellColours.begin());
    for (int y = 0; y < kCorners; ++y) {
        for (int x = 0; x < kCorners; ++x) {
            float sum[3] = {0.0f, 0.0f, 0.0f};
            int n = 0;
            for (int cy = std::max(0, y - 1); cy <= std::min(kGridCells - 1, y); ++cy) {
                for (int cx = std::max(0, x - 1); cx <= std::min(kGridCells - 1, x); ++cx) {
                    const uint8_t* c = &cellColours[static_cast<size_t>(cy * kGridCells + cx) * 3];
                    for (size_t k = 0; k < 3; ++k) {
                        sum[k] += c[k];
                    }
                    ++n;
                }
            }
            Corner& corner = corners[index(x, y)];
            for (size_t k = 0; k < 3; ++k) {
                corner.base[k] = sum[k] / static_cast<float>(n);
            }
        }
    }
}

void SofteningField::build(const std::array<float, kCells>& shares,
                           const std::array<uint8_t, kCells>& flat) {
    flatCells = flat;
    // Each cell's share, spread: the most of its own and of its neighbours' faded by distance.
    std::array<float, kCells> spread{};
    for (int c = 0; c < kCells; ++c) {
        const float t = shares[static_cast<size_t>(c)];
        if (t <= 0.0f) {
            continue;
        }
        const int cx = c % kGridCells, cy = c / kGridCells;
        for (int ny = std::max(0, cy - kFadeCells); ny <= std::min(kGridCells - 1, cy + kFadeCells);
             ++ny) {
            for (int nx = std::max(0, cx - kFadeCells);
                 nx <= std::min(kGridCells - 1, cx + kFadeCells); ++nx) {
                const int d = std::max(std::abs(nx - cx), std::abs(ny - cy));
                float& to = spread[static_cast<size_t>(ny * kGridCells + nx)];
                to = std::max(to, t * static_cast<float>(kFadeCells + 1 - d) /
                                      static_cast<float>(kFadeCells + 1));
            }
        }
    }
    for (int y = 0; y < kCorners; ++y) {
        for (int x = 0; x < kCorners; ++x) {
            float most = 0.0f;
            for (int cy = std::max(0, y - 1); cy <= std::min(kGridCells - 1, y); ++cy) {
                for (int cx = std::max(0, x - 1); cx <= std::min(kGridCells - 1, x); ++cx) {
                    most = std::max(most, spread[static_cast<size_t>(cy * kGridCells + cx)]);
                }
            }
            Corner& corner = corners[index(x, y)];
            corner.share = std::min(1.0f, most);
            for (size_t k = 0; k < 3; ++k) {
                corner.colour[k] = corner.base[k] * corner.share;
            }
        }
    }
    for (int c = 0; c < kCells; ++c) {
        const int x = c % kGridCells, y = c / kGridCells;
        touched[static_cast<size_t>(c)] =
            flat[static_cast<size_t>(c)] != 0 || share(x, y) > 0.0f || share(x + 1, y) > 0.0f ||
                    share(x, y + 1) > 0.0f || share(x + 1, y + 1) > 0.0f
                ? 1
                : 0;
    }
}

void SofteningField::weights(float u, float v, float* w) {
    // Two triangles, split along the diagonal from corner (x0, y0) to corner (x1, y1), each
    // shaded linearly, as OpenGL shades the pair drawn in that order.
    if (u >= v) {
        w[0] = 1.0f - u;
        w[1] = u - v;
        w[2] = 0.0f;
        w[3] = v;
    } else {
        w[0] = 1.0f - v;
        w[1] = 0.0f;
        w[2] = v - u;
        w[3] = u;
    }
}

void SofteningField::target(int cell, float u, float v, float* rgb) const {
    const int x = cell % kGridCells, y = cell / kGridCells;
    const Corner* c[4] = {&corners[index(x, y)], &corners[index(x + 1, y)],
                          &corners[index(x, y + 1)], &corners[index(x + 1, y + 1)]};
    float w[4];
    weights(u, v, w);
    for (size_t k = 0; k < 3; ++k) {
        rgb[k] = w[0] * c[0]->base[k] + w[1] * c[1]->base[k] + w[2] * c[2]->base[k] +
                 w[3] * c[3]->base[k];
    }
}

void SofteningField::mix(int cell, float u, float v, uint8_t* rgb) const {
    if (isFlat(cell)) {
        std::copy_n(flatColour(cell), 3, rgb);
        return;
    }
    const int x = cell % kGridCells, y = cell / kGridCells;
    const Corner* c[4] = {&corners[index(x, y)], &corners[index(x + 1, y)],
                          &corners[index(x, y + 1)], &corners[index(x + 1, y + 1)]};
    float w[4];
    weights(u, v, w);
    const float keep =
        1.0f - (w[0] * c[0]->share + w[1] * c[1]->share + w[2] * c[2]->share + w[3] * c[3]->share);
    for (size_t k = 0; k < 3; ++k) {
        const float p = w[0] * c[0]->colour[k] + w[1] * c[1]->colour[k] + w[2] * c[2]->colour[k] +
                        w[3] * c[3]->colour[k];
        const float shown = p + keep * static_cast<float>(rgb[k]);
        // shown lies in 0..255 (P <= 255 x t and keep = 1 - t): rounded as the blend rounds.
        rgb[k] = static_cast<uint8_t>(std::min(255.0f, shown + 0.5f));
    }
}

} // namespace safety
