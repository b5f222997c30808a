// Drawing on a 32-bit pixel surface (0x00RRGGBB, rows from the top): filled and framed
// rectangles and anti-aliased UTF-8 text in the desktop's sans font through FreeType.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

// A surface someone else owns (the window's, or the pane's).
struct PixelView {
    uint32_t* pixels = nullptr;
    int width = 0, height = 0;
    int pitch = 0; // in pixels
};

class Font {
  public:
    // Loads the first of the usual sans fonts it finds, at pixelSize; ok() false when none.
    explicit Font(int pixelSize);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    bool ok() const { return face != nullptr; }
    int lineHeight() const { return line; }
    int ascent() const { return asc; }

    struct Glyph {
        int left = 0, top = 0, width = 0, height = 0, advance = 0;
        std::vector<uint8_t> coverage;
    };
    const Glyph& glyph(uint32_t codepoint);
    int textWidth(const std::string& utf8);

  private:
    void* library = nullptr; // FT_Library
    void* face = nullptr;    // FT_Face
    int line = 0, asc = 0;
    std::map<uint32_t, Glyph> cache;
};

class Canvas {
  public:
    Canvas(PixelView view, Font& font) : v(view), f(font) {}
    void fill(const Rect& r, uint32_t rgb);
    void frame(const Rect& r, uint32_t rgb);
    // Text with its top-left at (x, y), clipped to the clip rectangle (the whole surface when
    // clip has no size), ending in "..." when wider than maxWidth (> 0). Returns its width.
    int text(int x, int y, const std::string& utf8, uint32_t rgb, int maxWidth = 0);
    void setClip(const Rect& r) { clip = r; }
    Font& font() { return f; }
    const PixelView& view() const { return v; }

  private:
    void blend(int x, int y, uint32_t rgb, int alpha);
    PixelView v;
    Font& f;
    Rect clip;
};

// Next code point of UTF-8 text at i (advancing i); malformed bytes give U+FFFD.
uint32_t nextCodePoint(const std::string& s, size_t& i);
