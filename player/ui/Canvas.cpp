#include "player/ui/Canvas.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

namespace {
const char* const kFontFiles[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/TTF/DejaVuSans.ttf",
    "/usr/share/fonts/dejavu/DejaVuSans.ttf",
};
} // namespace

uint32_t nextCodePoint(const std::string& s, size_t& i) {
    auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = b(i++);
    if (c < 0x80) {
        return c;
    }
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
    if (extra < 0 || i + size_t(extra) > s.size()) {
        return 0xFFFD;
    }
    uint32_t cp = c & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        if ((b(i) & 0xC0) != 0x80) {
            return 0xFFFD;
        }
        cp = (cp << 6) | (b(i++) & 0x3F);
    }
    return cp;
}

Font::Font(int pixelSize) {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) {
        return;
    }
    library = lib;
    for (const char* file : kFontFiles) {
        FT_Face fc = nullptr;
        if (FT_New_Face(lib, file, 0, &fc) == 0) {
            FT_Set_Pixel_Sizes(fc, 0, FT_UInt(pixelSize));
            face = fc;
            line = int(fc->size->metrics.height >> 6);
            asc = int(fc->size->metrics.ascender >> 6);
            break;
        }
    }
}

Font::~Font() {
    if (face) {
        FT_Done_Face(static_cast<FT_Face>(face));
    }
    if (library) {
        FT_Done_FreeType(static_cast<FT_Library>(library));
    }
}

const Font::Glyph& Font::glyph(uint32_t cp) {
    auto it = cache.find(cp);
    if (it != cache.end()) {
        return it->second;
    }
    Glyph& g = cache[cp];
    auto fc = static_cast<FT_Face>(face);
    if (fc && FT_Load_Char(fc, cp, FT_LOAD_RENDER) == 0) {
        FT_GlyphSlot s = fc->glyph;
        g.left = s->bitmap_left;
        g.top = s->bitmap_top;
        g.width = int(s->bitmap.width);
        g.height = int(s->bitmap.rows);
        g.advance = int(s->advance.x >> 6);
        g.coverage.resize(size_t(g.width) * size_t(g.height));
        for (int y = 0; y < g.height; ++y) {
            std::copy_n(s->bitmap.buffer + y * s->bitmap.pitch, g.width,
                        g.coverage.begin() + y * g.width);
        }
    }
    return g;
}

int Font::textWidth(const std::string& utf8) {
    int w = 0;
    for (size_t i = 0; i < utf8.size();) {
        w += glyph(nextCodePoint(utf8, i)).advance;
    }
    return w;
}

void Canvas::fill(const Rect& r, uint32_t rgb) {
    int x0 = std::max(r.x, 0), y0 = std::max(r.y, 0);
    int x1 = std::min(r.x + r.w, v.width), y1 = std::min(r.y + r.h, v.height);
    for (int y = y0; y < y1; ++y) {
        std::fill(v.pixels + y * v.pitch + x0, v.pixels + y * v.pitch + std::max(x0, x1), rgb);
    }
}

void Canvas::frame(const Rect& r, uint32_t rgb) {
    fill({r.x, r.y, r.w, 1}, rgb);
    fill({r.x, r.y + r.h - 1, r.w, 1}, rgb);
    fill({r.x, r.y, 1, r.h}, rgb);
    fill({r.x + r.w - 1, r.y, 1, r.h}, rgb);
}

void Canvas::blend(int x, int y, uint32_t rgb, int a) {
    bool inClip = clip.w <= 0 || clip.contains(x, y);
    if (x < 0 || y < 0 || x >= v.width || y >= v.height || !inClip || a == 0) {
        return;
    }
    uint32_t& p = v.pixels[y * v.pitch + x];
    auto mix = [a](uint32_t d, uint32_t s) {
        return (s * uint32_t(a) + d * uint32_t(255 - a)) / 255;
    };
    uint32_t r = mix((p >> 16) & 0xFF, (rgb >> 16) & 0xFF);
    uint32_t g = mix((p >> 8) & 0xFF, (rgb >> 8) & 0xFF);
    uint32_t b = mix(p & 0xFF, rgb & 0xFF);
    p = (r << 16) | (g << 8) | b;
}

int Canvas::text(int x, int y, const std::string& utf8, uint32_t rgb, int maxWidth) {
    std::string shown = utf8;
    if (maxWidth > 0 && f.textWidth(shown) > maxWidth) {
        int room = maxWidth - f.textWidth("...");
        std::string cut;
        int w = 0;
        for (size_t i = 0; i < utf8.size();) {
            size_t start = i;
            int adv = f.glyph(nextCodePoint(utf8, i)).advance;
            if (w + adv > room) {
                break;
            }
            w += adv;
            cut.append(utf8, start, i - start);
        }
        shown = cut + "...";
    }
    int pen = x, base = y + f.ascent();
    for (size_t i = 0; i < shown.size();) {
        const Font::Glyph& g = f.glyph(nextCodePoint(shown, i));
        for (int gy = 0; gy < g.height; ++gy) {
            for (int gx = 0; gx < g.width; ++gx) {
                blend(pen + g.left + gx, base - g.top + gy, rgb,
                      g.coverage[size_t(gy * g.width + gx)]);
            }
        }
        pen += g.advance;
    }
    return pen - x;
}
