// Little-endian whole numbers in byte buffers, as the game's own files and BMP headers store
// them: the lowest byte first.
#pragma once

#include <cstdint>

namespace plat {

// Writes the low `bytes` bytes of v to out (bytes 1 to 8).
inline void putLittle(uint8_t* out, uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out[i] = static_cast<uint8_t>(v >> (8 * i));
    }
}

// Reads `bytes` bytes (1 to 8) from in as an unsigned number.
inline uint64_t getLittle(const uint8_t* in, int bytes) {
    uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) {
        v |= static_cast<uint64_t>(in[i]) << (8 * i);
    }
    return v;
}

} // namespace plat
