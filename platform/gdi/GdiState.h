// Records behind GDI handles, shared by the GDI source files. Callers hold gdiLock() while
// they use any record.
#pragma once

#include "platform/gdi/Gdi.h"

#include <mutex>

namespace plat::gdi {

struct Object {
    enum class Kind { Pen, Brush } kind;
    int style;    // pens: PS_SOLID or PS_NULL; brushes: 0 solid, 1 hollow
    int width;    // pens
    uint32_t rgb; // 0x00RRGGBB
    bool stock;
    int selections; // contexts that have it selected
};

struct Context {
    PixelSurface* surface = nullptr;
    Object* pen = nullptr;
    Object* brush = nullptr;
    uint32_t textRgb = 0x000000;
    uint32_t backRgb = 0xFFFFFF;
    int backMode = OPAQUE;
    POINT position{0, 0};
};

std::mutex& gdiLock();
// The record of a live context or object; null for anything else.
Context* contextOf(HDC dc);
Object* objectOf(HGDIOBJ handle);

// Pixel plotting on the context's surface, clipped.
inline void plot(Context& c, int x, int y, uint32_t rgb) {
    if (c.surface != nullptr) {
        c.surface->set(x, y, rgb);
    }
}
void fillBox(Context& c, int left, int top, int right, int bottom, uint32_t rgb);

} // namespace plat::gdi
