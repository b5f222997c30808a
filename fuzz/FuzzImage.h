// One image check and decoder over any bytes: decoded within the texture limits, or refused
// with a reason, never a hang or an allocation out of proportion to the input.
#pragma once

#include "game/assets/ImageDecode.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace fuzzinput {

inline int decodeAnyImage(ImageKind kind, const uint8_t* data, size_t size) {
    DecodedImage image;
    std::string why;
    if (decodeImage(kind, data, size, imagelimits::kMaxSide, &image, &why)) {
        if (image.rgba.size() != size_t{image.width} * image.height * 4 ||
            image.width > imagelimits::kMaxSide || image.height > imagelimits::kMaxSide) {
            std::abort();
        }
    } else if (why.empty()) {
        std::abort();
    }
    return 0;
}

} // namespace fuzzinput
