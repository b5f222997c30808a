// The Jpeg check and decoder over any bytes: decoded within the texture limits, or refused
// with a reason, never a hang or an allocation out of proportion to the input.
#include "game/assets/ImageDecode.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DecodedImage image;
    std::string why;
    if (decodeImage(ImageKind::Jpeg, data, size, imagelimits::kMaxSide, &image, &why)) {
        if (image.rgba.size() != size_t{image.width} * image.height * 4 ||
            image.width > imagelimits::kMaxSide || image.height > imagelimits::kMaxSide) {
            std::abort();
        }
    } else if (why.empty()) {
        std::abort();
    }
    return 0;
}
