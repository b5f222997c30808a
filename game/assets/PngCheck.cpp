#include "game/assets/PngCheck.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
constexpr size_t kChunkOverhead = 12; // length, type, CRC
constexpr uint32_t kMaxChunkLength = 0x7fffffffu;

uint32_t bigEndian32(const unsigned char* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

} // namespace

bool pngIsWhole(const unsigned char* data, size_t size) {
    if (data == nullptr || size < sizeof kSignature ||
        std::memcmp(data, kSignature, sizeof kSignature) != 0) {
        return false;
    }
    size_t offset = sizeof kSignature;
    bool first = true;
    while (size - offset >= kChunkOverhead) {
        uint32_t length = bigEndian32(data + offset);
        const unsigned char* type = data + offset + 4;
        if (length > kMaxChunkLength || length > size - offset - kChunkOverhead) {
            return false;
        }
        if (first && (std::memcmp(type, "IHDR", 4) != 0 || length != 13)) {
            return false;
        }
        first = false;
        if (std::memcmp(type, "IEND", 4) == 0) {
            return true;
        }
        offset += kChunkOverhead + length;
    }
    return false;
}
