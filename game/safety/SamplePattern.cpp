#include "game/safety/SamplePattern.h"

#include "game/safety/FrameCells.h"

#include <stdexcept>

namespace safety {

namespace {

// The first pixel of cell i of a span of extent pixels.
int cellStart(int i, int extent) {
    return static_cast<int>((static_cast<long long>(i) * extent + kGridCells - 1) / kGridCells);
}

} // namespace

SamplePattern::SamplePattern(int width, int height, int rowsPerCell, int columnStep)
    : frameWidth(width), frameHeight(height), perCell(kCells) {
    if (width < kGridCells || height < kGridCells || rowsPerCell < 1 || columnStep < 1 ||
        columnStep > width / kGridCells) {
        throw std::invalid_argument("sample pattern: frames must be at least 48 x 48 pixels");
    }
    for (int cy = 0; cy < kGridCells; ++cy) {
        int y0 = cellStart(cy, height), y1 = cellStart(cy + 1, height);
        int span = y1 - y0;
        int previous = -1;
        for (int k = 0; k < rowsPerCell; ++k) {
            int y = y0 + (2 * k + 1) * span / (2 * rowsPerCell);
            if (y != previous && y < y1) {
                rowList.push_back(y);
                previous = y;
            }
        }
    }
    for (int x = columnStep / 2; x < width; x += columnStep) {
        columnList.push_back(x);
    }
    int index = 0;
    for (int y : rowList) {
        int row = cellOf(y, height) * kGridCells;
        for (int x : columnList) {
            perCell[static_cast<size_t>(row + cellOf(x, width))].push_back(index++);
        }
    }
}

void SamplePattern::cellBounds(int c, int& x0, int& y0, int& x1, int& y1) const {
    int cx = c % kGridCells, cy = c / kGridCells;
    x0 = cellStart(cx, frameWidth);
    x1 = cellStart(cx + 1, frameWidth);
    y0 = cellStart(cy, frameHeight);
    y1 = cellStart(cy + 1, frameHeight);
}

} // namespace safety
