// Where billboard quads land on the window under the current matrices and viewport: each
// quad's window rectangle and area, and the rectangle and the pixels a chosen set of them
// covers together. For deciding whether a cloud of large soft sprites is worth drawing
// through a coarse layer, and where.
#pragma once

#include "game/assets/math/Vector3.h"

// One quad on the window: the bounds of the part in front of the near plane, in pixels,
// clipped to the viewport.
struct QuadExtent {
    float lo[2] = {0.0f, 0.0f};
    float hi[2] = {0.0f, 0.0f};
    // Nothing of the quad lies in front of the near plane.
    bool hidden = false;
    // The pixels of the bounds (0 for a hidden quad).
    double area() const;
};

class SpriteFootprint {
  public:
    // Reads the modelview and projection matrices and the viewport (needs a GL context).
    SpriteFootprint();

    // The quad centre +- right +- up.
    QuadExtent project(const Vector3& centre, const Vector3& right, const Vector3& up) const;
    // Adds a quad to the set: its area to the fill, its bounds to the rectangle.
    void include(const QuadExtent& quad);

    // Pixels the included quads fill, overlaps counted as often as they overlap (each quad
    // by its bounds).
    double fill() const { return filled; }
    // x, y, width, height in whole pixels within the viewport: the included quads' bounds.
    void rect(int out[4]) const;
    // How many deep the included quads lie on average over that rectangle (0 for none).
    double meanDepth() const;

  private:
    float clip[16];
    float viewport[4];
    float lo[2], hi[2];
    double filled = 0.0;
};
