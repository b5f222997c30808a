// Little-endian output of the bone model format's chunk values.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

class ChunkStream {
  public:
    void i16(int v) {
        auto u = static_cast<uint16_t>(v);
        out += static_cast<char>(u & 0xff);
        out += static_cast<char>(u >> 8);
    }
    void u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            out += static_cast<char>((v >> (8 * i)) & 0xff);
        }
    }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void f32(float f) {
        uint32_t bits = 0;
        std::memcpy(&bits, &f, sizeof bits);
        u32(bits);
    }
    void floats(const float* f, int n) {
        for (int i = 0; i < n; ++i) {
            f32(f[i]);
        }
    }
    void raw(const std::string& bytes) { out += bytes; }

    const std::string& bytes() const { return out; }

  private:
    std::string out;
};
