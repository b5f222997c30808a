#include "player/loudness/RunningLoudness.h"

#include "player/decode/AudioDecoder.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>

namespace {
constexpr long kReadingFrames = AudioDecoder::kRate / 10;
} // namespace

RunningLoudness::RunningLoudness() : meter(ebur128_init(2, AudioDecoder::kRate, EBUR128_MODE_S)) {}

RunningLoudness::~RunningLoudness() {
    auto* s = static_cast<ebur128_state*>(meter);
    if (s) {
        ebur128_destroy(&s);
    }
}

double RunningLoudness::estimateLufs() const {
    if (readings.empty()) {
        return kGateLufs;
    }
    double energy = 0;
    for (double e : readings) {
        energy += e;
    }
    return 10.0 * std::log10(energy / double(readings.size())) - 0.691;
}

void RunningLoudness::step(double seconds) {
    double st = -HUGE_VAL;
    auto* s = static_cast<ebur128_state*>(meter);
    if (!s || ebur128_loudness_shortterm(s, &st) != EBUR128_SUCCESS || !(st > kGateLufs)) {
        return; // silence: the gain holds
    }
    sounding += seconds;
    readings.push_back(std::pow(10.0, (st + 0.691) / 10.0));
    while (double(readings.size()) * seconds > kMemorySeconds) {
        readings.pop_front();
    }
    double target = std::clamp(AudioDecoder::kLoudnessTargetLufs - estimateLufs(), -30.0, 12.0);
    double rate = sounding < kSettleSeconds ? kFastDbPerSecond : kSlowDbPerSecond;
    gain += std::clamp(target - gain, -rate * seconds, rate * seconds);
}

void RunningLoudness::process(float* frames, long count) {
    while (count > 0) {
        long n = std::min(count, kReadingFrames - sinceReading);
        if (meter) {
            ebur128_add_frames_float(static_cast<ebur128_state*>(meter), frames, size_t(n));
        }
        double before = gain;
        sinceReading += n;
        if (sinceReading == kReadingFrames) {
            sinceReading = 0;
            step(double(kReadingFrames) / AudioDecoder::kRate);
        }
        // The gain moves across the frames from its value before the reading to the new one.
        double from = std::pow(10.0, before / 20.0), to = std::pow(10.0, gain / 20.0);
        for (long i = 0; i < n; ++i) {
            float g = float(from + (to - from) * double(i + 1) / double(n));
            frames[2 * i] *= g;
            frames[2 * i + 1] *= g;
        }
        frames += 2 * n;
        count -= n;
    }
}
