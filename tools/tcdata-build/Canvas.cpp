#include "tools/tcdata-build/Canvas.h"

#include <algorithm>
#include <cmath>

Rgba mix(const Rgba& a, const Rgba& b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
            a.a + (b.a - a.a) * t};
}

namespace {

float clamp01(float v) {
    return std::min(1.0f, std::max(0.0f, v));
}

// Signed distance to a rounded rectangle; negative inside.
float roundRectDistance(float x, float y, float x0, float y0, float x1, float y1, float r) {
    float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    float hx = (x1 - x0) / 2 - r, hy = (y1 - y0) / 2 - r;
    float dx = std::fabs(x - cx) - hx, dy = std::fabs(y - cy) - hy;
    float outside = std::hypot(std::max(dx, 0.0f), std::max(dy, 0.0f));
    return outside + std::min(std::max(dx, dy), 0.0f) - r;
}

} // namespace

Canvas::Canvas(int width, int height, Rgba fill)
    : w(width), h(height), px(static_cast<size_t>(width) * height, fill) {}

void Canvas::blend(int x, int y, const Rgba& c, float cover) {
    if (x < 0 || y < 0 || x >= w || y >= h) {
        return;
    }
    float a = clamp01(c.a * cover);
    if (a <= 0) {
        return;
    }
    Rgba& d = at(x, y);
    float outA = a + d.a * (1 - a);
    if (outA <= 0) {
        return;
    }
    d.r = (c.r * a + d.r * d.a * (1 - a)) / outA;
    d.g = (c.g * a + d.g * d.a * (1 - a)) / outA;
    d.b = (c.b * a + d.b * d.a * (1 - a)) / outA;
    d.a = outA;
}

void Canvas::shade(const std::function<Rgba(float, float)>& f) {
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            at(x, y) = f((x + 0.5f) / w, (y + 0.5f) / h);
        }
    }
}

void Canvas::roundRect(float x0, float y0, float x1, float y1, float radius, const Rgba& top,
                       const Rgba& bottom) {
    for (int y = std::max(0, int(y0) - 1); y < std::min(h, int(y1) + 2); ++y) {
        Rgba c = mix(top, bottom, clamp01((y + 0.5f - y0) / std::max(1.0f, y1 - y0)));
        for (int x = std::max(0, int(x0) - 1); x < std::min(w, int(x1) + 2); ++x) {
            float d = roundRectDistance(x + 0.5f, y + 0.5f, x0, y0, x1, y1, radius);
            blend(x, y, c, clamp01(0.5f - d));
        }
    }
}

void Canvas::roundFrame(float x0, float y0, float x1, float y1, float radius, float width,
                        const Rgba& c) {
    for (int y = std::max(0, int(y0) - 2); y < std::min(h, int(y1) + 3); ++y) {
        for (int x = std::max(0, int(x0) - 2); x < std::min(w, int(x1) + 3); ++x) {
            float d = roundRectDistance(x + 0.5f, y + 0.5f, x0, y0, x1, y1, radius);
            blend(x, y, c, clamp01(width / 2 + 0.5f - std::fabs(d + width / 2)));
        }
    }
}

void Canvas::disc(float cx, float cy, float radius, const Rgba& c) {
    for (int y = std::max(0, int(cy - radius) - 1); y < std::min(h, int(cy + radius) + 2); ++y) {
        for (int x = std::max(0, int(cx - radius) - 1); x < std::min(w, int(cx + radius) + 2);
             ++x) {
            float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) - radius;
            blend(x, y, c, clamp01(0.5f - d));
        }
    }
}

void Canvas::ring(float cx, float cy, float radius, float width, const Rgba& c) {
    float outer = radius + width;
    for (int y = std::max(0, int(cy - outer) - 1); y < std::min(h, int(cy + outer) + 2); ++y) {
        for (int x = std::max(0, int(cx - outer) - 1); x < std::min(w, int(cx + outer) + 2); ++x) {
            float d = std::fabs(std::hypot(x + 0.5f - cx, y + 0.5f - cy) - radius - width / 2);
            blend(x, y, c, clamp01(width / 2 + 0.5f - d));
        }
    }
}

