#include "platform/gdi/Gdi.h"

namespace plat {

namespace {
int nonNegative(int v) {
    return v < 0 ? 0 : v;
}
} // namespace

PixelSurface::PixelSurface(int width, int height, uint32_t fill)
    : w(nonNegative(width)), h(nonNegative(height)),
      pixels(static_cast<size_t>(w) * static_cast<size_t>(h), fill) {}

uint32_t PixelSurface::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= w || y >= h) {
        return 0;
    }
    return pixels[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
}

void PixelSurface::set(int x, int y, uint32_t rgb) {
    if (x < 0 || y < 0 || x >= w || y >= h) {
        return;
    }
    pixels[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)] =
        rgb & 0xFFFFFF;
}

void PixelSurface::resize(int width, int height, uint32_t fill) {
    w = nonNegative(width);
    h = nonNegative(height);
    pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), fill);
}

} // namespace plat
