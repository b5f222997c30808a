#include "game/menu/SettingsFile.h"

#include "platform/base/AtomicFile.h"
#include "platform/base/LittleEndian.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace settingsfile {

namespace {

int32_t int32At(const unsigned char* b) {
    return static_cast<int32_t>(static_cast<uint32_t>(plat::getLittle(b, 4)));
}

float floatAt(const unsigned char* b) {
    uint32_t bits = static_cast<uint32_t>(int32At(b));
    float f = 0.0f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

void put(unsigned char* b, uint32_t v) {
    plat::putLittle(b, v, 4);
}

float knobRange(float value, float fallback) {
    if (std::isnan(value)) {
        return fallback;
    }
    return value < 0.0f ? 0.0f : value > kKnobMax ? kKnobMax : value;
}

} // namespace

RideSettings defaults() {
    return RideSettings{viewpoint::kCycle, true, false, 0.75f, true, 0.5f};
}

bool load(const char* path, RideSettings& settings) {
    settings = defaults();
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr) {
        return false;
    }
    unsigned char bytes[kBytes] = {};
    size_t got = std::fread(bytes, 1, kBytes, f);
    std::fclose(f);
    if (got == 0) {
        return false;
    }
    auto has = [got](size_t offset) { return got >= offset + 4; };
    if (has(4)) {
        settings.viewPoint = int32At(bytes + 4);
    }
    settings.dragonOn = has(8) && int32At(bytes + 8) != 0;
    settings.headTilt = has(12) && int32At(bytes + 12) != 0;
    if (has(16)) {
        settings.smoothing = knobRange(floatAt(bytes + 16), settings.smoothing);
    }
    if (has(20)) {
        settings.speed = knobRange(floatAt(bytes + 20), settings.speed);
    }
    settings.speedChanged = true;
    return true;
}

bool save(const char* path, const RideSettings& s) {
    unsigned char bytes[kBytes] = {};
    put(bytes + 4, static_cast<uint32_t>(s.viewPoint));
    put(bytes + 8, s.dragonOn ? 1u : 0u);
    put(bytes + 12, s.headTilt ? 1u : 0u);
    uint32_t bits = 0;
    std::memcpy(&bits, &s.smoothing, sizeof bits);
    put(bytes + 16, bits);
    std::memcpy(&bits, &s.speed, sizeof bits);
    put(bytes + 20, bits);
    // A crash or a full disk midway leaves the old file whole.
    return plat::writeFileAtomically(path, bytes, kBytes);
}

} // namespace settingsfile
