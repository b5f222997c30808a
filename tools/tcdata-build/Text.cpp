#include "tools/tcdata-build/Text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <stdexcept>

namespace {

const char* const kFontFiles[] = {
    "DejaVuSans.ttf",
    "DejaVuSans-Bold.ttf",
    "DejaVuSerif.ttf",
    "DejaVuSerif-Bold.ttf",
    "DejaVuSansMono.ttf",
    "DejaVuSansMono-Bold.ttf",
    "DejaVuSansCondensed-Bold.ttf",
};
const char kFontFolder[] = "/usr/share/fonts/truetype/dejavu/";

// Decodes one UTF-8 code point and advances i.
unsigned long nextCodePoint(const std::string& s, size_t& i) {
    auto c = static_cast<unsigned char>(s[i++]);
    if (c < 0x80) {
        return c;
    }
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
    unsigned long cp = c & (0x3F >> extra);
    for (int k = 0; k < extra && i < s.size(); ++k) {
        cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    }
    return cp;
}

} // namespace

TextPainter::TextPainter() {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) {
        throw std::runtime_error("FreeType could not start");
    }
    library = lib;
}

TextPainter::~TextPainter() {
    for (void* f : faces) {
        if (f != nullptr) {
            FT_Done_Face(static_cast<FT_Face>(f));
        }
    }
    FT_Done_FreeType(static_cast<FT_Library>(library));
}

void* TextPainter::faceFor(Face face, float px) {
    auto index = static_cast<int>(face);
    if (faces[index] == nullptr) {
        FT_Face f = nullptr;
        std::string path = std::string(kFontFolder) + kFontFiles[index];
        if (FT_New_Face(static_cast<FT_Library>(library), path.c_str(), 0, &f) != 0) {
            throw std::runtime_error("missing font " + path);
        }
        faces[index] = f;
    }
    auto f = static_cast<FT_Face>(faces[index]);
    FT_Set_Char_Size(f, 0, static_cast<FT_F26Dot6>(std::lround(px * 64)), 72, 72);
    return f;
}

float TextPainter::measure(const std::string& text, Face face, float px) {
    auto f = static_cast<FT_Face>(faceFor(face, px));
    float width = 0;
    for (size_t i = 0; i < text.size();) {
        if (FT_Load_Char(f, nextCodePoint(text, i), FT_LOAD_DEFAULT) == 0) {
            width += static_cast<float>(f->glyph->advance.x) / 64.0f;
        }
    }
    return width;
}

void TextPainter::draw(Canvas& canvas, const std::string& text, Face face, float px, float x,
                       float baseline, const Rgba& colour) {
    auto f = static_cast<FT_Face>(faceFor(face, px));
    float pen = x;
    for (size_t i = 0; i < text.size();) {
        if (FT_Load_Char(f, nextCodePoint(text, i), FT_LOAD_RENDER) != 0) {
            continue;
        }
        FT_GlyphSlot g = f->glyph;
        int left = static_cast<int>(std::lround(pen)) + g->bitmap_left;
        int top = static_cast<int>(std::lround(baseline)) - g->bitmap_top;
        for (unsigned row = 0; row < g->bitmap.rows; ++row) {
            for (unsigned col = 0; col < g->bitmap.width; ++col) {
                float cover = g->bitmap.buffer[row * g->bitmap.pitch + col] / 255.0f;
                canvas.blend(left + int(col), top + int(row), colour, cover);
            }
        }
        pen += static_cast<float>(g->advance.x) / 64.0f;
    }
}

void TextPainter::drawCentred(Canvas& canvas, const std::string& text, Face face, float px,
                              float cx, float cy, const Rgba& colour) {
    float width = measure(text, face, px);
    // Capital letters of the DejaVu faces are about 0.73 em high.
    draw(canvas, text, face, px, cx - width / 2, cy + 0.365f * px, colour);
}

float TextPainter::fit(const std::string& text, Face face, float px, float width) {
    float w = measure(text, face, px);
    return w <= width ? px : px * width / w;
}
