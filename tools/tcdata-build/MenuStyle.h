// The look shared by the menu's images: glowing gradient lettering on transparent ground,
// panels and text blocks.
#pragma once

#include "tools/tcdata-build/Canvas.h"
#include "tools/tcdata-build/Text.h"

#include <string>
#include <vector>

namespace menustyle {

const Rgba kGoldTop{1.0f, 0.95f, 0.70f, 1};
const Rgba kGoldBottom{1.0f, 0.62f, 0.18f, 1};
const Rgba kIceTop{0.85f, 0.97f, 1.0f, 1};
const Rgba kIceBottom{0.35f, 0.70f, 1.0f, 1};
const Rgba kGlow{0.02f, 0.05f, 0.15f, 0.9f};
const Rgba kHotGlow{1.0f, 0.45f, 0.1f, 0.9f};

// Gradient lettering centred on (cx, cy), fitted into maxWidth, with a glow behind it.
void lettering(Canvas& c, TextPainter& text, const std::string& s, Face face, float px, float cx,
               float cy, float maxWidth, const Rgba& top, const Rgba& bottom, const Rgba& glow);
// A button label filling a w x h image.
Canvas label(TextPainter& text, const std::string& s, int w, int h, bool hot = false);
// A button: a rounded plate covering the middle widthFraction of a w x h image (the part the
// game answers clicks in) with the label fitted on it.
Canvas buttonPlate(TextPainter& text, const std::string& s, int w, int h, float widthFraction);
// Lines of text in a rounded translucent panel; a line starting with '#' is a heading.
Canvas textPanel(TextPainter& text, const std::vector<std::string>& lines, int w, int h, float px);

} // namespace menustyle
