// GDI drawing with the Win32 names: device contexts over 32-bit pixel surfaces, solid pens and
// brushes, rectangles, lines and text in one built-in bitmap font (DejaVu Sans, 16 pixels a
// line, Latin-1 characters).
//
// A device context draws into a PixelSurface. A host gives a window a surface with
// plat::bindWindowSurface, after which GetDC(window) (GLContext.h) yields a context that draws
// there; plat::createSurfaceDC makes a context of its own over any surface. Drawing outside
// the surface is clipped; drawing through a context without a surface does nothing and
// reports failure.
//
// A new context has the white brush, the black pen, black text on an opaque white background
// and the current position (0, 0). Objects selected into a context cannot be deleted
// (DeleteObject fails) until something else is selected in their place; stock objects are
// never deleted.
#pragma once

#include "platform/base/WinTypes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

using COLORREF = DWORD; // 0x00BBGGRR

struct HPEN__;
using HPEN = HPEN__*;
using HGDIOBJ = void*;

struct SIZE {
    LONG cx;
    LONG cy;
};

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) |
           (static_cast<COLORREF>(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) {
    return static_cast<BYTE>(c & 0xFF);
}
constexpr BYTE GetGValue(COLORREF c) {
    return static_cast<BYTE>((c >> 8) & 0xFF);
}
constexpr BYTE GetBValue(COLORREF c) {
    return static_cast<BYTE>((c >> 16) & 0xFF);
}

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// Pen styles.
constexpr int PS_SOLID = 0;
constexpr int PS_NULL = 5;

// Stock objects.
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;

// Background modes of text.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

HBRUSH CreateSolidBrush(COLORREF colour);
// Solid pens of width 0 or 1 draw one pixel wide; wider pens draw a square nib of that width.
HPEN CreatePen(int style, int width, COLORREF colour);
HGDIOBJ GetStockObject(int object);
// Selects a pen or brush; returns the one it replaces, or null for an invalid context or
// object.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// FALSE for an unknown or currently selected object; TRUE (and nothing happens) for stock
// objects.
BOOL DeleteObject(HGDIOBJ object);

// Fills left..right-1 x top..bottom-1 with the brush; nothing for an empty rectangle.
// Nonzero on success.
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
// The rectangle from (left, top) to (right, bottom), corners in either order, excluding the
// right and bottom edges: outlined with the pen and filled with the brush. A rectangle with
// no width or no height draws nothing.
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
// Moves the current position; the old one goes to previous when not null.
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
// A line with the pen from the current position to (x, y), excluding that end point, which
// becomes the current position.
BOOL LineTo(HDC dc, int x, int y);

COLORREF SetTextColor(HDC dc, COLORREF colour);
COLORREF SetBkColor(HDC dc, COLORREF colour);
int SetBkMode(HDC dc, int mode);
// Draws length characters (8-bit, Latin-1) with their cell's top left corner at (x, y); in
// OPAQUE mode the cells are first filled with the background colour.
BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length);
BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, SIZE* size);

COLORREF GetPixel(HDC dc, int x, int y);
BOOL DeleteDC(HDC dc);

namespace plat {

// Pixels 0x00RRGGBB, rows top to bottom, width pixels a row.
class PixelSurface {
  public:
    PixelSurface(int width, int height, uint32_t fill = 0);
    int width() const { return w; }
    int height() const { return h; }
    uint32_t* data() { return pixels.data(); }
    const uint32_t* data() const { return pixels.data(); }
    // 0 outside the surface.
    uint32_t at(int x, int y) const;
    void set(int x, int y, uint32_t rgb);
    // Changes the size; the content becomes fill.
    void resize(int width, int height, uint32_t fill = 0);

  private:
    int w;
    int h;
    std::vector<uint32_t> pixels;
};

// 0x00RRGGBB of a COLORREF and back.
constexpr uint32_t rgbOf(COLORREF c) {
    return (static_cast<uint32_t>(GetRValue(c)) << 16) |
           (static_cast<uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}
constexpr COLORREF colorRefOf(uint32_t rgb) {
    return RGB(static_cast<BYTE>(rgb >> 16), static_cast<BYTE>(rgb >> 8), static_cast<BYTE>(rgb));
}

// A context of its own over surface, freed with DeleteDC. The surface must outlive it.
HDC createSurfaceDC(PixelSurface* surface);
// GetDC(window) draws into surface from now on; null undoes the binding (do that before the
// window is destroyed). The surface should be the size of the window's client area and must
// outlive the binding. FALSE when the window has no device context.
BOOL bindWindowSurface(HWND window, PixelSurface* surface);

} // namespace plat
