#include "tools/tcdata-build/PlayerArt.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const Rgba kWindow{0.13f, 0.14f, 0.18f, 1};
const Rgba kTitleBar{0.22f, 0.24f, 0.32f, 1};
const Rgba kTextLight{0.9f, 0.92f, 0.96f, 1};
const Rgba kAccent{1.0f, 0.55f, 0.15f, 1};

// The player's window frame with its title bar, transport buttons and a pane area; returns
// the pane's rectangle.
void playerWindow(Canvas& c, TextPainter& text, float x0, float y0, float x1, float y1,
                  float pane[4]) {
    c.roundRect(x0, y0, x1, y1, 10, kWindow, kWindow);
    c.roundFrame(x0, y0, x1, y1, 10, 2, Rgba{0.4f, 0.45f, 0.55f, 1});
    c.roundRect(x0, y0, x1, y0 + 34, 10, kTitleBar, kTitleBar);
    Canvas icon = playerIcon(26);
    c.paste(icon, static_cast<int>(x0 + 8), static_cast<int>(y0 + 4));
    text.draw(c, "tcplayer", Face::SansBold, 18, x0 + 42, y0 + 24, kTextLight);
    // Transport bar: previous, play, next and a progress line.
    float by = y1 - 30;
    c.line(x0 + 16, by - 22, x1 - 16, by - 22, 4, Rgba{0.3f, 0.32f, 0.4f, 1});
    c.line(x0 + 16, by - 22, x0 + (x1 - x0) * 0.4f, by - 22, 4, kAccent);
    float cx = (x0 + x1) / 2;
    c.disc(cx, by, 14, kAccent);
    c.polygon({{cx - 5, by - 8}, {cx + 8, by}, {cx - 5, by + 8}}, kWindow);
    for (float side : {-1.0f, 1.0f}) {
        float bx = cx + side * 40;
        c.polygon({{bx - 6 * side, by - 7}, {bx + 6 * side, by}, {bx - 6 * side, by + 7}},
                  kTextLight);
    }
    pane[0] = x0 + 10;
    pane[1] = y0 + 42;
    pane[2] = x1 - 10;
    pane[3] = by - 34;
}

// A little glowing wave like the ride's, for the pane.
void wave(Canvas& c, const float pane[4], float phase) {
    c.roundRect(pane[0], pane[1], pane[2], pane[3], 6, Rgba{0.02f, 0.03f, 0.10f, 1},
                Rgba{0.06f, 0.02f, 0.12f, 1});
    float w = pane[2] - pane[0], h = pane[3] - pane[1];
    float prevX = 0, prevY = 0;
    for (int i = 0; i <= 80; ++i) {
        float t = i / 80.0f;
        float level = 0.5f + 0.5f * std::sin(t * 11 + phase) * std::sin(t * 3.1f + 1);
        float x = pane[0] + 10 + t * (w - 20);
        float y = pane[3] - 10 - level * (h * 0.7f);
        if (i > 0) {
            Rgba col = mix(Rgba{0.2f, 0.5f, 1, 1}, Rgba{1, 0.25f, 0.1f, 1}, level);
            c.line(prevX, prevY, x, y, 4, col);
        }
        prevX = x;
        prevY = y;
    }
}

} // namespace

Canvas playerIcon(int size) {
    Canvas c(size, size);
    float s = size / 128.0f;
    c.disc(64 * s, 64 * s, 60 * s, Rgba{0.95f, 0.45f, 0.1f, 1});
    c.disc(64 * s, 64 * s, 52 * s, Rgba{0.1f, 0.15f, 0.38f, 1});
    c.polygon({{48 * s, 34 * s}, {96 * s, 64 * s}, {48 * s, 94 * s}}, Rgba{1, 0.92f, 0.7f, 1});
    float prevX = 0, prevY = 0;
    for (int i = 0; i <= 40; ++i) {
        float x = (16 + i * 2.4f) * s;
        float y = (64 + 14 * std::sin(i * 0.45f) * std::sin(i * 0.08f + 0.4f)) * s;
        if (i > 0) {
            c.line(prevX, prevY, x, y, 4 * s, Rgba{0.4f, 0.8f, 1, 1});
        }
        prevX = x;
        prevY = y;
    }
    return c;
}

