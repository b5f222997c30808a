// A structural check of PNG data before it reaches the decoder. DevIL's PNG reader does not
// report a read past the end of its buffer to libpng, so a cut-off file can make the decoder
// loop forever; only data whose chunks all lie inside the buffer, from IHDR to IEND, is decoded.
#pragma once

#include <cstddef>

bool pngIsWhole(const unsigned char* data, size_t size);
