#include "player/decode/GainTags.h"

#include <cmath>
#include <cstdlib>

namespace {

bool number(const std::string& text, double& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || !std::isfinite(value)) {
        return false;
    }
    while (*end == ' ') {
        ++end;
    }
    // Only the unit may follow the number.
    if ((end[0] == 'd' || end[0] == 'D') && (end[1] == 'b' || end[1] == 'B')) {
        end += 2;
        while (*end == ' ') {
            ++end;
        }
    }
    return *end == '\0';
}

} // namespace

bool gainFromTags(const std::string& replayGain, const std::string& r128, double targetLufs,
                  double& gainDb) {
    double v = 0;
    if (number(replayGain, v) && std::fabs(v) <= 60.0) {
        gainDb = v + (targetLufs + 18.0);
        return true;
    }
    if (number(r128, v) && std::fabs(v / 256.0) <= 60.0) {
        gainDb = v / 256.0 + (targetLufs + 23.0);
        return true;
    }
    return false;
}
