#include "game/assets/ImageCheck.h"

#include "platform/base/LittleEndian.h"

#include <cstdint>

namespace {

constexpr size_t kFileHeaderBytes = 14;
constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kInfoHeaderBytes = 40;
// Run-length compressed pixels (1 and 2) are not taken: the decoder leaves the pixels that
// runs skip uninitialised.
constexpr uint32_t kRgb = 0, kBitFields = 3;

uint32_t little16(const unsigned char* p) {
    return static_cast<uint32_t>(plat::getLittle(p, 2));
}
uint32_t little32(const unsigned char* p) {
    return static_cast<uint32_t>(plat::getLittle(p, 4));
}

bool refuse(std::string* why, const char* reason) {
    if (why != nullptr) {
        *why = std::string("BMP ") + reason;
    }
    return false;
}

bool knownHeaderSize(uint32_t n) {
    return n == kCoreHeaderBytes || n == kInfoHeaderBytes || n == 52 || n == 56 || n == 64 ||
           n == 108 || n == 124;
}

bool bitCountFitsCompression(uint32_t bits, uint32_t compression) {
    switch (compression) {
    case kRgb:
        return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case kBitFields:
        return bits == 16 || bits == 32;
    default:
        return false;
    }
}

// True when every pixel of an uncompressed palette image names an entry of its palette: the
// decoder looks colours up without checking.
bool indicesInPalette(const unsigned char* rows, uint64_t width, uint64_t height, uint64_t rowBytes,
                      uint32_t bits, uint64_t entries) {
    if (entries >= (uint64_t{1} << bits)) {
        return true;
    }
    uint32_t perByte = 8 / bits, mask = (1u << bits) - 1;
    for (uint64_t y = 0; y < height; ++y) {
        const unsigned char* row = rows + y * rowBytes;
        for (uint64_t x = 0; x < width; ++x) {
            uint32_t shift = 8 - bits * (1 + static_cast<uint32_t>(x % perByte));
            if (((row[x / perByte] >> shift) & mask) >= entries) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

bool checkBmp(const unsigned char* data, size_t size, ImageHeader* header, std::string* why) {
    if (data == nullptr || size < kFileHeaderBytes + 4 || data[0] != 'B' || data[1] != 'M') {
        return refuse(why, "file header missing");
    }
    uint32_t pixelOffset = little32(data + 10);
    uint32_t infoBytes = little32(data + 14);
    if (!knownHeaderSize(infoBytes) || infoBytes > size - kFileHeaderBytes) {
        return refuse(why, "info header of unknown size or past the end");
    }
    const unsigned char* info = data + kFileHeaderBytes;
    uint64_t width = 0, height = 0;
    uint32_t planes = 0, bits = 0, compression = kRgb, coloursUsed = 0;
    if (infoBytes == kCoreHeaderBytes) {
        width = little16(info + 4);
        height = little16(info + 6);
        planes = little16(info + 8);
        bits = little16(info + 10);
    } else {
        auto signedWidth = static_cast<int32_t>(little32(info + 4));
        auto signedHeight = static_cast<int32_t>(little32(info + 8));
        if (signedWidth <= 0 || signedHeight == 0 || signedHeight == INT32_MIN) {
            return refuse(why, "header gives no valid size");
        }
        width = static_cast<uint64_t>(signedWidth);
        // A negative height stores the rows top first.
        height = static_cast<uint64_t>(signedHeight < 0 ? -int64_t{signedHeight} : signedHeight);
        planes = little16(info + 12);
        bits = little16(info + 14);
        compression = little32(info + 16);
        coloursUsed = little32(info + 32);
    }
    if (width == 0 || height == 0) {
        return refuse(why, "header gives no valid size");
    }
    if (planes != 1 || !bitCountFitsCompression(bits, compression)) {
        return refuse(why, "header gives an unknown pixel format or compression (compressed "
                           "pixels are not taken)");
    }
    // Colour masks follow a plain info header; a palette follows the headers.
    uint64_t tables = kFileHeaderBytes + uint64_t{infoBytes};
    if (compression == kBitFields && infoBytes == kInfoHeaderBytes) {
        tables += 12;
    }
    if (bits <= 8) {
        uint64_t most = uint64_t{1} << bits;
        if (coloursUsed > most) {
            return refuse(why, "palette larger than its bit count allows");
        }
        uint64_t entries = coloursUsed != 0 ? coloursUsed : most;
        tables += entries * (infoBytes == kCoreHeaderBytes ? 3 : 4);
    }
    if (tables > size) {
        return refuse(why, "colour tables run past the end");
    }
    if (pixelOffset < kFileHeaderBytes + infoBytes || pixelOffset >= size) {
        return refuse(why, "pixel data offset outside the file");
    }
    uint64_t available = size - pixelOffset;
    uint64_t rowBytes = (width * bits + 31) / 32 * 4;
    if (height > available / rowBytes) {
        return refuse(why, "pixel rows run past the end of the file");
    }
    if (bits <= 8 && !indicesInPalette(data + pixelOffset, width, height, rowBytes, bits,
                                       coloursUsed != 0 ? coloursUsed : uint64_t{1} << bits)) {
        return refuse(why, "pixel names a colour outside its palette");
    }
    if (width > UINT32_MAX || height > UINT32_MAX) {
        return refuse(why, "header gives no valid size");
    }
    if (header != nullptr) {
        header->width = static_cast<uint32_t>(width);
        header->height = static_cast<uint32_t>(height);
    }
    return true;
}
