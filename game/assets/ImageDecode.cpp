#include "game/assets/ImageDecode.h"

#include <IL/il.h>

#include <cstring>

namespace {

ILenum decoderFor(ImageKind kind) {
    switch (kind) {
    case ImageKind::Png:
        return IL_PNG;
    case ImageKind::Bmp:
        return IL_BMP;
    case ImageKind::Jpeg:
        return IL_JPG;
    }
    return IL_TYPE_UNKNOWN;
}

// Forgets errors an earlier decode left behind, so that the next report is this decode's.
void clearDecoderErrors() {
    while (ilGetError() != IL_NO_ERROR) {
    }
}

// DevIL's image name for the time of one decode.
class DecoderImage {
  public:
    DecoderImage() {
        ilGenImages(1, &image);
        ilBindImage(image);
    }
    ~DecoderImage() { ilDeleteImages(1, &image); }
    DecoderImage(const DecoderImage&) = delete;
    DecoderImage& operator=(const DecoderImage&) = delete;

  private:
    ILuint image = 0;
};

} // namespace

bool imageKindFor(const char* name, ImageKind* kind) {
    if (name == nullptr) {
        return false;
    }
    if (std::strstr(name, ".png") != nullptr) {
        *kind = ImageKind::Png;
    } else if (std::strstr(name, ".bmp") != nullptr) {
        *kind = ImageKind::Bmp;
    } else if (std::strstr(name, ".jpg") != nullptr) {
        *kind = ImageKind::Jpeg;
    } else {
        return false;
    }
    return true;
}

bool decodeImage(ImageKind kind, const unsigned char* data, size_t size, uint32_t maxSide,
                 DecodedImage* out, std::string* why) {
    *out = DecodedImage{};
    ImageHeader header;
    if (!checkImage(kind, data, size, maxSide, &header, why)) {
        return false;
    }
    static bool started = false;
    if (!started) {
        ilInit();
        started = true;
    }
    ilEnable(IL_ORIGIN_SET);
    ilOriginFunc(IL_ORIGIN_LOWER_LEFT);
    clearDecoderErrors();
    DecoderImage image;
    // The decoder gets the data's real size, so that it cannot read past its end.
    if (!ilLoadL(decoderFor(kind), data, static_cast<ILuint>(size)) ||
        !ilConvertImage(IL_RGBA, IL_UNSIGNED_BYTE)) {
        if (why != nullptr) {
            *why = "image data is damaged (the decoder gave error " + std::to_string(ilGetError()) +
                   ")";
        }
        return false;
    }
    auto width = static_cast<uint32_t>(ilGetInteger(IL_IMAGE_WIDTH));
    auto height = static_cast<uint32_t>(ilGetInteger(IL_IMAGE_HEIGHT));
    const ILubyte* pixels = ilGetData();
    if (width != header.width || height != header.height || pixels == nullptr) {
        if (why != nullptr) {
            *why = "image decodes to another size than its header gives";
        }
        return false;
    }
    out->width = width;
    out->height = height;
    out->rgba.assign(pixels, pixels + size_t{width} * height * 4);
    return true;
}
