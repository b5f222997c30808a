// The programs' desktop icons, written beside the programs (see platform/window/Icon.h).
#pragma once

#include <string>

// Writes Tonecrest-111.bmp, tcplayer-101.bmp and NowPane-101.bmp into folder.
void writeIcons(const std::string& folder);
