#include "tools/tcdata-build/ImageFile.h"

#include <IL/il.h>

#include <algorithm>
#include <cmath>
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
