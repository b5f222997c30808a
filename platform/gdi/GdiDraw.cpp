#include "platform/gdi/GdiState.h"

#include <algorithm>
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

// The pixels of a line from (x0, y0) towards (x1, y1), the end point excluded: one for each
// step along the major axis, the minor coordinate rounded to the nearest pixel. Only the steps
// that can reach the surface are visited, however long the line.
void line(Context& c, int x0, int y0, int x1, int y1) {
    if (c.pen->style == PS_NULL || c.surface == nullptr) {
        return;
    }
    long long dx = static_cast<long long>(x1) - x0;
    long long dy = static_cast<long long>(y1) - y0;
    bool xMajor = std::llabs(dx) >= std::llabs(dy);
    long long major0 = xMajor ? x0 : y0;
    long long minor0 = xMajor ? y0 : x0;
    long long dMajor = std::llabs(xMajor ? dx : dy);
    long long dMinor = std::llabs(xMajor ? dy : dx);
    int sMajor = (xMajor ? dx : dy) < 0 ? -1 : 1;
    int sMinor = (xMajor ? dy : dx) < 0 ? -1 : 1;
    if (dMajor == 0) {
        return;
    }
    long long pad = c.pen->width + 1;
    long long lo = -pad;
    long long hi = (xMajor ? c.surface->width() : c.surface->height()) + pad;
    // Steps i in [first, last] keep major0 + sMajor * i within [lo, hi].
    long long first = sMajor > 0 ? lo - major0 : major0 - hi;
    long long last = sMajor > 0 ? hi - major0 : major0 - lo;
    first = std::max(first, 0LL);
    last = std::min(last, dMajor - 1);
    for (long long i = first; i <= last; ++i) {
        long long major = major0 + sMajor * i;
        // Products of two 33-bit distances need more than 64 bits.
        __extension__ using Wide = __int128;
        long long minor = minor0 + sMinor * static_cast<long long>((Wide{2} * i * dMinor + dMajor) /
                                                                   (Wide{2} * dMajor));
        long long x = xMajor ? major : minor;
        long long y = xMajor ? minor : major;
        if (x >= -pad && y >= -pad && x <= c.surface->width() + pad &&
            y <= c.surface->height() + pad) {
            nib(c, static_cast<int>(x), static_cast<int>(y));
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
