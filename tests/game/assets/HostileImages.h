// Image files built byte by byte for the tests of the image checks: well-formed headers that
// claim sizes no texture needs, and small hand-made BMPs.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>

namespace hostileimages {

inline void put32be(std::string& s, uint32_t v) {
    for (int shift : {24, 16, 8, 0}) {
        s += static_cast<char>(v >> shift);
    }
}
inline void put16be(std::string& s, uint32_t v) {
    s += static_cast<char>(v >> 8);
    s += static_cast<char>(v);
}
inline void put32le(std::string& s, uint32_t v) {
    for (int shift : {0, 8, 16, 24}) {
        s += static_cast<char>(v >> shift);
    }
}
inline void put16le(std::string& s, uint32_t v) {
    s += static_cast<char>(v);
    s += static_cast<char>(v >> 8);
}

inline std::string pngChunk(const std::string& type, const std::string& data) {
    std::string c;
    put32be(c, static_cast<uint32_t>(data.size()));
    std::string body = type + data;
    c += body;
    put32be(c, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                           static_cast<uInt>(body.size()))));
    return c;
}

// A PNG whose header claims width x height RGBA pixels and whose data is rawBytes of
// deflated zeros: well formed, and as small as deflate makes it.
inline std::string claimingPng(uint32_t width, uint32_t height, size_t rawBytes) {
    std::string ihdr;
    put32be(ihdr, width);
    put32be(ihdr, height);
    ihdr += std::string("\x08\x06\x00\x00\x00", 5);
    std::string raw(rawBytes, '\0');
    uLongf packed = compressBound(static_cast<uLong>(raw.size()));
    std::string idat(packed, '\0');
    compress2(reinterpret_cast<Bytef*>(&idat[0]), &packed,
              reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()), 9);
    idat.resize(packed);
    return std::string("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", ihdr) + pngChunk("IDAT", idat) +
           pngChunk("IEND", "");
}

// A baseline JPEG frame header of the given size around a tiny scan: well formed markers.
inline std::string claimingJpeg(uint32_t width, uint32_t height) {
    std::string j("\xFF\xD8", 2);
    j += std::string("\xFF\xDB", 2);
    put16be(j, 67);
    j += '\0';
    j += std::string(64, '\1');
    j += std::string("\xFF\xC0", 2);
    put16be(j, 11);
    j += '\x08';
    put16be(j, height);
    put16be(j, width);
    j += std::string("\x01\x01\x11\x00", 4);
    j += std::string("\xFF\xC4", 2);
    put16be(j, 20);
    j += '\0';
    j += std::string("\x01", 1) + std::string(15, '\0') + '\0';
    j += std::string("\xFF\xDA", 2);
    put16be(j, 8);
    j += std::string("\x01\x01\x00\x00\x3F\x00", 6);
    j += std::string(100, '\0');
    j += std::string("\xFF\xD9", 2);
    return j;
}

// An uncompressed 24-bit BMP with its info header; pixelBytes of pixel data follow.
inline std::string bmp(int32_t width, int32_t height, size_t pixelBytes, uint32_t bits = 24,
                       uint32_t compression = 0) {
    std::string b("BM", 2);
    put32le(b, static_cast<uint32_t>(54 + pixelBytes));
    put32le(b, 0);
    put32le(b, 54);
    put32le(b, 40);
    put32le(b, static_cast<uint32_t>(width));
    put32le(b, static_cast<uint32_t>(height));
    put16le(b, 1);
    put16le(b, bits);
    put32le(b, compression);
    put32le(b, static_cast<uint32_t>(pixelBytes));
    put32le(b, 2835);
    put32le(b, 2835);
    put32le(b, 0);
    put32le(b, 0);
    return b + std::string(pixelBytes, '\x40');
}

} // namespace hostileimages