Canvas playerChoosingVisualization(TextPainter& text) {
    Canvas c(512, 256);
    float pane[4];
    playerWindow(c, text, 4, 4, 508, 252, pane);
    wave(c, pane, 0.3f);
    // The visualization menu, dropped down from the pane's corner.
    float mx0 = 250, my0 = pane[1] + 6, mx1 = pane[2] - 8;
    const char* items[] = {"Bars", "Scope", "Tone Crest", "None"};
    c.roundRect(mx0, my0, mx1, my0 + 30 * 4 + 8, 6, Rgba{0.2f, 0.22f, 0.3f, 0.97f},
                Rgba{0.16f, 0.18f, 0.25f, 0.97f});
    for (int i = 0; i < 4; ++i) {
        float y = my0 + 4 + 30 * i;
        bool chosen = i == 2;
        if (chosen) {
            c.roundRect(mx0 + 4, y, mx1 - 4, y + 28, 5, kAccent, Rgba{0.85f, 0.35f, 0.05f, 1});
        }
        text.draw(c, items[i], chosen ? Face::SansBold : Face::Sans, 17, mx0 + 14, y + 20,
                  chosen ? Rgba{1, 1, 1, 1} : kTextLight);
    }
    // The pointer over the chosen entry.
    float px = mx1 - 40, py = my0 + 4 + 30 * 2 + 14;
    c.polygon({{px, py},
               {px, py + 22},
               {px + 6, py + 16},
               {px + 12, py + 26},
               {px + 16, py + 24},
               {px + 10, py + 14},
               {px + 17, py + 14}},
              Rgba{1, 1, 1, 1});
    return c;
}

Canvas playerShowingToneCrest(TextPainter& text) {
    Canvas c(512, 512);
    float pane[4];
    playerWindow(c, text, 4, 4, 508, 508, pane);
    // The TCwavetap2 pane: black, its mirrored spectrum figure and its lines of text.
    c.roundRect(pane[0], pane[1], pane[2], pane[3], 4, Rgba{0, 0, 0, 1}, Rgba{0, 0, 0, 1});
    float cy = pane[1] + (pane[3] - pane[1]) * 0.68f;
    for (int n = 0; n < 60; ++n) {
        float x = pane[0] + 40 + n * 6.5f;
        float v = 70 * std::fabs(std::sin(n * 0.35f) * std::exp(-n * 0.025f)) + 6;
        Rgba col{std::max(0.0f, 1.0f - v / 80.0f), 1.0f - n / 70.0f, std::min(1.0f, v / 60.0f), 1};
        c.roundRect(x, cy - v, x + 5, cy + v, 1, col, col);
    }
    const float x = pane[0] + 12;
    float y = pane[1] + 30;
    text.draw(c, "Tone Crest 2.0", Face::SansBold, 20, x, y, Rgba{1, 1, 0.2f, 1});
    text.draw(c, "www.brightfold.com", Face::Sans, 16, x, y + 24, Rgba{1, 1, 0.2f, 1});
    text.draw(c, "Keep This Window Visible, and run", Face::Sans, 16, x, y + 48,
              Rgba{1, 0.25f, 0.25f, 1});
    text.draw(c, "Tone Crest to ride the musical wave!", Face::Sans, 16, x, y + 70,
              Rgba{1, 0.25f, 0.25f, 1});
    text.draw(c, "Click Here", Face::SansBold, 18, x, y + 96, Rgba{1, 0.3f, 1, 1});
    text.draw(c, "To Run Tone Crest!", Face::Sans, 18, x + 104, y + 96, kTextLight);
    return c;
}
