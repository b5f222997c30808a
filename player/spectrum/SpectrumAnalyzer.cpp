#include "player/spectrum/SpectrumAnalyzer.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>

SpectrumAnalyzer::SpectrumAnalyzer() : window(kWindow) {
    for (int i = 0; i < kWindow; ++i) {
        window[size_t(i)] = 0.5f - 0.5f * std::cos(2.0f * 3.14159265f * i / (kWindow - 1));
    }
    input = fftwf_alloc_real(kWindow);
    auto* out = fftwf_alloc_complex(kBands + 1);
    output = out;
    plan = fftwf_plan_dft_r2c_1d(kWindow, input, out, FFTW_ESTIMATE);
}

SpectrumAnalyzer::~SpectrumAnalyzer() {
    fftwf_destroy_plan(static_cast<fftwf_plan>(plan));
    fftwf_free(input);
    fftwf_free(output);
}

void SpectrumAnalyzer::analyse(const float* samples, int count, unsigned char out[kBands]) {
    for (int i = 0; i < kWindow; ++i) {
        input[i] = i < count ? samples[i] * window[size_t(i)] : 0.0f;
    }
    fftwf_execute(static_cast<fftwf_plan>(plan));
    auto* bins = static_cast<fftwf_complex*>(output);
    // A full-scale sine through the Hann window peaks at kWindow / 4.
    const double reference = kWindow / 4.0;
    for (int b = 0; b < kBands; ++b) {
        double re = bins[b + 1][0], im = bins[b + 1][1];
        double magnitude = std::sqrt(re * re + im * im) / reference;
        double db = magnitude > 0 ? 20.0 * std::log10(magnitude) : -kRangeDb;
        double v = (db + kRangeDb) / kRangeDb * 255.0;
        out[b] = static_cast<unsigned char>(std::lround(std::min(255.0, std::max(0.0, v))));
    }
}
