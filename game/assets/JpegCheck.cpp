#include "game/assets/ImageCheck.h"

#include <cstdint>

namespace {

constexpr unsigned char kMarker = 0xFF;
constexpr unsigned char kStartOfImage = 0xD8;
constexpr unsigned char kEndOfImage = 0xD9;
constexpr unsigned char kStartOfScan = 0xDA;
constexpr unsigned char kRestart0 = 0xD0;
constexpr unsigned char kRestart7 = 0xD7;
constexpr unsigned char kTem = 0x01;

uint32_t bigEndian16(const unsigned char* p) {
    return (uint32_t{p[0]} << 8) | p[1];
}

bool refuse(std::string* why, const char* reason) {
    if (why != nullptr) {
        *why = std::string("JPEG ") + reason;
    }
    return false;
}

bool isFrameMarker(unsigned char m) {
    // SOF0..SOF15 without DHT (C4), JPG (C8) and DAC (CC).
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

// Moves past the entropy-coded data of a scan to the marker that ends it: stuffed zero bytes
// and restart markers belong to the data. False when the data runs to the end of the buffer.
bool skipCodedData(const unsigned char* data, size_t size, size_t* at) {
    size_t p = *at;
    while (p < size) {
        if (data[p] != kMarker) {
            ++p;
            continue;
        }
        if (p + 1 >= size) {
            return false;
        }
        unsigned char next = data[p + 1];
        if (next == 0x00 || (next >= kRestart0 && next <= kRestart7)) {
            p += 2;
        } else if (next == kMarker) {
            ++p; // fill byte before a marker
        } else {
            *at = p;
            return true;
        }
    }
    return false;
}

// The frame header: 8-bit samples, a size, 1, 3 or 4 components with sampling factors 1..4
// and quantisation tables 0..3.
bool readFrame(const unsigned char* s, uint32_t length, ImageHeader* header, std::string* why) {
    if (length < 8) {
        return refuse(why, "frame header too short");
    }
    unsigned precision = s[0], components = s[5];
    uint32_t height = bigEndian16(s + 1), width = bigEndian16(s + 3);
    if (precision != 8) {
        return refuse(why, "samples are not 8 bits");
    }
    if (width == 0 || height == 0) {
        return refuse(why, "frame gives no size");
    }
    if ((components != 1 && components != 3 && components != 4) || length != 6 + 3 * components) {
        return refuse(why, "frame has an unusable component count");
    }
    for (unsigned c = 0; c < components; ++c) {
        const unsigned char* component = s + 6 + 3 * c;
        unsigned h = component[1] >> 4, v = component[1] & 15;
        if (h < 1 || h > 4 || v < 1 || v > 4 || component[2] > 3) {
            return refuse(why, "frame has a component out of range");
        }
    }
    header->width = width;
    header->height = height;
    return true;
}

} // namespace

bool checkJpeg(const unsigned char* data, size_t size, ImageHeader* header, std::string* why) {
    if (data == nullptr || size < 4 || data[0] != kMarker || data[1] != kStartOfImage) {
        return refuse(why, "start marker missing");
    }
    ImageHeader frame;
    bool framed = false;
    int scans = 0;
    size_t at = 2;
    for (;;) {
        if (at >= size || data[at] != kMarker) {
            return refuse(why, at >= size ? "ends before its end marker"
                                          : "segment does not begin with a marker");
        }
        while (at < size && data[at] == kMarker) {
            ++at; // a marker may be preceded by fill bytes
        }
        if (at >= size) {
            return refuse(why, "ends before its end marker");
        }
        unsigned char marker = data[at++];
        if (marker == kEndOfImage) {
            break;
        }
        if (marker == kStartOfImage || marker == 0x00) {
            return refuse(why, "has a misplaced marker");
        }
        if (marker == kTem || (marker >= kRestart0 && marker <= kRestart7)) {
            continue; // markers without a segment
        }
        if (size - at < 2) {
            return refuse(why, "segment length runs past the end");
        }
        uint32_t length = bigEndian16(data + at);
        if (length < 2 || length > size - at) {
            return refuse(why, "segment length runs past the end");
        }
        const unsigned char* segment = data + at + 2;
        uint32_t body = length - 2;
        if (isFrameMarker(marker)) {
            if (marker > 0xC2) {
                return refuse(why, "uses a coding other than baseline or progressive Huffman");
            }
            if (framed) {
                return refuse(why, "has more than one frame");
            }
            if (!readFrame(segment, body, &frame, why)) {
                return false;
            }
            framed = true;
        }
        at += length;
        if (marker == kStartOfScan) {
            if (!framed) {
                return refuse(why, "scan comes before its frame");
            }
            if (body < 1 || segment[0] < 1 || segment[0] > 4 || body != 4u + 2u * segment[0]) {
                return refuse(why, "scan header is malformed");
            }
            if (++scans > imagelimits::kMaxJpegScans) {
                return refuse(why, "has too many scans");
            }
            if (!skipCodedData(data, size, &at)) {
                return refuse(why, "scan data runs to the end without an end marker");
            }
        }
    }
    if (!framed || scans == 0) {
        return refuse(why, "has no frame or no scan");
    }
    if (header != nullptr) {
        *header = frame;
    }
    return true;
}
