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

bool withDecodedPixels(ImageKind kind, const unsigned char* data, size_t size, uint32_t maxSide,
                       const std::function<void(const DecodedPixels&)>& use, std::string* why) {
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
    bool decoded = ilLoadL(decoderFor(kind), data, static_cast<ILuint>(size));
    if (decoded) {
        // RGB and RGBA bytes are handed over as they are; anything else (palettes, grey, BGR,
        // wider samples) as RGBA.
        const ILint format = ilGetInteger(IL_IMAGE_FORMAT);
        decoded = (ilGetInteger(IL_IMAGE_TYPE) == IL_UNSIGNED_BYTE &&
                   (format == IL_RGB || format == IL_RGBA)) ||
                  ilConvertImage(IL_RGBA, IL_UNSIGNED_BYTE);
    }
    if (!decoded) {
        if (why != nullptr) {
            *why = "image data is damaged (the decoder gave error " + std::to_string(ilGetError()) +
                   ")";
        }
        return false;
    }
    DecodedPixels pixels;
    pixels.width = static_cast<uint32_t>(ilGetInteger(IL_IMAGE_WIDTH));
    pixels.height = static_cast<uint32_t>(ilGetInteger(IL_IMAGE_HEIGHT));
    pixels.channels = ilGetInteger(IL_IMAGE_FORMAT) == IL_RGB ? 3 : 4;
    pixels.data = ilGetData();
    if (pixels.width != header.width || pixels.height != header.height || pixels.data == nullptr) {
        if (why != nullptr) {
            *why = "image decodes to another size than its header gives";
        }
        return false;
    }
    use(pixels);
    return true;
}

bool decodeImage(ImageKind kind, const unsigned char* data, size_t size, uint32_t maxSide,
                 DecodedImage* out, std::string* why) {
    *out = DecodedImage{};
    // One copy, widened to RGBA on the way where needed: a converted image in the decoder and
    // then a copy of it would each be fresh memory of the image's size.
    return withDecodedPixels(
        kind, data, size, maxSide,
        [out](const DecodedPixels& pixels) {
            const size_t count = size_t{pixels.width} * pixels.height;
            out->width = pixels.width;
            out->height = pixels.height;
            if (pixels.channels == 4) {
                out->rgba.assign(pixels.data, pixels.data + count * 4);
                return;
            }
            out->rgba.resize(count * 4);
            unsigned char* to = out->rgba.data();
            for (size_t i = 0; i < count; ++i, to += 4) {
                std::memcpy(to, pixels.data + i * 3, 3);
                to[3] = 255;
            }
        },
        why);
}
