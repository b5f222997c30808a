// Small canvases for the image seeds: flat, a gradient, alpha edges, odd sizes.
#pragma once

#include "tools/tcdata-build/Canvas.h"

#include <vector>

inline std::vector<Canvas> seedCanvases() {
    std::vector<Canvas> c;
    c.emplace_back(8, 8, Rgba{0.2f, 0.4f, 0.6f, 1.0f});
    Canvas gradient(16, 8);
    gradient.shade([](float u, float v) { return Rgba{u, v, 1.0f - u, 1.0f}; });
    c.push_back(gradient);
    Canvas spot(13, 7, Rgba{0, 0, 0, 0});
    spot.disc(6.0f, 3.0f, 3.0f, Rgba{1.0f, 0.5f, 0.0f, 0.8f});
    c.push_back(spot);
    c.emplace_back(1, 1, Rgba{1, 1, 1, 1});
    return c;
}
