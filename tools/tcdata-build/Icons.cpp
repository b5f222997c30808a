// The programs' icons: a crest of the musical wave under a round sky, in the colours of the
// menu. The game's icon is its resource 111; the player's and NowPane's share the design with
// their own accents.
#include "tools/tcdata-build/Icons.h"

#include "tools/tcdata-build/ImageFile.h"

#include <cmath>

namespace {

Canvas waveIcon(int size, const Rgba& rim, const Rgba& crest) {
    Canvas c(size, size);
    float s = size / 64.0f;
    c.disc(32 * s, 32 * s, 30 * s, rim);
    c.disc(32 * s, 32 * s, 27 * s, Rgba{0.06f, 0.08f, 0.25f, 1});
    // The wave: low and blue at the sides, a red crest in the middle.
    float prevX = 0, prevY = 0;
    for (int i = 0; i <= 48; ++i) {
        float t = i / 48.0f;
        float x = (8 + t * 48) * s;
        float peak = std::exp(-std::pow((t - 0.55f) * 3.0f, 2.0f));
        float y = (44 - 22 * peak + 2.5f * std::sin(t * 18)) * s;
        if (i > 0) {
            c.line(prevX, prevY, x, y, 4.5f * s, mix(Rgba{0.3f, 0.6f, 1, 1}, crest, peak));
        }
        prevX = x;
        prevY = y;
    }
    c.glow(2 * s, Rgba{1, 0.6f, 0.3f, 0.6f});
    return c;
}

} // namespace

void writeIcons(const std::string& folder) {
    writeFile(
        folder + "/Tonecrest-111.bmp",
        encodeBmpWithAlpha(waveIcon(64, Rgba{1.0f, 0.62f, 0.18f, 1}, Rgba{1, 0.25f, 0.1f, 1})));
    writeFile(folder + "/tcplayer-101.bmp",
              encodeBmpWithAlpha(waveIcon(64, Rgba{0.5f, 0.75f, 1, 1}, Rgba{1, 0.55f, 0.15f, 1})));
    writeFile(
        folder + "/NowPane-101.bmp",
        encodeBmpWithAlpha(waveIcon(64, Rgba{0.6f, 0.9f, 0.6f, 1}, Rgba{1, 0.55f, 0.15f, 1})));
}
