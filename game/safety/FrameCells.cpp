#include "game/safety/FrameCells.h"

#include <vector>

namespace safety {

int pixelBytes(PixelLayout layout) {
    return layout == PixelLayout::Rgb ? 3 : 4;
}

void measureCells(const uint8_t* pixels, int width, int height, int rowBytes, PixelLayout layout,
                  const FlashRules& rules, CellColours& out) {
    const int bytes = pixelBytes(layout);
    const int ri = layout == PixelLayout::Bgra ? 2 : 0;
    const int bi = layout == PixelLayout::Bgra ? 0 : 2;
    std::vector<double> sums(static_cast<size_t>(kCells) * 3, 0.0);
    std::vector<long long> counts(static_cast<size_t>(kCells), 0);
    std::vector<int> columnCell(static_cast<size_t>(width));
    for (int x = 0; x < width; ++x) {
        columnCell[static_cast<size_t>(x)] = cellOf(x, width);
    }
    std::vector<float> row(static_cast<size_t>(kGridCells) * 3);
    std::vector<int> rowCount(static_cast<size_t>(kGridCells));
    for (int y = 0; y < height; ++y) {
        const uint8_t* p = pixels + static_cast<long long>(y) * rowBytes;
        std::fill(row.begin(), row.end(), 0.0f);
        std::fill(rowCount.begin(), rowCount.end(), 0);
        for (int x = 0; x < width; ++x, p += bytes) {
            size_t c = static_cast<size_t>(columnCell[static_cast<size_t>(x)]);
            row[c * 3] += linearChannel(p[ri]);
            row[c * 3 + 1] += linearChannel(p[1]);
            row[c * 3 + 2] += linearChannel(p[bi]);
            ++rowCount[c];
        }
        size_t base = static_cast<size_t>(cellOf(y, height) * kGridCells);
        for (size_t c = 0; c < static_cast<size_t>(kGridCells); ++c) {
            for (size_t k = 0; k < 3; ++k) {
                sums[(base + c) * 3 + k] += row[c * 3 + k];
            }
            counts[base + c] += rowCount[c];
        }
    }
    for (size_t c = 0; c < static_cast<size_t>(kCells); ++c) {
        double n = counts[c] > 0 ? static_cast<double>(counts[c]) : 1.0;
        out[c] =
            cellColour(static_cast<float>(sums[c * 3] / n), static_cast<float>(sums[c * 3 + 1] / n),
                       static_cast<float>(sums[c * 3 + 2] / n), rules);
    }
}

} // namespace safety
