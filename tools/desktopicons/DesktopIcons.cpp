#include "tools/desktopicons/DesktopIcons.h"

#include "tools/tcdata-build/ImageFile.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <stdexcept>

namespace {

// Coordinates below are in a 64-unit design square, scaled to the icon's size.
constexpr float kDesign = 64.0f;

void drawWave(Canvas& c, float s, const DesktopIconStyle& style) {
    // Fewer, thicker segments at the small sizes, where a thin line would vanish.
    int steps = c.width() < 32 ? 16 : 48;
    float width = std::max(4.5f * s, 1.6f);
    float prevX = 0, prevY = 0;
    for (int i = 0; i <= steps; ++i) {
        float t = static_cast<float>(i) / static_cast<float>(steps);
        float x = (9 + t * 46) * s;
        float peak = std::exp(-std::pow((t - 0.55f) * 3.0f, 2.0f));
        float ripple = c.width() < 32 ? 0.0f : 2.5f * std::sin(t * 18);
        float y = (46 - 24 * peak + ripple) * s;
        if (i > 0) {
            c.line(prevX, prevY, x, y, width, mix(Rgba{0.3f, 0.6f, 1, 1}, style.crest, peak));
        }
        prevX = x;
        prevY = y;
    }
}

void drawNote(Canvas& c, float s) {
    Rgba ink{1, 1, 1, 0.95f};
    c.disc(20 * s, 25 * s, 4.2f * s, ink);
    c.line(23.6f * s, 25 * s, 23.6f * s, 9 * s, std::max(2.2f * s, 1.0f), ink);
    c.line(23.6f * s, 9 * s, 31 * s, 13 * s, std::max(2.6f * s, 1.0f), ink);
}

} // namespace

const std::vector<int>& desktopIconSizes() {
    static const std::vector<int> sizes{16, 22, 24, 32, 48, 64, 128, 256};
    return sizes;
}

const std::vector<DesktopIconStyle>& desktopIconStyles() {
    static const std::vector<DesktopIconStyle> styles{
        {"tonecrest", Rgba{1.0f, 0.62f, 0.18f, 1}, Rgba{1, 0.25f, 0.1f, 1}, false},
        {"tcplayer", Rgba{0.5f, 0.75f, 1, 1}, Rgba{1, 0.55f, 0.15f, 1}, true},
    };
    return styles;
}

Canvas drawDesktopIcon(const DesktopIconStyle& style, int size) {
    Canvas c(size, size);
    float s = static_cast<float>(size) / kDesign;
    float inset = std::max(2 * s, 0.5f);
    // The sky: deep blue at the top, violet at the horizon, inside the rim.
    c.roundRect(inset, inset, size - inset, size - inset, 12 * s, style.rim, style.rim);
    float border = std::max(3 * s, 1.0f);
    c.roundRect(inset + border, inset + border, size - inset - border, size - inset - border,
                10 * s, Rgba{0.04f, 0.06f, 0.22f, 1}, Rgba{0.25f, 0.1f, 0.35f, 1});
    if (size >= 32) {
        // A few stars where there is room for them.
        for (auto [x, y] : {std::pair{14.f, 14.f}, {46.f, 11.f}, {52.f, 22.f}, {38.f, 18.f}}) {
            c.disc(x * s, y * s, 0.9f * s, Rgba{1, 1, 0.85f, 0.9f});
        }
    }
    drawWave(c, s, style);
    if (style.note) {
        drawNote(c, s);
    }
    return c;
}

void writeDesktopIcons(const std::string& folder) {
    for (int size : desktopIconSizes()) {
        std::string dir =
            folder + "/" + std::to_string(size) + "x" + std::to_string(size) + "/apps";
        std::error_code error;
        std::filesystem::create_directories(dir, error);
        if (error) {
            throw std::runtime_error("cannot make " + dir + ": " + error.message());
        }
        for (const DesktopIconStyle& style : desktopIconStyles()) {
            writeFile(dir + "/" + style.name + ".png", encodePng(drawDesktopIcon(style, size)));
        }
    }
}
