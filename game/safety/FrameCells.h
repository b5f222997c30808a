// A frame of 8-bit sRGB pixels cut into the grid's cells: each cell's mean linear R, G and B,
// and from them its colour measures. Cell i across covers the columns from i x width / 48 up
// to (i + 1) x width / 48, and the same down the rows.
#pragma once

#include "game/safety/FlashFields.h"
#include "game/safety/FlashRules.h"

#include <array>
#include <cstdint>

namespace safety {

enum class PixelLayout { Rgb, Rgba, Bgra };

// Bytes per pixel of a layout.
int pixelBytes(PixelLayout layout);

// The cell that column x (of width) or row y (of height) falls in.
inline int cellOf(int at, int extent) {
    return static_cast<int>(static_cast<long long>(at) * kGridCells / extent);
}

using CellColours = std::array<CellColour, kCells>;

// The mean over every pixel of each cell. The frame must be at least kGridCells pixels each
// way; rows are rowBytes apart (top or bottom first: the rules do not care).
void measureCells(const uint8_t* pixels, int width, int height, int rowBytes, PixelLayout layout,
                  const FlashRules& rules, CellColours& out);

} // namespace safety
