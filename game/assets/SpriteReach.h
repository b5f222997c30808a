// How far from its centre a sprite texture can pass an alpha test. A soft round sprite drawn
// as a square with the alpha test on fills its corners for nothing, and under a high
// reference most of its square: the fragments beyond the reach are all discarded, so a
// polygon around the reach draws the same pixels for less.
//
// Distances are in half-widths of the texture from its centre (1 is the middle of an edge,
// the square's corners lie at sqrt 2). The reach takes every mip level the texture has, with
// the footprint of a filtered sample at that level, so it bounds what minification,
// magnification and filtering between levels can pass.
#pragma once

#include <array>
#include <cstdint>

class SpriteReach {
  public:
    // The whole square: what a texture not yet measured, or a test not bounded, reaches.
    static constexpr float kSquare = 1.41421356f;

    // Measures every level of the texture bound to GL_TEXTURE_2D (needs a GL context).
    void measureBoundTexture();
    // Adds one level's pixels (RGBA bytes, rows in any order, as all that counts is each
    // texel's distance from the centre).
    void addLevel(const uint8_t* rgba, int width, int height);

    // Reaches of the samples whose alpha is above (strict) or at least ref, ref as the GL's
    // alpha test reference in [0, 1].
    float above(float ref) const;
    float atLeast(float ref) const;

    // The reach under the GL's alpha test as it stands: the whole square unless the test is on
    // with GL_GREATER or GL_GEQUAL.
    float underAlphaTest() const;

    // An octagon around the circle of the given radius (in half-sides of the square), within the
    // square: the regular octagon of that apothem, or past the square's edges the square with
    // its corners cut. As three quads from the bottom, each corner as its offset (x, y) from the
    // centre, at texture coordinates (x + 1) / 2, (y + 1) / 2. With the reach as the radius it
    // draws every pixel the test lets through.
    using Quads = std::array<std::array<float, 2>, 12>;
    static Quads octagon(float apothem);

  private:
    // beyond[t]: the reach of texels with alpha byte above t.
    float beyondByte(int t) const;

    std::array<float, 256> farthest{}; // of texels with exactly this alpha byte
    bool measured = false;
};
