#include "fuzz/seeds/Seeds.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace {

void put16(std::string& s, uint16_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8);
}

void put32(std::string& s, uint32_t v) {
    put16(s, static_cast<uint16_t>(v & 0xFFFF));
    put16(s, static_cast<uint16_t>(v >> 16));
}

// A 16-bit PCM WAV of a sine, channels interleaved.
std::string wav(uint32_t rate, uint16_t channels, uint32_t frames) {
    std::string data;
    for (uint32_t i = 0; i < frames; ++i) {
        double v = 0.5 * std::sin(2.0 * M_PI * 440.0 * i / rate);
        for (uint16_t c = 0; c < channels; ++c) {
            put16(data, static_cast<uint16_t>(static_cast<int16_t>(v * 32767.0)));
        }
    }
    std::string s = "RIFF";
    put32(s, static_cast<uint32_t>(36 + data.size()));
    s += "WAVEfmt ";
    put32(s, 16);
    put16(s, 1);
    put16(s, channels);
    put32(s, rate);
    put32(s, rate * channels * 2u);
    put16(s, static_cast<uint16_t>(channels * 2));
    put16(s, 16);
    s += "data";
    put32(s, static_cast<uint32_t>(data.size()));
    return s + data;
}

} // namespace

void writeSeeds(SeedWriter& out) {
    out.add("stereo-44k.wav", wav(44100, 2, 2048));
    out.add("mono-8k.wav", wav(8000, 1, 800));
    out.add("six-48k.wav", wav(48000, 6, 256));
}
