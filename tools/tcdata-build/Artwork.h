// The generators of the data archive's entries. Each adds its entries to the archive under
// the names the game loads them by.
#pragma once

#include "tools/tcdata-build/ZipWriter.h"

class TextPainter;

void addSky(ZipWriter& zip);
void addGround(ZipWriter& zip);
void addSprites(ZipWriter& zip);
void addFont(ZipWriter& zip, TextPainter& text);
void addMenuImages(ZipWriter& zip, TextPainter& text);
void addSplashImages(ZipWriter& zip, TextPainter& text);
void addDragon(ZipWriter& zip);
void addProps(ZipWriter& zip);
