#include "game/assets/PngCheck.h"

#include "game/assets/ImageCheck.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
constexpr size_t kChunkOverhead = 12; // length, type, CRC
constexpr uint32_t kMaxChunkLength = 0x7fffffffu;
constexpr uint32_t kIhdrLength = 13;

uint32_t bigEndian32(const unsigned char* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

bool refuse(std::string* why, const char* reason) {
    if (why != nullptr) {
        *why = std::string("PNG ") + reason;
    }
    return false;
}

// Walks the chunks from the signature to IEND; the IHDR data and whether an IDAT came before
// IEND are handed back. Null when the structure is broken, else the reason is left empty.
const char* walkChunks(const unsigned char* data, size_t size, const unsigned char** ihdr,
                       bool* pixels) {
    if (data == nullptr || size < sizeof kSignature ||
        std::memcmp(data, kSignature, sizeof kSignature) != 0) {
        return "signature missing";
    }
    size_t offset = sizeof kSignature;
    bool first = true;
    *pixels = false;
    while (size - offset >= kChunkOverhead) {
        uint32_t length = bigEndian32(data + offset);
        const unsigned char* type = data + offset + 4;
        if (length > kMaxChunkLength || length > size - offset - kChunkOverhead) {
            return "chunk runs past the end of the data";
        }
        if (first && (std::memcmp(type, "IHDR", 4) != 0 || length != kIhdrLength)) {
            return "does not begin with its header chunk";
        }
        if (first) {
            *ihdr = type + 4;
        }
        first = false;
        if (std::memcmp(type, "IDAT", 4) == 0) {
            *pixels = true;
        }
        if (std::memcmp(type, "IEND", 4) == 0) {
            return nullptr;
        }
        offset += kChunkOverhead + length;
    }
    return "ends before its end chunk";
}

bool depthFitsColourType(unsigned depth, unsigned colourType) {
    switch (colourType) {
    case 0:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6:
        return depth == 8 || depth == 16;
    default:
        return false;
    }
}

} // namespace

bool pngIsWhole(const unsigned char* data, size_t size) {
    const unsigned char* ihdr = nullptr;
    bool pixels = false;
    return walkChunks(data, size, &ihdr, &pixels) == nullptr;
}

bool checkPng(const unsigned char* data, size_t size, ImageHeader* header, std::string* why) {
    const unsigned char* ihdr = nullptr;
    bool pixels = false;
    if (const char* broken = walkChunks(data, size, &ihdr, &pixels)) {
        return refuse(why, broken);
    }
    if (!pixels) {
        return refuse(why, "has no image data chunk");
    }
    uint32_t width = bigEndian32(ihdr), height = bigEndian32(ihdr + 4);
    if (width == 0 || height == 0 || width > kMaxChunkLength || height > kMaxChunkLength) {
        return refuse(why, "header gives no valid size");
    }
    unsigned depth = ihdr[8], colourType = ihdr[9];
    if (!depthFitsColourType(depth, colourType) || ihdr[10] != 0 || ihdr[11] != 0 || ihdr[12] > 1) {
        return refuse(why, "header gives an unknown pixel format or method");
    }
    if (header != nullptr) {
        header->width = width;
        header->height = height;
    }
    return true;
}
