// The title and the start-up splash: the game's logo, its makers' names and a painted scene of
// the dragon over the wave.
#include "tools/tcdata-build/Artwork.h"
#include "tools/tcdata-build/ImageFile.h"
#include "tools/tcdata-build/MenuStyle.h"
#include "tools/tcdata-build/Noise.h"

#include <cmath>
#include <vector>

using namespace menustyle;

namespace {

using Points = std::vector<std::pair<float, float>>;

// The title sits in the middle band of the image: the menu shows the image's lower part
// behind its first buttons.
Canvas title(TextPainter& text) {
    Canvas c(1024, 512);
    // A crest of wave under the letters.
    float prevX = 0, prevY = 0;
    for (int i = 0; i <= 200; ++i) {
        float t = i / 200.0f;
        float x = 200 + t * 790;
        float y = 300 - 60 * std::exp(-std::pow((t - 0.55f) * 3.2f, 2.0f)) + 10 * std::sin(t * 20);
        if (i > 0) {
            c.line(prevX, prevY, x, y, 10,
                   mix(Rgba{0.2f, 0.5f, 1, 0.9f}, Rgba{1, 0.3f, 0.1f, 0.9f},
                       std::exp(-std::pow((t - 0.55f) * 3, 2.0f))));
        }
        prevX = x;
        prevY = y;
    }
    c.glow(10, Rgba{0.3f, 0.5f, 1, 0.6f});
    lettering(c, text, "Tone Crest", Face::SerifBold, 170, 595, 200, 760, kGoldTop, kGoldBottom,
              kHotGlow);
    return c;
}

// One line of lettering; centreY and size are fractions of the image's height (the game
// draws some of these images over each other, so their letters keep to different bands).
Canvas line(TextPainter& text, const std::string& s, int w, int h, Face face, float centreY = 0.5f,
            float size = 0.6f) {
    Canvas c(w, h);
    lettering(c, text, s, face, h * size, w / 2.0f, h * centreY, w * 0.94f, kIceTop, kIceBottom,
              kGlow);
    return c;
}

// A dragon in flight seen from the side, wings raised: body, neck, head with open jaws,
// tail, and two membrane wings with their finger bones.
void dragonSilhouette(Canvas& c, float ox, float oy, float s, const Rgba& body) {
    auto p = [&](float x, float y) { return std::make_pair(ox + x * s, oy + y * s); };
    Points far = {p(-20, -10), p(-120, -250), p(-60, -200), p(-20, -230),
                  p(30, -170), p(60, -190),   p(60, -20)};
    c.polygon(far, mix(body, Rgba{0.3f, 0.1f, 0.2f, 1}, 0.3f));
    Points torso = {p(-160, 40),  p(-60, -10), p(60, -25),  p(140, -70), p(190, -110),
                    p(235, -105), p(262, -92), p(228, -82), p(258, -70), p(222, -66),
                    p(180, -58),  p(120, 10),  p(40, 40),   p(-60, 50),  p(-200, 70),
                    p(-330, 40),  p(-380, 10), p(-350, 30), p(-250, 50)};
    c.polygon(torso, body);
    Points nearWing = {p(0, -10),    p(-40, -300), p(40, -240), p(90, -330),
                       p(130, -210), p(200, -240), p(120, -20)};
    c.polygon(nearWing, body);
    for (auto tip : {p(-40, -300), p(90, -330), p(200, -240)}) {
        c.line(ox + 40 * s, oy - 20 * s, tip.first, tip.second, 5 * s,
               Rgba{0.05f, 0.02f, 0.05f, 1});
    }
    Points legs = {p(-40, 40), p(-30, 90), p(-10, 100), p(-15, 45),
                   p(30, 35),  p(50, 80),  p(70, 85),   p(55, 30)};
    c.polygon(legs, body);
    c.disc(ox + 232 * s, oy - 98 * s, 4 * s, Rgba{1, 0.6f, 0.1f, 1}); // eye
}

Canvas dragonSplash() {
    Canvas c(1024, 1024);
    c.shade([](float u, float v) {
        Rgba top{0.05f, 0.06f, 0.22f, 1}, mid{0.55f, 0.25f, 0.45f, 1}, low{1.0f, 0.55f, 0.25f, 1};
        Rgba col = v < 0.6f ? mix(top, mid, v / 0.6f) : mix(mid, low, (v - 0.6f) / 0.4f);
        float clouds = fbm(u * 4, v * 12, 0.2f, 5, 71u);
        col = mix(col, Rgba{1, 0.75f, 0.55f, 1}, std::max(0.0f, clouds - 0.58f) * 1.6f * v);
        float sun = std::exp(-((u - 0.7f) * (u - 0.7f) + (v - 0.72f) * (v - 0.72f)) * 60);
        col.r += sun;
        col.g += sun * 0.85f;
        col.b += sun * 0.5f;
        return col;
    });
    // The wave: a glowing ribbon rising from the left to a crest under the dragon.
    for (int band = 0; band < 4; ++band) {
        float prevX = 0, prevY = 0;
        for (int i = 0; i <= 300; ++i) {
            float t = i / 300.0f;
            float x = t * 1024;
            float y = 860 - 260 * std::exp(-std::pow((t - 0.42f) * 2.6f, 2.0f)) +
                      18 * std::sin(t * 25 + band) + band * 22;
            if (i > 0) {
                Rgba col = mix(Rgba{0.2f, 0.45f, 1, 0.9f}, Rgba{1, 0.25f, 0.08f, 0.9f},
                               std::exp(-std::pow((t - 0.42f) * 2.2f, 2.0f)));
                c.line(prevX, prevY, x, y, 7 - band, col);
            }
            prevX = x;
            prevY = y;
        }
    }
    c.glow(8, Rgba{1, 0.5f, 0.3f, 0.4f});
    dragonSilhouette(c, 470, 430, 1.3f, Rgba{0.10f, 0.04f, 0.10f, 1});
    // Fire from the jaws.
    Random rnd(9);
    for (int k = 0; k < 160; ++k) {
        float t = rnd.uniform();
        float spread = 10 + t * 70;
        c.disc(470 + (268 + t * 260) * 1.3f + rnd.uniform(-spread, spread) * 0.5f,
               430 - (88 - t * 50) * 1.3f + rnd.uniform(-spread, spread),
               4 + t * 22 * rnd.uniform(0.5f, 1.0f),
               Rgba{1, 0.95f - t * 0.65f, 0.5f - t * 0.5f, 0.18f + 0.2f * (1 - t)});
    }
    return c;
}

} // namespace

void addSplashImages(ZipWriter& zip, TextPainter& text) {
    zip.add("Tonecrest.png", encodePng(title(text)));
    zip.add("2Dot0.png", encodePng(line(text, "2.0", 256, 128, Face::SerifBold)));
    zip.add("BrightfoldSoftware.png",
            encodePng(line(text, "Brightfold Software", 512, 128, Face::SansBold)));
    // "www.brightfold.com" (overlay y 245 to 315) and "Ride The Musical Wave" (270 to 330)
    // overlap: the address keeps to the lower part of its image, the motto to the upper.
    zip.add("BrightfoldDotCom.png",
            encodePng(line(text, "www.brightfold.com", 1024, 64, Face::Sans, 0.78f, 0.4f)));
    zip.add("Notice.png", encodePng(line(text, "Free to ride. Enjoy!", 512, 128, Face::Sans)));
    zip.add("DragonSplash.jpg", encodeJpeg(dragonSplash()));
    zip.add("RideTheMusicalWave.png",
            encodePng(line(text, "Ride The Musical Wave", 1024, 64, Face::SerifBold, 0.3f, 0.55f)));
}
