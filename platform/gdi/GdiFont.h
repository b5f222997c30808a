// The built-in bitmap font: Latin-1 characters 32..255 in cells kFontHeight pixels high, each
// as wide as its advance, with 8-bit coverage. Generated at build time (tools/gdifont).
#pragma once

#include <cstdint>

namespace plat {

constexpr int kFontHeight = 16;
constexpr int kFontFirst = 32;
constexpr int kFontCount = 224;

struct FontGlyph {
    uint8_t advance;
    uint32_t offset; // of its advance x kFontHeight coverage bytes, row by row
};

extern const FontGlyph kFontGlyphs[kFontCount];
extern const uint8_t kFontCoverage[];

} // namespace plat
