#include "player/loudness/RunningLoudness.h"

#include "player/decode/AudioDecoder.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr long kReadingFrames = AudioDecoder::kRate / 10;
} // namespace

void RunningLoudness::restart() {
    meter.reset();
    readings.clear();
    sinceReading = 0;
    sounding = 0;
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

void RunningLoudness::hold(double gainDb) {
    held = true;
    heldGain = std::clamp(gainDb, -30.0, 12.0);
}

void RunningLoudness::step(double seconds) {
    // Until the short-term window is full of sound it would count the silence before it.
    const double st = sounding < kShortTermSeconds ? meter.momentaryLufs() : meter.shortTermLufs();
    if (!(st > kGateLufs)) {
        return; // silence: the gain holds
    }
    const bool first = readings.empty();
    sounding += seconds;
    if (sounding < kMomentarySeconds - 1e-9) {
        return; // the momentary window still holds the silence before the sound
    }
    readings.push_back(std::pow(10.0, (st + 0.691) / 10.0));
    while (double(readings.size()) * seconds > kMemorySeconds) {
        readings.pop_front();
    }
    double target = std::clamp(AudioDecoder::kLoudnessTargetLufs - estimateLufs(), -30.0, 12.0);
    double rise = sounding < kSettleSeconds ? kFastDbPerSecond : kSlowDbPerSecond;
    gain = first ? target
                 : gain + std::clamp(target - gain, -kFallDbPerSecond * seconds, rise * seconds);
}

void RunningLoudness::process(float* frames, long count) {
    while (count > 0) {
        long n = std::min(count, kReadingFrames - sinceReading);
        meter.add(frames, n);
        double before = gain;
        sinceReading += n;
        if (sinceReading == kReadingFrames) {
            sinceReading = 0;
            step(double(kReadingFrames) / AudioDecoder::kRate);
            gain = held ? heldGain : gain;
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