void Canvas::line(float x0, float y0, float x1, float y1, float width, const Rgba& c) {
    float dx = x1 - x0, dy = y1 - y0;
    float len2 = std::max(1e-6f, dx * dx + dy * dy);
    int minX = std::max(0, int(std::min(x0, x1) - width) - 1);
    int maxX = std::min(w - 1, int(std::max(x0, x1) + width) + 1);
    int minY = std::max(0, int(std::min(y0, y1) - width) - 1);
    int maxY = std::min(h - 1, int(std::max(y0, y1) + width) + 1);
    for (int y = minY; y <= maxY; ++y) {
        for (int x = minX; x <= maxX; ++x) {
            float px0 = x + 0.5f - x0, py0 = y + 0.5f - y0;
            float t = clamp01((px0 * dx + py0 * dy) / len2);
            float d = std::hypot(px0 - t * dx, py0 - t * dy);
            blend(x, y, c, clamp01(width / 2 + 0.5f - d));
        }
    }
}

void Canvas::polygon(const std::vector<std::pair<float, float>>& pts, const Rgba& c) {
    float minY = 1e9f, maxY = -1e9f, minX = 1e9f, maxX = -1e9f;
    for (const auto& p : pts) {
        minX = std::min(minX, p.first);
        maxX = std::max(maxX, p.first);
        minY = std::min(minY, p.second);
        maxY = std::max(maxY, p.second);
    }
    auto inside = [&](float x, float y) {
        bool in = false;
        for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
            const auto& a = pts[i];
            const auto& b = pts[j];
            if ((a.second > y) != (b.second > y) &&
                x < (b.first - a.first) * (y - a.second) / (b.second - a.second) + a.first) {
                in = !in;
            }
        }
        return in;
    };
    for (int y = std::max(0, int(minY)); y <= std::min(h - 1, int(maxY)); ++y) {
        for (int x = std::max(0, int(minX)); x <= std::min(w - 1, int(maxX)); ++x) {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy) {
                for (int sx = 0; sx < 4; ++sx) {
                    hits += inside(x + (sx + 0.5f) / 4, y + (sy + 0.5f) / 4) ? 1 : 0;
                }
            }
            blend(x, y, c, hits / 16.0f);
        }
    }
}

void Canvas::paste(const Canvas& src, int x, int y) {
    for (int j = 0; j < src.height(); ++j) {
        for (int i = 0; i < src.width(); ++i) {
            blend(x + i, y + j, src.at(i, j));
        }
    }
}

void Canvas::glow(float radius, const Rgba& c) {
    // Separable box blur of the alpha channel, three passes for a near-Gaussian spread.
    std::vector<float> a(px.size()), tmp(px.size());
    for (size_t i = 0; i < px.size(); ++i) {
        a[i] = px[i].a;
    }
    int r = std::max(1, int(radius / 2));
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y) {
            float sum = 0;
            for (int x = -r; x < w + r; ++x) {
                if (x + r < w) {
                    sum += a[size_t(y) * w + x + r];
                }
                if (x - r - 1 >= 0) {
                    sum -= a[size_t(y) * w + x - r - 1];
                }
                if (x >= 0 && x < w) {
                    tmp[size_t(y) * w + x] = sum / (2 * r + 1);
                }
            }
        }
        for (int x = 0; x < w; ++x) {
            float sum = 0;
            for (int y = -r; y < h + r; ++y) {
                if (y + r < h) {
                    sum += tmp[size_t(y + r) * w + x];
                }
                if (y - r - 1 >= 0) {
                    sum -= tmp[size_t(y - r - 1) * w + x];
                }
                if (y >= 0 && y < h) {
                    a[size_t(y) * w + x] = sum / (2 * r + 1);
                }
            }
        }
    }
    std::vector<Rgba> top = px;
    for (size_t i = 0; i < px.size(); ++i) {
        px[i] = {c.r, c.g, c.b, clamp01(a[i] * c.a)};
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            blend(x, y, top[size_t(y) * w + x]);
        }
    }
}
