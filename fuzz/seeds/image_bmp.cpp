#include "fuzz/seeds/Seeds.h"

#include <IL/il.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// A BMP through DevIL's writer: w x h pixels of the given format.
std::string encodeBmp(int w, int h, ILenum format, int channels) {
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    std::vector<unsigned char> px(static_cast<size_t>(w * h * channels));
    for (size_t i = 0; i < px.size(); ++i) {
        px[i] = static_cast<unsigned char>(i * 37);
    }
    ilTexImage(w, h, 1, static_cast<ILubyte>(channels), format, IL_UNSIGNED_BYTE, px.data());
    ILuint size = ilSaveL(IL_BMP, nullptr, 0);
    std::string out(size, '\0');
    ilSaveL(IL_BMP, out.data(), size);
    ilDeleteImages(1, &image);
    return out;
}

void put(std::string& s, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        s += static_cast<char>(v >> (8 * i));
    }
}

// A 4 x 2 8-bit BMP with a two-colour palette, written by hand.
std::string shortPalette() {
    std::string pixels("\x00\x01\x01\x00\x01\x00\x00\x01", 8);
    std::string b("BM", 2);
    put(b, 14 + 40 + 8 + static_cast<uint32_t>(pixels.size()), 4);
    put(b, 0, 4);
    put(b, 14 + 40 + 8, 4);
    put(b, 40, 4);
    put(b, 4, 4);
    put(b, 2, 4);
    put(b, 1, 2);
    put(b, 8, 2);
    put(b, 0, 4);
    put(b, static_cast<uint32_t>(pixels.size()), 4);
    put(b, 2835, 4);
    put(b, 2835, 4);
    put(b, 2, 4);
    put(b, 0, 4);
    b += std::string("\x00\x00\xff\x00\xff\x00\x00\x00", 8);
    return b + pixels;
}

} // namespace

void writeSeeds(SeedWriter& out) {
    ilInit();
    out.add("rgb.bmp", encodeBmp(5, 3, IL_RGB, 3));
    out.add("rgba.bmp", encodeBmp(4, 4, IL_RGBA, 4));
    out.add("grey.bmp", encodeBmp(7, 2, IL_LUMINANCE, 1));
    out.add("palette.bmp", shortPalette());
}
