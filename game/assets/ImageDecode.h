// Decoding an image held in memory into 8-bit RGBA pixels, the bottom row first (so that
// texture coordinate t = 1 is the top of the image). The data is checked by checkImage first;
// only what passes reaches the decoder. Needs no GL context.
#pragma once

#include "game/assets/ImageCheck.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct DecodedImage {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<unsigned char> rgba;
};

// The decoder's own pixels of one image: 8-bit, bottom row first, 3 (RGB) or 4 (RGBA) channels.
struct DecodedPixels {
    uint32_t width = 0;
    uint32_t height = 0;
    int channels = 4;
    const unsigned char* data = nullptr;
};

// The kind of image a file name stands for, by the first of ".png", ".bmp", ".jpg" found in
// it (letter case counts). False when the name has none of them.
bool imageKindFor(const char* name, ImageKind* kind);

// False with the reason in why when the data fails its check or the decoder refuses it; out is
// then left empty. maxSide is the largest side accepted (the GL maximum texture size).
bool decodeImage(ImageKind kind, const unsigned char* data, size_t size, uint32_t maxSide,
                 DecodedImage* out, std::string* why);

// As decodeImage, but hands the decoder's own pixels to use instead of an RGBA copy of them:
// RGB stays RGB. For an image read once, which then need not pay for a copy (fresh memory of
// the image's size, whose first touch is far from free). The pixels live until use returns;
// use is not called when the decode fails.
bool withDecodedPixels(ImageKind kind, const unsigned char* data, size_t size, uint32_t maxSide,
                       const std::function<void(const DecodedPixels&)>& use, std::string* why);
