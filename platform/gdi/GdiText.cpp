#include "platform/gdi/GdiFont.h"
#include "platform/gdi/GdiState.h"

#include <cstring>

using namespace plat::gdi;

namespace {

const plat::FontGlyph& glyphOf(unsigned char ch) {
    int index = ch < plat::kFontFirst ? '?' - plat::kFontFirst : ch - plat::kFontFirst;
    return plat::kFontGlyphs[index];
}

uint32_t blend(uint32_t under, uint32_t over, unsigned coverage) {
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        unsigned a = (under >> shift) & 0xFF;
        unsigned b = (over >> shift) & 0xFF;
        out |= ((a * (255 - coverage) + b * coverage + 127) / 255) << shift;
    }
    return out;
}

int widthOf(LPCSTR text, int length) {
    int width = 0;
    for (int i = 0; i < length; ++i) {
        width += glyphOf(static_cast<unsigned char>(text[i])).advance;
    }
    return width;
}

} // namespace

BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length) {
    std::lock_guard<std::mutex> lock(gdiLock());
    Context* c = contextOf(dc);
    if (c == nullptr || c->surface == nullptr || (text == nullptr && length > 0) || length < 0) {
        return FALSE;
    }
    if (c->backMode == OPAQUE) {
        fillBox(*c, x, y, x + widthOf(text, length), y + plat::kFontHeight, c->backRgb);
    }
    int penX = x;
    for (int i = 0; i < length; ++i) {
        const plat::FontGlyph& g = glyphOf(static_cast<unsigned char>(text[i]));
        const uint8_t* coverage = plat::kFontCoverage + g.offset;
        for (int row = 0; row < plat::kFontHeight; ++row) {
            for (int col = 0; col < g.advance; ++col) {
                unsigned cov = coverage[row * g.advance + col];
                if (cov == 0) {
                    continue;
                }
                int px = penX + col;
                int py = y + row;
                uint32_t under = c->surface->at(px, py);
                plot(*c, px, py, cov >= 255 ? c->textRgb : blend(under, c->textRgb, cov));
            }
        }
        penX += g.advance;
    }
    return TRUE;
}

BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, SIZE* size) {
    std::lock_guard<std::mutex> lock(gdiLock());
    if (contextOf(dc) == nullptr || size == nullptr || length < 0 ||
        (text == nullptr && length > 0)) {
        return FALSE;
    }
    size->cx = widthOf(text, length);
    size->cy = plat::kFontHeight;
    return TRUE;
}
