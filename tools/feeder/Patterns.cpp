#include "tools/feeder/Patterns.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace feeder {

bool parsePattern(const std::string& name, Pattern& out) {
    const std::pair<const char*, Pattern> names[] = {{"silence", Pattern::Silence},
                                                     {"loud", Pattern::Loud},
                                                     {"beat", Pattern::Beat},
                                                     {"sweep", Pattern::Sweep},
                                                     {"strobe", Pattern::Strobe}};
    for (const auto& n : names) {
        if (name == n.first) {
            out = n.second;
            return true;
        }
    }
    return false;
}

namespace {

unsigned char byte(double v) {
    return static_cast<unsigned char>(std::lround(std::min(255.0, std::max(0.0, v))));
}

} // namespace

void fill(Pattern pattern, double t, unsigned char spectrum[2][1024], double strobeHz) {
    switch (pattern) {
    case Pattern::Silence:
        std::memset(spectrum, 0, 2048);
        return;
    case Pattern::Loud:
        std::memset(spectrum, 255, 2048);
        return;
    case Pattern::Beat: {
        double phase = std::fmod(t * 2.0, 1.0); // two beats a second
        double envelope = std::exp(-phase * 5.0);
        for (int c = 0; c < 2; ++c) {
            for (int i = 0; i < 1024; ++i) {
                double tilt = 1.0 - 0.55 * i / 1023.0; // bass strongest
                double shimmer = 12.0 * std::sin(i * 0.37 + t * (c == 0 ? 7.0 : 9.0));
                spectrum[c][i] = byte(tilt * (40.0 + 215.0 * envelope) + shimmer);
            }
        }
        return;
    }
    case Pattern::Sweep: {
        double centre = std::fmod(t / 4.0, 1.0) * 1023.0;
        for (int c = 0; c < 2; ++c) {
            for (int i = 0; i < 1024; ++i) {
                double d = (i - centre) / 60.0;
                spectrum[c][i] = byte(30.0 + 225.0 * std::exp(-d * d));
            }
        }
        return;
    }
    case Pattern::Strobe: {
        bool on = strobeHz > 0.0 && std::fmod(t * strobeHz, 1.0) < 0.5;
        for (int c = 0; c < 2; ++c) {
            for (int i = 0; i < 1024; ++i) {
                spectrum[c][i] = on ? byte(255.0 * (1.0 - 0.5 * i / 1023.0)) : 0;
            }
        }
        return;
    }
    }
}

} // namespace feeder
