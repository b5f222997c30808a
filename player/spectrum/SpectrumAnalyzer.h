// The player's spectrum: 1024 linear bands from the bottom of the range to 22050 Hz, from a
// Hann-windowed 2048-sample FFT of 44.1 kHz mono audio; each band's magnitude in decibels over
// a 90 dB range becomes 0..255 (a full-scale sine reaches 255).
#pragma once

#include <vector>

class SpectrumAnalyzer {
  public:
    static constexpr int kBands = 1024;
    static constexpr int kWindow = 2 * kBands;
    static constexpr double kRangeDb = 90.0;

    SpectrumAnalyzer();
    ~SpectrumAnalyzer();
    SpectrumAnalyzer(const SpectrumAnalyzer&) = delete;
    SpectrumAnalyzer& operator=(const SpectrumAnalyzer&) = delete;

    // samples holds kWindow values in -1..1 (missing ones count as silence when count is
    // smaller); out receives kBands bytes.
    void analyse(const float* samples, int count, unsigned char out[kBands]);

  private:
    std::vector<float> window;
    float* input = nullptr;
    void* output = nullptr; // fftwf_complex[kBands + 1]
    void* plan = nullptr;
};
