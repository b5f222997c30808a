// Pictures of tcplayer for the menu: its icon and two views of its now-playing pane.
#pragma once

#include "tools/tcdata-build/Canvas.h"
#include "tools/tcdata-build/Text.h"

// A round play button crossed by a sound wave.
Canvas playerIcon(int size);
// The now-playing pane with its visualization list open and "Tone Crest" highlighted.
Canvas playerChoosingVisualization(TextPainter& text);
// The now-playing pane showing the Tone Crest visualization while a song plays.
Canvas playerShowingToneCrest(TextPainter& text);
