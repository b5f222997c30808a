// Where the flash guard looks in a frame: a few rows in every row of cells and every few
// pixels along each of them. A frame's samples are these rows' pixels, row by row, as RGB bytes.
#pragma once

#include "game/safety/FlashFields.h"

#include <vector>

namespace safety {

class SamplePattern {
  public:
    // rowsPerCell rows spread evenly over each row of cells, every columnStep-th pixel along
    // them, so that every cell has samples: the frame must be at least kGridCells pixels each
    // way and columnStep at most width / kGridCells (std::invalid_argument otherwise).
    SamplePattern(int width, int height, int rowsPerCell = 3, int columnStep = 2);

    int width() const { return frameWidth; }
    int height() const { return frameHeight; }
    // The frame rows sampled, rising, and the columns sampled in each of them, rising.
    const std::vector<int>& rows() const { return rowList; }
    const std::vector<int>& columns() const { return columnList; }
    // Samples in all (rows x columns); bytes = 3 x samples.
    int samples() const { return static_cast<int>(rowList.size() * columnList.size()); }
    // The samples (indices into the frame's samples) that fall in cell c.
    const std::vector<int>& cellSamples(int c) const { return perCell[static_cast<size_t>(c)]; }
    // Pixel bounds of cell c: columns x0 to x1 and rows y0 to y1, the ends excluded.
    void cellBounds(int c, int& x0, int& y0, int& x1, int& y1) const;

  private:
    int frameWidth, frameHeight;
    std::vector<int> rowList, columnList;
    std::vector<std::vector<int>> perCell;
};

} // namespace safety
