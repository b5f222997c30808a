// Particle and rail sprites. The emitters colour them (modulate), so most are white shapes
// whose alpha carries the form.
#include "tools/tcdata-build/Artwork.h"
#include "tools/tcdata-build/Canvas.h"
#include "tools/tcdata-build/ImageFile.h"
#include "tools/tcdata-build/Noise.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr float kPi = 3.14159265f;

float smoothstep(float a, float b, float x) {
    float t = std::min(1.0f, std::max(0.0f, (x - a) / (b - a)));
    return t * t * (3 - 2 * t);
}

// A tongue of flame: round at the bottom, flickering to a point at the top, hot core.
Canvas potFlame() {
    Canvas c(64, 64);
    c.shade([](float u, float v) {
        float x = (u - 0.5f) * 2, y = 1 - v; // y 0 at the bottom, 1 at the top
        float width = 0.75f * std::sqrt(std::max(0.0f, 1 - y)) * (0.6f + 0.4f * std::sin(y * kPi));
        float wobble = 0.12f * (fbm(u * 4, v * 6, 0.2f, 3, 51u) - 0.5f);
        float d = std::fabs(x + wobble) / std::max(0.02f, width);
        float edge = 1 - smoothstep(0.55f, 1.0f, d);
        float base = smoothstep(0.0f, 0.15f, y);
        float a = edge * base;
        float core = 1 - smoothstep(0.0f, 0.7f, d + y * 0.6f);
        return Rgba{1, 0.75f + 0.25f * core, 0.45f + 0.55f * core, a};
    });
    return c;
}

// A star-shaped burst of light with soft rays, drawn additively.
Canvas burst() {
    Canvas c(64, 64);
    c.shade([](float u, float v) {
        float x = (u - 0.5f) * 2, y = (v - 0.5f) * 2;
        float r = std::sqrt(x * x + y * y);
        float angle = std::atan2(y, x);
        float rays = 0.5f + 0.5f * std::pow(std::fabs(std::cos(angle * 4)), 8.0f);
        float glow = std::max(0.0f, 1 - r) * std::max(0.0f, 1 - r);
        float a =
            std::min(1.0f, glow * (0.6f + 0.8f * rays) + 0.8f * (1 - smoothstep(0, 0.25f, r)));
        return Rgba{1, 0.85f + 0.15f * (1 - r), 0.6f + 0.4f * (1 - r), a};
    });
    return c;
}

// A water droplet glow: bright round body with a highlight, fading rim.
Canvas water() {
    Canvas c(64, 64);
    c.shade([](float u, float v) {
        float x = (u - 0.5f) * 2, y = (v - 0.5f) * 2;
        float r = std::sqrt(x * x + y * y);
        float body = 1 - smoothstep(0.35f, 1.0f, r);
        float hx = x + 0.3f, hy = y + 0.3f;
        float highlight = 1 - smoothstep(0.0f, 0.35f, std::sqrt(hx * hx + hy * hy));
        float shade = 0.78f + 0.22f * highlight;
        return Rgba{shade, std::min(1.0f, shade + 0.08f), 1, body * (0.7f + 0.3f * highlight)};
    });
    return c;
}

// A six-armed snow crystal with side branches.
Canvas snowflake() {
    Canvas c(64, 64);
    Rgba white{1, 1, 1, 1};
    for (int arm = 0; arm < 6; ++arm) {
        float a = arm * kPi / 3;
        float dx = std::cos(a), dy = std::sin(a);
        c.line(32, 32, 32 + dx * 28, 32 + dy * 28, 3.0f, white);
        for (float at : {12.0f, 20.0f}) {
            float bx = 32 + dx * at, by = 32 + dy * at;
            float len = at < 15 ? 8.0f : 6.0f;
            for (float side : {-1.0f, 1.0f}) {
                float ba = a + side * kPi / 3;
                c.line(bx, by, bx + std::cos(ba) * len, by + std::sin(ba) * len, 2.0f, white);
            }
        }
    }
    c.disc(32, 32, 5, white);
    c.glow(5, Rgba{0.8f, 0.9f, 1, 0.6f});
    return c;
}

// A membrane wing: the root along the left edge, the tip at the right, the bony leading edge
// along the bottom of the image and a scalloped trailing edge between the finger tips along
// the top.
Canvas wing() {
    Canvas c(128, 64);
    using Point = std::pair<float, float>;
    const Point tip{127, 40}, fingers[] = {{92, 6}, {52, 2}, {0, 8}};
    std::vector<Point> outline = {{0, 63}, {60, 60}, {110, 48}, tip};
    // Each scallop bows in toward the leading edge between two finger tips.
    Point from = tip;
    for (const Point& to : fingers) {
        for (int k = 1; k <= 12; ++k) {
            float t = k / 12.0f;
            float bow = std::sin(t * kPi) * 12;
            outline.emplace_back(from.first + (to.first - from.first) * t,
                                 from.second + (to.second - from.second) * t + bow);
        }
        from = to;
    }
    c.polygon(outline, Rgba{0.88f, 0.86f, 0.92f, 1});
    Rgba bone{0.55f, 0.5f, 0.6f, 1};
    c.line(0, 60, 110, 47, 3.5f, bone);
    c.line(110, 47, 126, 40, 2.5f, bone);
    for (const Point& f : fingers) {
        c.line(70, 54, f.first, f.second + 1, 1.8f, bone);
    }
    return c;
}

// Rail sprite. The rails draw it in blend mode: dark texels show the rail's own colour (blue
// to red) and bright ones the grey environment colour, so the body is dark and its alpha a soft
// glow; blending is additive.
Canvas exhaust() {
    Canvas c(64, 64);
    c.shade([](float u, float v) {
        float x = (u - 0.5f) * 2, y = (v - 0.5f) * 2;
        float r = std::sqrt(x * x + y * y);
        float a = std::pow(std::max(0.0f, 1 - r), 1.6f);
        float core = 0.35f * (1 - smoothstep(0.0f, 0.3f, r));
        return Rgba{core, core, core, a};
    });
    return c;
}

} // namespace

void addSprites(ZipWriter& zip) {
    zip.add("flame6.png", encodePng(potFlame()));
    zip.add("flame.png", encodePng(burst()));
    zip.add("water.png", encodePng(water()));
    zip.add("snowflake.png", encodePng(snowflake()));
    zip.add("Wing.png", encodePng(wing()));
    zip.add("Exhaust.png", encodePng(exhaust()));
}
