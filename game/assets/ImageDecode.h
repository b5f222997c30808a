// Decoding an image held in memory into 8-bit RGBA pixels, the bottom row first (so that
// texture coordinate t = 1 is the top of the image). The data is checked by checkImage first;
// only what passes reaches the decoder. Needs no GL context.
#pragma once

#include "game/assets/ImageCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct DecodedImage {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<unsigned char> rgba;
};

// The kind of image a file name stands for, by the first of ".png", ".bmp", ".jpg" found in
// it (letter case counts). False when the name has none of them.
bool imageKindFor(const char* name, ImageKind* kind);

// False with the reason in why when the data fails its check or the decoder refuses it; out is
// then left empty. maxSide is the largest side accepted (the GL maximum texture size).
bool decodeImage(ImageKind kind, const unsigned char* data, size_t size, uint32_t maxSide,
                 DecodedImage* out, std::string* why);
