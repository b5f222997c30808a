// An RGBA image of floats in 0..1, row 0 at the top, with the few drawing operations the
// artwork generators need. Every operation blends with "over" unless it says otherwise.
#pragma once

#include <functional>
#include <vector>

struct Rgba {
    float r = 0, g = 0, b = 0, a = 1;
};

Rgba mix(const Rgba& a, const Rgba& b, float t);

class Canvas {
  public:
    Canvas(int width, int height, Rgba fill = {0, 0, 0, 0});

    int width() const { return w; }
    int height() const { return h; }
    Rgba& at(int x, int y) { return px[static_cast<size_t>(y) * w + x]; }
    const Rgba& at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }

    // Blends c over the pixel with coverage cover (0..1).
    void blend(int x, int y, const Rgba& c, float cover = 1.0f);
    // Replaces every pixel with f(u, v), u and v the pixel centre in 0..1.
    void shade(const std::function<Rgba(float u, float v)>& f);
    // Rounded rectangle with a soft edge, filled with a vertical gradient from top to bottom.
    void roundRect(float x0, float y0, float x1, float y1, float radius, const Rgba& top,
                   const Rgba& bottom);
    // The outline of a rounded rectangle, width pixels wide.
    void roundFrame(float x0, float y0, float x1, float y1, float radius, float width,
                    const Rgba& c);
    void disc(float cx, float cy, float radius, const Rgba& c);
    void ring(float cx, float cy, float radius, float width, const Rgba& c);
    void line(float x0, float y0, float x1, float y1, float width, const Rgba& c);
    // A filled convex or concave polygon, sampled at pixel centres (4 x 4 supersampling).
    void polygon(const std::vector<std::pair<float, float>>& points, const Rgba& c);
    // Copies src with its top-left corner at (x, y), blending over.
    void paste(const Canvas& src, int x, int y);
    // Multiplies alpha by a blurred copy of itself spread by radius: a soft shadow or glow
    // of the current content, coloured c, drawn under it.
    void glow(float radius, const Rgba& c);

  private:
    int w, h;
    std::vector<Rgba> px;
};
