#include "tools/demotune/DemoTune.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace demotune {

namespace {

void put16(std::string& b, uint16_t v) {
    b += char(v & 0xff);
    b += char(v >> 8);
}
void put32(std::string& b, uint32_t v) {
    put16(b, uint16_t(v & 0xffff));
    put16(b, uint16_t(v >> 16));
}

} // namespace

bool writeWav(const std::string& path, const std::vector<float>& interleaved,
              const std::string& title) {
    std::string info = "INFO";
    std::string name = title + '\0';
    if (name.size() % 2) {
        name += '\0';
    }
    info += "INAM";
    put32(info, uint32_t(name.size()));
    info += name;

    uint32_t dataBytes = uint32_t(interleaved.size() * 2);
    std::string head = "RIFF";
    put32(head, uint32_t(4 + (8 + 16) + (8 + info.size()) + (8 + dataBytes)));
    head += "WAVEfmt ";
    put32(head, 16);
    put16(head, 1); // PCM
    put16(head, kChannels);
    put32(head, kRate);
    put32(head, kRate * kChannels * 2);
    put16(head, kChannels * 2);
    put16(head, 16);
    head += "LIST";
    put32(head, uint32_t(info.size()));
    head += info;
    head += "data";
    put32(head, dataBytes);

    std::string data;
    data.reserve(dataBytes);
    for (float v : interleaved) {
        long s = std::lround(std::clamp(double(v), -1.0, 1.0) * 32767.0);
        put16(data, uint16_t(int16_t(s)));
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        return false;
    }
    bool ok = std::fwrite(head.data(), 1, head.size(), f) == head.size() &&
              std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace demotune
