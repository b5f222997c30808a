// The soft round dot ("splat") that the particle emitters and the cloud puffs share: 32 x 32
// RGBA texels, every channel 0.4 x (2d^3 - 3d^2 + 1) x 255 truncated, d being the distance
// from the centre texel in half-widths (1 and beyond give 0). The centre texel is 102.
#pragma once

constexpr int kSplatSize = 32;
constexpr const char* kSplatName = "splat";

// Writes kSplatSize * kSplatSize * 4 bytes, row by row.
void buildSplatPixels(unsigned char* rgba);

// The texture manager's slot of "splat", registered on first use and shared by name after;
// -1 when the manager has no free slot. Needs a current GL context.
int makeSplatTexture();
