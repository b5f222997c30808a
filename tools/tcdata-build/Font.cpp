// "font2.png": 16 x 16 cells of 32 pixels, row 0 at the top. Cell g holds character 32 + g of
// set 0 (g below 128) or set 1 (g from 128, a serif face). The game draws each cell 16 units
// wide and advances 10, so a glyph stays in the left 20 pixels of its cell.
#include "tools/tcdata-build/Artwork.h"
#include "tools/tcdata-build/Canvas.h"
#include "tools/tcdata-build/ImageFile.h"
#include "tools/tcdata-build/Text.h"

#include <string>

void addFont(ZipWriter& zip, TextPainter& text) {
    const int cell = 32;
    Canvas glyphs(16 * cell, 16 * cell);
    for (int g = 0; g < 256; ++g) {
        int code = 32 + g % 128;
        if (code > 126) {
            continue; // codes 127 to 159 have no glyph
        }
        std::string ch(1, static_cast<char>(code));
        Face face = g < 128 ? Face::MonoBold : Face::SerifBold;
        float size = g < 128 ? 30.0f : 27.0f;
        float width = text.measure(ch, face, size);
        float x = (g % 16) * cell + 10 - width / 2;
        float baseline = (g / 16) * cell + 25;
        text.draw(glyphs, ch, face, size, x, baseline, Rgba{1, 1, 1, 1});
    }
    // A dark rim keeps letters readable over bright sky when they are alpha blended; added
    // blending ignores it.
    glyphs.glow(2.5f, Rgba{0, 0, 0, 0.8f});
    zip.add("font2.png", encodePng(glyphs));
}
