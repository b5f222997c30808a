#include "plugin/CWavetap1.h"

#include "platform/gdi/Gdi.h"

#include <cstring>

namespace {

constexpr int kSegments = 120;
constexpr int kFigureLeft = 75;

// The five heights of one band: V = mean of both channels, a = V/2, b = a/2, c = b/2,
// d = a + c, each scaled to the pane and truncated toward zero.
struct BandShape {
    int v, a, b, c, d;
};

BandShape shapeOf(const TimedLevel& levels, int band, float scale) {
    int v = (levels.frequency[0][band] + levels.frequency[1][band]) / 2;
    int a = v / 2;
    int b = a / 2;
    int c = b / 2;
    int d = a + c;
    auto scaled = [scale](int x) { return static_cast<int>(static_cast<float>(x) * scale); };
    return {scaled(v), scaled(a), scaled(b), scaled(c), scaled(d)};
}

// Each component truncated toward zero, then its low 8 bits (large sums wrap around).
BYTE lowByte(double value) {
    return static_cast<BYTE>(static_cast<int>(value) & 0xFF);
}

// A new pen and brush of the colour replace the selected ones, which are deleted.
void useColour(HDC dc, COLORREF colour, HPEN* pen, HBRUSH* brush) {
    HPEN newPen = CreatePen(PS_SOLID, 0, colour);
    HBRUSH newBrush = CreateSolidBrush(colour);
    SelectObject(dc, newPen);
    SelectObject(dc, newBrush);
    DeleteObject(*pen);
    DeleteObject(*brush);
    *pen = newPen;
    *brush = newBrush;
}

void line(HDC dc, int x0, int y0, int x1, int y1) {
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
}

struct TextLine {
    int x, y;
    COLORREF colour;
    const char* text;
};

constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

const TextLine kText[] = {
    {10, 50, kYellow, "Tone Crest 2.0"},
    {10, 70, kYellow, "www.brightfoldsoftware.com"},
    {10, 90, kRed, "Keep This Window Visible, and run"},
    {10, 110, kRed, "Tone Crest to ride the musical wave!"},
    {10, 130, kMagenta, "Click Here"},
    {81, 130, kWhite, "To Run Tone Crest!"},
    {10, 150, kWhite, "Don't minimize this window!"},
};

} // namespace

HRESULT CWavetap1::Render(TimedLevel* levels, HDC dc, RECT* rect) {
    if (rect == nullptr) {
        return E_POINTER;
    }
    static const TimedLevel silence{};
    const TimedLevel& l = levels != nullptr ? *levels : silence;

    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 0));
    HGDIOBJ previousBrush = SelectObject(dc, brush);
    HPEN pen = CreatePen(PS_SOLID, 0, RGB(255, 255, 255));
    HGDIOBJ previousPen = SelectObject(dc, pen);
    FillRect(dc, rect, brush);

    if (currentPreset == 0) {
        drawFigure(dc, l, *rect);
        // The bar under the figure, black on black.
        useColour(dc, RGB(0, 0, 0), &pen, &brush);
        Rectangle(dc, 10, 220, 210, 225);
        drawText(dc);
    }

    // Put back what the context had, so that the last pen and brush can go.
    SelectObject(dc, previousBrush);
    DeleteObject(brush);
    SelectObject(dc, previousPen);
    DeleteObject(pen);
    return S_OK;
}

void CWavetap1::drawFigure(HDC dc, const TimedLevel& l, const RECT& rect) {
    // A rectangle given inside out is drawn as an empty one.
    long width = static_cast<long>(rect.right) - rect.left;
    long height = static_cast<long>(rect.bottom) - rect.top;
    int step = width > 0 ? static_cast<int>(width / kSegments) : 0;
    int cy = height > 0 ? static_cast<int>(height / 2) : 0;
    float scale = static_cast<float>(cy) / 255.0f;

    // The first segment's colour comes from the unscaled mean of band 0.
    int v0 = (l.frequency[0][0] + l.frequency[1][0]) / 2;
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    COLORREF colour = RGB(lowByte(255 - 1.5 * v0), 3, lowByte(v0));
    HPEN firstPen = CreatePen(PS_SOLID, 0, colour);
    HBRUSH firstBrush = CreateSolidBrush(colour);
    HGDIOBJ callerPen = SelectObject(dc, firstPen);
    HGDIOBJ callerBrush = SelectObject(dc, firstBrush);
    pen = firstPen;
    brush = firstBrush;

    BandShape s = shapeOf(l, 0, scale);
    for (int n = kSegments - 1; n >= 1; --n) {
        int xl = n * step + kFigureLeft;
        int xr = (n + 1) * step + kFigureLeft;
        line(dc, xr, cy + s.v, xl, cy + s.v);
        Rectangle(dc, xl, cy + s.d, xr, cy + s.a);
        Rectangle(dc, xl, cy + s.b, xr, cy + s.c);
        Rectangle(dc, xl, cy - s.c, xr, cy - s.b);
        line(dc, xr, cy - s.v, xl, cy - s.v);
        Rectangle(dc, xl, cy - s.a, xr, cy - s.d);

        // The next band: bands 0, 8, 16, ... from the right-hand segment leftwards.
        int band = 8 * (kSegments - 1 - (n - 1));
        int sum = l.frequency[0][band] + l.frequency[1][band];
        s = shapeOf(l, band, scale);
        colour = RGB(lowByte(255 - 1.5 * sum), lowByte(255.0 - 2.1 * n), lowByte(sum));
        useColour(dc, colour, &pen, &brush);
    }

    SelectObject(dc, callerPen);
    SelectObject(dc, callerBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

void CWavetap1::drawText(HDC dc) {
    SetBkColor(dc, RGB(0, 0, 0));
    for (const TextLine& t : kText) {
        SetTextColor(dc, t.colour);
        TextOutA(dc, t.x, t.y, t.text, static_cast<int>(std::strlen(t.text)));
    }
}
