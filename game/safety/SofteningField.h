// A softened frame's mix as a smooth field over the cell grid. Each cell has a colour to mix
// towards (the colour it was shown in the frame before) and each cell corner the mean colour
// of the cells around it, so the colours form a soft, low-resolution picture of the previous
// frame. A held cell's share t fades out over the next two cells around it, and each corner
// carries the greatest share of the cells around it. A pixel takes the linear blend of its
// cell's corners (the cell split in two triangles),
//   shown = P + (1 - t) x drawn   (P = t x colour, both blended between the corners)
// so softened cells shade into their neighbours without seams, and every pixel of a cell gets
// at least the share that cell asked for. A cell marked flat is shown as its own colour alone,
// over the field: the fallback for a cell its neighbours' colours cannot hold. Drawn as
// smooth-shaded triangles over OpenGL and mixed pixel by pixel, the same way, for frames in
// memory.
#pragma once

#include "game/safety/FlashFields.h"

#include <array>
#include <cstdint>
#include <vector>

namespace safety {

class SofteningField {
  public:
    static constexpr int kCorners = kGridCells + 1;

    // The colours to mix towards: colours[3c..3c+2] (RGB) for cell c. Corner colours follow.
    void setColours(const std::vector<uint8_t>& colours);
    // shares[c] is cell c's share (0..1); cells with a share of 0 ask for nothing. flat[c] != 0
    // shows cell c as its own colour.
    void build(const std::array<float, kCells>& shares, const std::array<uint8_t, kCells>& flat);
    // The colour mixed towards at fractions u, v across cell c (as mix() blends it), RGB 0..255.
    void target(int cell, float u, float v, float* rgb) const;

    // Whether any corner of cell c has a share, or it is flat: the cells a softened frame
    // changes.
    bool touches(int cell) const { return touched[static_cast<size_t>(cell)] != 0; }
    // Whether cell c is shown flat, and its colour then (RGB).
    bool isFlat(int cell) const { return flatCells[static_cast<size_t>(cell)] != 0; }
    const uint8_t* flatColour(int cell) const {
        return &cellColours[static_cast<size_t>(cell) * 3];
    }

    // Corner (x, y) of the grid, 0..kGridCells each way: its share and its colour P (RGB,
    // share x the corner's colour, 0..255).
    float share(int x, int y) const { return corners[index(x, y)].share; }
    const float* premultiplied(int x, int y) const { return corners[index(x, y)].colour; }

    // Where pixel at (a row or column) lies across a cell spanning start..end (end excluded),
    // 0..1: the u or v of mix().
    static float across(int at, int start, int end) {
        return (static_cast<float>(at - start) + 0.5f) / static_cast<float>(end - start);
    }

    // Mixes one pixel of cell c, found at fractions u, v (0..1) across the cell from its
    // corner (x0, y0), into rgb[0..2]. The cell is shaded as two triangles split along its
    // diagonal from (x0, y0) to (x1, y1): the triangles (x0, y0) (x1, y0) (x1, y1) and
    // (x0, y0) (x1, y1) (x0, y1), each linear across, as OpenGL shades them.
    void mix(int cell, float u, float v, uint8_t* rgb) const;

  private:
    struct Corner {
        float share = 0.0f;
        float colour[3] = {0.0f, 0.0f, 0.0f}; // share x base
        float base[3] = {0.0f, 0.0f, 0.0f};   // the mean colour of the cells around
    };
    static size_t index(int x, int y) { return static_cast<size_t>(y * kCorners + x); }
    // The weights of cell c's corners (x0, y0), (x1, y0), (x0, y1), (x1, y1) at u, v.
    static void weights(float u, float v, float* w);

    std::array<Corner, kCorners * kCorners> corners{};
    std::array<uint8_t, kCells * 3> cellColours{};
    std::array<uint8_t, kCells> touched{};
    std::array<uint8_t, kCells> flatCells{};
};

} // namespace safety
