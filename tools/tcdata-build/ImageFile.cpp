#include "tools/tcdata-build/ImageFile.h"

#include <IL/il.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace {

unsigned char toByte(float v) {
    return static_cast<unsigned char>(std::lround(std::min(1.0f, std::max(0.0f, v)) * 255.0f));
}

std::string encode(const Canvas& canvas, ILenum type, bool alpha) {
    static bool started = false;
    if (!started) {
        ilInit();
        ilSetInteger(IL_JPG_QUALITY, 92);
        started = true;
    }
    int channels = alpha ? 4 : 3;
    std::vector<unsigned char> bytes(static_cast<size_t>(canvas.width()) * canvas.height() *
                                     channels);
    size_t i = 0;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            const Rgba& c = canvas.at(x, y);
            bytes[i++] = toByte(c.r);
            bytes[i++] = toByte(c.g);
            bytes[i++] = toByte(c.b);
            if (alpha) {
                bytes[i++] = toByte(c.a);
            }
        }
    }
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    ilTexImage(canvas.width(), canvas.height(), 1, static_cast<ILubyte>(channels),
               alpha ? IL_RGBA : IL_RGB, IL_UNSIGNED_BYTE, bytes.data());
    ilRegisterOrigin(IL_ORIGIN_UPPER_LEFT); // the canvas starts with its top row
    ILuint size = ilSaveL(type, nullptr, 0);
    std::string out(size, '\0');
    ILuint written = size == 0 ? 0 : ilSaveL(type, out.data(), size);
    ilDeleteImages(1, &image);
    if (written == 0) {
        throw std::runtime_error("DevIL could not encode an image");
    }
    out.resize(written);
    return out;
}

} // namespace

std::string encodePng(const Canvas& canvas) {
    return encode(canvas, IL_PNG, true);
}
std::string encodeJpeg(const Canvas& canvas) {
    return encode(canvas, IL_JPG, false);
}

std::string encodeFor(const std::string& name, const Canvas& canvas) {
    bool jpeg = name.size() >= 4 && name.compare(name.size() - 4, 4, ".jpg") == 0;
    return jpeg ? encodeJpeg(canvas) : encodePng(canvas);
}

std::string encodeBmpWithAlpha(const Canvas& canvas) {
    // BITMAPFILEHEADER, then a BITMAPV4HEADER with BI_BITFIELDS masks for B, G, R and A bytes,
    // then the rows bottom first.
    const int w = canvas.width(), h = canvas.height();
    const uint32_t headerSize = 14 + 108;
    const uint32_t pixelBytes = static_cast<uint32_t>(w) * static_cast<uint32_t>(h) * 4u;
    std::string out;
    auto u16 = [&](uint32_t v) {
        out.push_back(static_cast<char>(v & 0xFF));
        out.push_back(static_cast<char>((v >> 8) & 0xFF));
    };
    auto u32 = [&](uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    out += "BM";
    u32(headerSize + pixelBytes);
    u32(0);
    u32(headerSize);
    u32(108);
    u32(static_cast<uint32_t>(w));
    u32(static_cast<uint32_t>(h));
    u16(1);
    u16(32);
    u32(3); // BI_BITFIELDS
    u32(pixelBytes);
    u32(2835);
    u32(2835);
    u32(0);
    u32(0);
    u32(0x00FF0000u); // red
    u32(0x0000FF00u); // green
    u32(0x000000FFu); // blue
    u32(0xFF000000u); // alpha
    u32(0x73524742u); // sRGB
    for (int i = 0; i < 12; ++i) {
        u32(0); // end points and gamma
    }
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const Rgba& c = canvas.at(x, y);
            out.push_back(static_cast<char>(toByte(c.b)));
            out.push_back(static_cast<char>(toByte(c.g)));
            out.push_back(static_cast<char>(toByte(c.r)));
            out.push_back(static_cast<char>(toByte(c.a)));
        }
    }
    return out;
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}
