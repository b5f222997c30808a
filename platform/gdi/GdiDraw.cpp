#include "platform/gdi/GdiState.h"

#include <cstdlib>
#include <utility>

using namespace plat::gdi;

namespace {

// One nib of the pen at (x, y): a pixel, or a square of the pen's width centred there.
void nib(Context& c, int x, int y) {
    const Object& pen = *c.pen;
    if (pen.width <= 1) {
        plot(c, x, y, pen.rgb);
        return;
    }
    int half = pen.width / 2;
    fillBox(c, x - half, y - half, x - half + pen.width, y - half + pen.width, pen.rgb);
}

// Bresenham from (x0, y0) towards (x1, y1), the end point excluded.
void line(Context& c, int x0, int y0, int x1, int y1) {
    if (c.pen->style == PS_NULL) {
        return;
    }
    long dx = std::labs(static_cast<long>(x1) - x0);
    long dy = -std::labs(static_cast<long>(y1) - y0);
    int sx = x0 < x1 ? 1 : -1;
    int sy = y0 < y1 ? 1 : -1;
    long err = dx + dy;
    long x = x0;
    long y = y0;
    while (x != x1 || y != y1) {
        nib(c, static_cast<int>(x), static_cast<int>(y));
        long e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

} // namespace

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
    std::lock_guard<std::mutex> lock(gdiLock());
    Context* c = contextOf(dc);
    Object* b = objectOf(brush);
    if (c == nullptr || rect == nullptr || b == nullptr || b->kind != Object::Kind::Brush ||
        c->surface == nullptr) {
        return 0;
    }
    if (b->style == 0) {
        fillBox(*c, rect->left, rect->top, rect->right, rect->bottom, b->rgb);
    }
    return 1;
}

BOOL Rectangle(HDC dc, int left, int top, int right, int bottom) {
    std::lock_guard<std::mutex> lock(gdiLock());
    Context* c = contextOf(dc);
    if (c == nullptr || c->surface == nullptr) {
        return FALSE;
    }
    if (right < left) {
        std::swap(left, right);
    }
    if (bottom < top) {
        std::swap(top, bottom);
    }
    if (right == left || bottom == top) {
        return TRUE;
    }
    if (c->brush->style == 0) {
        fillBox(*c, left, top, right, bottom, c->brush->rgb);
    }
    if (c->pen->style != PS_NULL) {
        const Object& pen = *c->pen;
        int inset = pen.width <= 1 ? 1 : pen.width;
        uint32_t rgb = pen.rgb;
        fillBox(*c, left, top, right, top + inset, rgb);
        fillBox(*c, left, bottom - inset, right, bottom, rgb);
        fillBox(*c, left, top, left + inset, bottom, rgb);
        fillBox(*c, right - inset, top, right, bottom, rgb);
    }
    return TRUE;
}

BOOL MoveToEx(HDC dc, int x, int y, POINT* previous) {
    std::lock_guard<std::mutex> lock(gdiLock());
    Context* c = contextOf(dc);
    if (c == nullptr) {
        return FALSE;
    }
    if (previous != nullptr) {
        *previous = c->position;
    }
    c->position = POINT{x, y};
    return TRUE;
}

BOOL LineTo(HDC dc, int x, int y) {
    std::lock_guard<std::mutex> lock(gdiLock());
    Context* c = contextOf(dc);
    if (c == nullptr || c->surface == nullptr) {
        return FALSE;
    }
    line(*c, c->position.x, c->position.y, x, y);
    c->position = POINT{x, y};
    return TRUE;
}
