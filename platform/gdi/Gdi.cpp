#include "platform/gdi/GdiState.h"

#include "platform/window/GLContext.h"

#include <map>
#include <memory>

namespace plat::gdi {
namespace {

struct Tables {
    std::map<const void*, std::unique_ptr<Object>> objects;
    std::map<const void*, std::unique_ptr<Context>> contexts;
    // Contexts that belong to windows (GetDC), by their handle.
    std::map<const void*, HDC> windowContexts;
    Object stock[9] = {
        {Object::Kind::Brush, 0, 0, 0xFFFFFF, true, 0},      // WHITE_BRUSH
        {Object::Kind::Brush, 0, 0, 0xC0C0C0, true, 0},      // LTGRAY_BRUSH
        {Object::Kind::Brush, 0, 0, 0x808080, true, 0},      // GRAY_BRUSH
        {Object::Kind::Brush, 0, 0, 0x404040, true, 0},      // DKGRAY_BRUSH
        {Object::Kind::Brush, 0, 0, 0x000000, true, 0},      // BLACK_BRUSH
        {Object::Kind::Brush, 1, 0, 0x000000, true, 0},      // NULL_BRUSH
        {Object::Kind::Pen, PS_SOLID, 0, 0xFFFFFF, true, 0}, // WHITE_PEN
        {Object::Kind::Pen, PS_SOLID, 0, 0x000000, true, 0}, // BLACK_PEN
        {Object::Kind::Pen, PS_NULL, 0, 0x000000, true, 0},  // NULL_PEN
    };
};

Tables& tables() {
    static Tables* t = new Tables(); // lives to the very end of the process
    return *t;
}

Context* newContext(PixelSurface* surface) {
    auto c = std::make_unique<Context>();
    c->surface = surface;
    c->pen = &tables().stock[BLACK_PEN];
    c->brush = &tables().stock[WHITE_BRUSH];
    c->pen->selections++;
    c->brush->selections++;
    return c.release();
}

void dropContext(Context* c) {
    c->pen->selections--;
    c->brush->selections--;
}

} // namespace

std::mutex& gdiLock() {
    static std::mutex* m = new std::mutex();
    return *m;
}

Context* contextOf(HDC dc) {
    auto found = tables().contexts.find(dc);
    return found == tables().contexts.end() ? nullptr : found->second.get();
}

Object* objectOf(HGDIOBJ handle) {
    Tables& t = tables();
    for (Object& s : t.stock) {
        if (handle == &s) {
            return &s;
        }
    }
    auto found = t.objects.find(handle);
    return found == t.objects.end() ? nullptr : found->second.get();
}

void fillBox(Context& c, int left, int top, int right, int bottom, uint32_t rgb) {
    if (c.surface == nullptr) {
        return;
    }
    int x0 = left < 0 ? 0 : left;
    int y0 = top < 0 ? 0 : top;
    int x1 = right > c.surface->width() ? c.surface->width() : right;
    int y1 = bottom > c.surface->height() ? c.surface->height() : bottom;
    for (int y = y0; y < y1; ++y) {
        uint32_t* row = c.surface->data() + static_cast<size_t>(y) * c.surface->width();
        for (int x = x0; x < x1; ++x) {
            row[x] = rgb;
        }
    }
}

} // namespace plat::gdi

using namespace plat::gdi;

namespace {

HGDIOBJ addObject(Object o) {
    std::lock_guard<std::mutex> lock(gdiLock());
    auto record = std::make_unique<Object>(o);
    Object* handle = record.get();
    tables().objects[handle] = std::move(record);
    return handle;
}

} // namespace

HBRUSH CreateSolidBrush(COLORREF colour) {
    return static_cast<HBRUSH>(
        addObject({Object::Kind::Brush, 0, 0, plat::rgbOf(colour), false, 0}));
}

HPEN CreatePen(int style, int width, COLORREF colour) {
    if (style != PS_SOLID && style != PS_NULL) {
        style = PS_SOLID; // dashes are drawn solid
    }
    return static_cast<HPEN>(addObject(
        {Object::Kind::Pen, style, width < 0 ? 0 : width, plat::rgbOf(colour), false, 0}));
}

