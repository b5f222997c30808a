// The desktop's icons for the game and the player: the crest of the musical wave over a night
// sky in a rounded square, drawn afresh at each size the hicolor theme asks for, so the small
// sizes stay sharp rather than being shrunk from a large picture.
#pragma once

#include "tools/tcdata-build/Canvas.h"

#include <string>
#include <vector>

struct DesktopIconStyle {
    std::string name; // the icon's name in the theme: "tonecrest", "tcplayer"
    Rgba rim;         // the square's outline
    Rgba crest;       // the colour at the top of the wave
    bool note;        // the player's mark: a note above the wave
};

// The sizes (in pixels, square) installed under share/icons/hicolor/<n>x<n>/apps.
const std::vector<int>& desktopIconSizes();

// The two programs' styles.
const std::vector<DesktopIconStyle>& desktopIconStyles();

// Draws the icon at size x size pixels.
Canvas drawDesktopIcon(const DesktopIconStyle& style, int size);

// Writes <folder>/<n>x<n>/apps/<name>.png for every style and size, making the folders.
// Throws std::runtime_error naming the file that could not be written.
void writeDesktopIcons(const std::string& folder);
