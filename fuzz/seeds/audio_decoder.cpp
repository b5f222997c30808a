#include "fuzz/seeds/Seeds.h"
#include "tests/support/AudioFiles.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

void putBig16(std::string& s, uint16_t v) {
    s += static_cast<char>(v >> 8);
    s += static_cast<char>(v & 0xFF);
}

// A four-channel ProTracker module ("M.K."): one looped square-wave sample and one pattern
// of a few notes, the smallest shape of the tracker formats FFmpeg plays through libopenmpt.
std::string trackerModule() {
    std::string s(20, '\0');
    s.replace(0, 10, "fuzz seed ");
    for (int sample = 1; sample <= 31; ++sample) {
        std::string name(22, '\0');
        bool used = sample == 1;
        s += name;
        putBig16(s, used ? 32 : 0); // length in words
        s += '\0';                  // finetune
        s += static_cast<char>(used ? 64 : 0);
        putBig16(s, 0);             // loop start
        putBig16(s, used ? 32 : 1); // loop length in words
    }
    s += static_cast<char>(1);   // song length
    s += static_cast<char>(127); // restart
    s += std::string(128, '\0'); // order table: pattern 0
    s += "M.K.";
    const uint16_t periods[] = {428, 381, 339, 320};
    for (int row = 0; row < 64; ++row) {
        for (int channel = 0; channel < 4; ++channel) {
            bool note = row % 16 == 0 && channel == (row / 16) % 4;
            uint16_t period = note ? periods[row / 16] : 0;
            s += static_cast<char>(period >> 8);
            s += static_cast<char>(period & 0xFF);
            s += static_cast<char>(note ? 0x10 : 0); // sample 1, no effect
            s += '\0';
        }
    }
    for (int i = 0; i < 64; ++i) {
        s += static_cast<char>(i % 16 < 8 ? 0x60 : 0xA0);
    }
    return s;
}

} // namespace

void writeSeeds(SeedWriter& out) {
    out.add("stereo-44k.wav", wav(44100, 2, 2048));
    out.add("mono-8k.wav", wav(8000, 1, 800));
    out.add("six-48k.wav", wav(48000, 6, 256));
    out.add("four-channels.mod", trackerModule());
    // Every other format the player claims, made by FFmpeg's own encoders: short, so the
    // fuzzer's mutations reach past the headers.
    struct Encoded {
        const char* name;
        testsupport::EncodeFormat format;
    };
    const Encoded encoded[] = {
        {"stereo.mp3", {"libmp3lame", "mp3", 44100, 2, 0.3, "Seed Mp3"}},
        {"mono-22k.mp3", {"libmp3lame", "mp3", 22050, 1, 0.3, ""}},
        {"stereo.ogg", {"libvorbis", "ogg", 44100, 2, 0.3, "Seed Vorbis"}},
        {"mono.flac", {"flac", "flac", 48000, 1, 0.3, "Seed Flac"}},
        {"stereo-96k.flac", {"flac", "flac", 96000, 2, 0.1, ""}},
        {"stereo.opus", {"libopus", "ogg", 48000, 2, 0.3, "Seed Opus"}},
        {"stereo.m4a", {"aac", "ipod", 44100, 2, 0.3, "Seed Aac"}},
        {"mono.aac", {"aac", "adts", 32000, 1, 0.3, ""}},
    };
    for (const Encoded& e : encoded) {
        std::string error =
            testsupport::encodeAudio(out.path(e.name), e.format, testsupport::sineSignal(440, 0.5));
        if (!error.empty()) {
            std::fprintf(stderr, "seed %s: %s\n", e.name, error.c_str());
            std::exit(1);
        }
    }
}
