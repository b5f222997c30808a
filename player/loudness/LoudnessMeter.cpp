#include "player/loudness/LoudnessMeter.h"

#include "player/decode/AudioDecoder.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>

namespace {
constexpr long kHopFrames = long(kMomentaryHop * AudioDecoder::kRate + 0.5);

ebur128_state* newState(LoudnessMeter::Mode mode) {
    const int flags = mode == LoudnessMeter::Mode::Momentary ? EBUR128_MODE_M
                      : mode == LoudnessMeter::Mode::ShortTerm
                          ? EBUR128_MODE_S
                          : EBUR128_MODE_I | EBUR128_MODE_SAMPLE_PEAK;
    return ebur128_init(AudioDecoder::kChannels, AudioDecoder::kRate, flags);
}

double read(void* state, int (*reading)(ebur128_state*, double*)) {
    double lufs = -HUGE_VAL;
    if (state == nullptr || reading(static_cast<ebur128_state*>(state), &lufs) != EBUR128_SUCCESS) {
        return -HUGE_VAL;
    }
    return lufs;
}
} // namespace

LoudnessMeter::LoudnessMeter(Mode m) : mode(m), state(newState(m)) {}

LoudnessMeter::~LoudnessMeter() {
    destroyState();
}

void LoudnessMeter::destroyState() {
    auto* s = static_cast<ebur128_state*>(state);
    if (s) {
        ebur128_destroy(&s);
    }
    state = nullptr;
}

void LoudnessMeter::reset() {
    destroyState();
    state = newState(mode);
    sinceHop = 0;
}

void LoudnessMeter::add(const float* frames, long count) {
    if (state && count > 0) {
        ebur128_add_frames_float(static_cast<ebur128_state*>(state), frames, size_t(count));
    }
    sinceHop = (sinceHop + count) % kHopFrames;
}

void LoudnessMeter::addInHops(const float* frames, long count,
                              const std::function<void(double, long)>& atHop) {
    for (long at = 0; at < count;) {
        const long n = std::min(count - at, kHopFrames - sinceHop);
        add(frames + at * AudioDecoder::kChannels, n);
        at += n;
        if (sinceHop == 0) {
            atHop(momentaryLufs(), count - at);
        }
    }
}

double LoudnessMeter::momentaryLufs() const {
    return read(state, ebur128_loudness_momentary);
}

double LoudnessMeter::shortTermLufs() const {
    return read(state, ebur128_loudness_shortterm);
}

double LoudnessMeter::integratedLufs() const {
    return read(state, ebur128_loudness_global);
}

double LoudnessMeter::samplePeak() const {
    double peak = 0, p = 0;
    for (unsigned c = 0; state && c < AudioDecoder::kChannels; ++c) {
        if (ebur128_sample_peak(static_cast<ebur128_state*>(state), c, &p) == EBUR128_SUCCESS) {
            peak = std::max(peak, p);
        }
    }
    return peak;
}
