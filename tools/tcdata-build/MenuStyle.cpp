#include "tools/tcdata-build/MenuStyle.h"

#include <algorithm>

namespace menustyle {

void lettering(Canvas& c, TextPainter& text, const std::string& s, Face face, float px, float cx,
               float cy, float maxWidth, const Rgba& top, const Rgba& bottom, const Rgba& glow) {
    float size = text.fit(s, face, px, maxWidth);
    Canvas mask(c.width(), c.height());
    text.drawCentred(mask, s, face, size, cx, cy, Rgba{1, 1, 1, 1});
    float y0 = cy - 0.4f * size, y1 = cy + 0.4f * size;
    for (int y = 0; y < mask.height(); ++y) {
        float t = std::min(1.0f, std::max(0.0f, (y - y0) / (y1 - y0)));
        Rgba col = mix(top, bottom, t);
        for (int x = 0; x < mask.width(); ++x) {
            Rgba& p = mask.at(x, y);
            p = {col.r, col.g, col.b, p.a};
        }
    }
    mask.glow(std::max(3.0f, size * 0.12f), glow);
    c.paste(mask, 0, 0);
}

Canvas label(TextPainter& text, const std::string& s, int w, int h, bool hot) {
    Canvas c(w, h);
    lettering(c, text, s, Face::SansBold, h * 0.62f, w / 2.0f, h / 2.0f, w * 0.9f,
              hot ? Rgba{1, 1, 1, 1} : kGoldTop, hot ? kGoldTop : kGoldBottom,
              hot ? kHotGlow : kGlow);
    return c;
}

Canvas buttonPlate(TextPainter& text, const std::string& s, int w, int h, float widthFraction) {
    Canvas c(w, h);
    float half = std::min(0.97f, widthFraction) * w / 2.0f;
    float x0 = w / 2.0f - half, x1 = w / 2.0f + half;
    float y0 = h * 0.1f, y1 = h * 0.9f;
    float radius = (y1 - y0) / 2.0f;
    c.roundRect(x0, y0, x1, y1, radius, Rgba{0.20f, 0.34f, 0.72f, 0.92f},
                Rgba{0.05f, 0.10f, 0.32f, 0.92f});
    // A soft highlight on the upper half, as on a raised button.
    c.roundRect(x0 + radius * 0.5f, y0 + 3, x1 - radius * 0.5f, (y0 + y1) / 2.0f, radius * 0.6f,
                Rgba{1, 1, 1, 0.22f}, Rgba{1, 1, 1, 0.02f});
    c.roundFrame(x0, y0, x1, y1, radius, std::max(2.0f, h * 0.035f), Rgba{0.6f, 0.8f, 1, 1});
    lettering(c, text, s, Face::SansBold, h * 0.5f, w / 2.0f, h / 2.0f, (x1 - x0) - 2 * radius,
              kGoldTop, kGoldBottom, kGlow);
    return c;
}

Canvas textPanel(TextPainter& text, const std::vector<std::string>& lines, int w, int h, float px) {
    Canvas c(w, h);
    c.roundRect(4, 4, w - 4, h - 4, 18, Rgba{0.05f, 0.10f, 0.25f, 0.82f},
                Rgba{0.02f, 0.04f, 0.12f, 0.88f});
    c.roundFrame(4, 4, w - 4, h - 4, 18, 3, Rgba{0.45f, 0.7f, 1.0f, 0.9f});
    // Smaller letters when the lines would not fit the panel's height.
    float needed = 28 + px * 1.1f;
    for (const std::string& line : lines) {
        needed += !line.empty() && line[0] == '#' ? px * 1.2f * 1.6f : px * 1.35f;
    }
    px *= std::min(1.0f, h / needed);
    float y = 16 + px * 1.1f;
    for (const std::string& line : lines) {
        bool heading = !line.empty() && line[0] == '#';
        std::string body = heading ? line.substr(1) : line;
        Face face = heading ? Face::SansBold : Face::Sans;
        float size = heading ? px * 1.2f : px;
        size = text.fit(body, face, size, w - 48.0f);
        text.draw(c, body, face, size, 24, y, heading ? kGoldTop : Rgba{0.92f, 0.95f, 1, 1});
        y += size * (heading ? 1.6f : 1.35f);
    }
    return c;
}

} // namespace menustyle