HGDIOBJ GetStockObject(int object) {
    if (object < WHITE_BRUSH || object > NULL_PEN) {
        return nullptr;
    }
    return &tables().stock[object];
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    std::lock_guard<std::mutex> lock(gdiLock());
    Context* c = contextOf(dc);
    Object* o = objectOf(object);
    if (c == nullptr || o == nullptr) {
        return nullptr;
    }
    Object*& slot = o->kind == Object::Kind::Pen ? c->pen : c->brush;
    Object* previous = slot;
    previous->selections--;
    o->selections++;
    slot = o;
    return previous;
}

BOOL DeleteObject(HGDIOBJ object) {
    std::lock_guard<std::mutex> lock(gdiLock());
    Object* o = objectOf(object);
    if (o == nullptr || o->selections > 0) {
        return FALSE;
    }
    if (!o->stock) {
        tables().objects.erase(object);
    }
    return TRUE;
}

COLORREF SetTextColor(HDC dc, COLORREF colour) {
    std::lock_guard<std::mutex> lock(gdiLock());
    Context* c = contextOf(dc);
    if (c == nullptr) {
        return CLR_INVALID;
    }
    COLORREF previous = plat::colorRefOf(c->textRgb);
    c->textRgb = plat::rgbOf(colour);
    return previous;
}

COLORREF SetBkColor(HDC dc, COLORREF colour) {
    std::lock_guard<std::mutex> lock(gdiLock());
    Context* c = contextOf(dc);
    if (c == nullptr) {
        return CLR_INVALID;
    }
    COLORREF previous = plat::colorRefOf(c->backRgb);
    c->backRgb = plat::rgbOf(colour);
    return previous;
}

int SetBkMode(HDC dc, int mode) {
    std::lock_guard<std::mutex> lock(gdiLock());
    Context* c = contextOf(dc);
    if (c == nullptr || (mode != OPAQUE && mode != TRANSPARENT)) {
        return 0;
    }
    int previous = c->backMode;
    c->backMode = mode;
    return previous;
}

COLORREF GetPixel(HDC dc, int x, int y) {
    std::lock_guard<std::mutex> lock(gdiLock());
    Context* c = contextOf(dc);
    if (c == nullptr || c->surface == nullptr || x < 0 || y < 0 || x >= c->surface->width() ||
        y >= c->surface->height()) {
        return CLR_INVALID;
    }
    return plat::colorRefOf(c->surface->at(x, y));
}

BOOL DeleteDC(HDC dc) {
    std::lock_guard<std::mutex> lock(gdiLock());
    Context* c = contextOf(dc);
    if (c == nullptr) {
        return FALSE;
    }
    for (const auto& w : tables().windowContexts) {
        if (w.second == dc) {
            return FALSE; // a window's context goes with its binding
        }
    }
    dropContext(c);
    tables().contexts.erase(dc);
    return TRUE;
}

namespace plat {

HDC createSurfaceDC(PixelSurface* surface) {
    std::lock_guard<std::mutex> lock(gdiLock());
    Context* c = newContext(surface);
    HDC dc = reinterpret_cast<HDC>(c);
    tables().contexts[dc] = std::unique_ptr<Context>(c);
    return dc;
}

BOOL bindWindowSurface(HWND window, PixelSurface* surface) {
    HDC dc = GetDC(window);
    if (dc == nullptr) {
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(gdiLock());
    Tables& t = tables();
    Context* c = contextOf(dc);
    if (surface == nullptr) {
        if (c != nullptr) {
            dropContext(c);
            t.contexts.erase(dc);
            t.windowContexts.erase(window);
        }
        return TRUE;
    }
    if (c == nullptr) {
        c = newContext(surface);
        t.contexts[dc] = std::unique_ptr<Context>(c);
        t.windowContexts[window] = dc;
    }
    c->surface = surface;
    return TRUE;
}

} // namespace plat
