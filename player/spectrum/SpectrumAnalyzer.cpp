#include "player/spectrum/SpectrumAnalyzer.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace {
// FFTW's planner is not thread-safe; plans are made and destroyed under this lock.
std::mutex plannerLock;
} // namespace

SpectrumAnalyzer::SpectrumAnalyzer() : window(kWindow) {
    for (int i = 0; i < kWindow; ++i) {
        window[size_t(i)] = 0.5f - 0.5f * std::cos(2.0f * 3.14159265f * i / (kWindow - 1));
    }
    table.set(current);
    std::lock_guard<std::mutex> hold(plannerLock);
    input = fftwf_alloc_real(kWindow);
    auto* out = fftwf_alloc_complex(kBands + 1);
    output = out;
    plan = fftwf_plan_dft_r2c_1d(kWindow, input, out, FFTW_ESTIMATE);
}

SpectrumAnalyzer::~SpectrumAnalyzer() {
    std::lock_guard<std::mutex> hold(plannerLock);
    fftwf_destroy_plan(static_cast<fftwf_plan>(plan));
    fftwf_free(input);
    fftwf_free(output);
}

unsigned char SpectrumAnalyzer::levelOf(double db) {
    double v = (db - kTopDb + kRangeDb) / kRangeDb * 255.0;
    return static_cast<unsigned char>(std::lround(std::min(255.0, std::max(0.0, v))));
}

void SpectrumAnalyzer::setMapping(const spectrum::SpectrumMapping& m) {
    if (m != current) {
        current = m;
        table.set(m);
    }
}

void SpectrumAnalyzer::load(const float* samples, long count, int stride, int channel) {
    for (long i = 0; i < kWindow; ++i) {
        input[i] = i < count ? samples[stride * i + channel] * window[size_t(i)] : 0.0f;
    }
}

void SpectrumAnalyzer::analyse(const float* samples, int count, unsigned char out[kBands]) {
    load(samples, count, 1, 0);
    transform(out);
}

void SpectrumAnalyzer::analyseInterleaved(const float* frames, long count, int channel,
                                          unsigned char out[kBands]) {
    load(frames, count, 2, channel);
    transform(out);
}

void SpectrumAnalyzer::decibelsInterleaved(const float* frames, long count, int channel,
                                           float out[kBands]) {
    load(frames, count, 2, channel);
    transform(out);
}

void SpectrumAnalyzer::transform(float db[kBands]) {
    fftwf_execute(static_cast<fftwf_plan>(plan));
    auto* bins = static_cast<fftwf_complex*>(output);
    // A full-scale sine through the Hann window peaks at kWindow / 4.
    const double reference = kWindow / 4.0;
    for (int b = 0; b < kBands; ++b) {
        int bin = std::max(b, 1);
        double re = bins[bin][0], im = bins[bin][1];
        double power = (re * re + im * im) / (reference * reference);
        db[b] = power > 1e-20 ? float(10.0 * std::log10(power)) : -400.0f;
    }
}

void SpectrumAnalyzer::transform(unsigned char out[kBands]) {
    transform(decibels);
    for (int b = 0; b < kBands; ++b) {
        out[b] = table.level(b, decibels[b]);
    }
}
