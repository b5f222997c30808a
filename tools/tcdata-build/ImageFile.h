// Encodes a canvas as PNG (with alpha) or JPEG (quality 92, no alpha) through DevIL, and
// writes encoded images to files.
#pragma once

#include "tools/tcdata-build/Canvas.h"

#include <string>

std::string encodePng(const Canvas& canvas);
std::string encodeJpeg(const Canvas& canvas);
// By the name's extension: ".jpg" gives JPEG, anything else PNG.
std::string encodeFor(const std::string& name, const Canvas& canvas);
// A 32-bit BMP with an alpha channel (BITMAPV4HEADER), as the desktop icons are stored.
std::string encodeBmpWithAlpha(const Canvas& canvas);
// Writes bytes as the whole of the file at path; throws std::runtime_error when it cannot.
void writeFile(const std::string& path, const std::string& bytes);
