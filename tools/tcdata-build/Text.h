// Text drawn with FreeType from the DejaVu fonts.
#pragma once

#include "tools/tcdata-build/Canvas.h"

#include <string>

enum class Face { Sans, SansBold, Serif, SerifBold, Mono, MonoBold, Condensed };

class TextPainter {
  public:
    TextPainter();
    ~TextPainter();
    TextPainter(const TextPainter&) = delete;
    TextPainter& operator=(const TextPainter&) = delete;

    // Width in pixels of text (UTF-8) at pixel size px.
    float measure(const std::string& text, Face face, float px);
    // Draws text with its baseline starting at (x, baseline).
    void draw(Canvas& canvas, const std::string& text, Face face, float px, float x, float baseline,
              const Rgba& colour);
    // Centred horizontally on cx, with the middle of capital letters at cy.
    void drawCentred(Canvas& canvas, const std::string& text, Face face, float px, float cx,
                     float cy, const Rgba& colour);
    // The largest size up to px at which text fits in width.
    float fit(const std::string& text, Face face, float px, float width);

  private:
    void* faceFor(Face face, float px);

    void* library = nullptr;
    void* faces[7] = {};
};
