// The settings file over any bytes: the settings read are always usable by the ride (a finite
// smoothing and speed within the knob's range, the apply flag set).
#include "fuzz/FuzzInput.h"
#include "game/menu/SettingsFile.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzzinput::MemoryFile file;
    if (!file.set(data, size)) {
        return 0;
    }
    RideSettings settings = settingsfile::defaults();
    settingsfile::load(file.path().c_str(), settings);
    for (float v : {settings.smoothing, settings.speed}) {
        if (!std::isfinite(v) || v < 0.0f || v > settingsfile::kKnobMax) {
            std::abort();
        }
    }
    if (!settings.speedChanged) {
        std::abort();
    }
    return 0;
}
