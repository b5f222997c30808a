#include "game/assets/ImageCheck.h"

#include <algorithm>

namespace {

bool refuse(std::string* why, const std::string& reason) {
    if (why != nullptr) {
        *why = reason;
    }
    return false;
}

} // namespace

bool checkImage(ImageKind kind, const unsigned char* data, size_t size, uint32_t maxSide,
                ImageHeader* header, std::string* why) {
    ImageHeader h;
    bool whole = false;
    switch (kind) {
    case ImageKind::Png:
        whole = checkPng(data, size, &h, why);
        break;
    case ImageKind::Jpeg:
        whole = checkJpeg(data, size, &h, why);
        break;
    case ImageKind::Bmp:
        whole = checkBmp(data, size, &h, why);
        break;
    }
    if (!whole) {
        return false;
    }
    uint32_t side = std::min(maxSide, imagelimits::kMaxSide);
    std::string claimed = std::to_string(h.width) + " x " + std::to_string(h.height);
    if (h.width > side || h.height > side) {
        return refuse(why, "image of " + claimed + " pixels is larger than the " +
                               std::to_string(side) + " a texture side may have");
    }
    uint64_t pixels = uint64_t{h.width} * h.height;
    uint64_t allowed = std::max(imagelimits::kFreePixels, imagelimits::kPixelsPerFileByte * size);
    if (pixels > allowed) {
        return refuse(why, "image of " + claimed + " pixels is out of proportion to its " +
                               std::to_string(size) + " bytes");
    }
    if (header != nullptr) {
        *header = h;
    }
    return true;
}
