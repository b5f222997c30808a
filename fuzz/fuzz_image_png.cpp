// The Png check and decoder over any bytes (see FuzzImage.h).
#include "fuzz/FuzzImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzinput::decodeAnyImage(ImageKind::Png, data, size);
}
