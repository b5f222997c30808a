// Checks of image data before it reaches the decoder. The decoders trust what a header
// claims: a few hundred bytes that claim tens of thousands of pixels a side make them work
// for seconds and allocate gigabytes, and data whose markers or chunks run past the end of
// the buffer can make them loop for ever. Only data whose structure lies whole inside the
// buffer, and whose pixel count fits the limits of this game's textures, is decoded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

enum class ImageKind { Png, Bmp, Jpeg };

struct ImageHeader {
    uint32_t width = 0;
    uint32_t height = 0;
};

namespace imagelimits {
// No texture of this game is larger than this on a side (the largest is 1024).
constexpr uint32_t kMaxSide = 4096;
// Every file may decode to this many pixels (1024 x 1024) ...
constexpr uint64_t kFreePixels = uint64_t{1} << 20;
// ... and beyond that to at most this many pixels per byte of the file: more than deflate can
// pack into a byte of 8-bit PNG data, and far more than JPEG or RLE data holds for real images.
constexpr uint64_t kPixelsPerFileByte = 1024;
// A progressive JPEG needs about ten scans; each scan makes the decoder pass over the image.
constexpr int kMaxJpegScans = 100;
} // namespace imagelimits

// The structure of each format, and the size its header claims. False with the reason in why
// (which may be null) when the data is not whole or not of a kind this game decodes.
//  PNG: signature, IHDR first with valid fields, at least one IDAT, every chunk inside the
//       buffer up to IEND.
//  JPEG: SOI, then every segment's length inside the buffer; one baseline, extended or
//       progressive 8-bit frame with 1, 3 or 4 components before the first scan; at most
//       kMaxJpegScans scans, each one's coded data ending at a marker; EOI inside the buffer.
//  BMP: file and info header sizes known and inside the file, one plane, a bit count and
//       compression that go together, the palette inside the file, and for uncompressed
//       pixels every row inside the file.
bool checkPng(const unsigned char* data, size_t size, ImageHeader* header, std::string* why);
bool checkJpeg(const unsigned char* data, size_t size, ImageHeader* header, std::string* why);
bool checkBmp(const unsigned char* data, size_t size, ImageHeader* header, std::string* why);

// The check of the kind, then the size limits: neither side larger than maxSide (the caller's
// GL maximum texture size, capped at kMaxSide) and no more pixels than the file's size allows.
bool checkImage(ImageKind kind, const unsigned char* data, size_t size, uint32_t maxSide,
                ImageHeader* header, std::string* why);
