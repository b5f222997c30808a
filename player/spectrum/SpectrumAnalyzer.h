// The player's spectrum of one channel: 1024 linear cells from 21.5 Hz to 22050 Hz, from a
// Hann-windowed 2048-sample FFT of 44.1 kHz audio. Cell k holds FFT bin k (k x 21.53 Hz) for
// k >= 1; cell 0 repeats bin 1, the lowest band that carries sound (bin 0 is the constant
// offset). Each cell's magnitude in decibels, relative to a full-scale sine, becomes 0..255
// through a SpectrumMapping: the fixed one (a kRangeDb range whose top lies kTopDb above a
// full-scale sine) until setMapping() gives another, such as a song's ride calibration (see
// RideCalibration.h and the player's README).
#pragma once

#include "player/spectrum/SpectrumMapping.h"

#include <vector>

class SpectrumAnalyzer {
  public:
    static constexpr int kBands = 1024;
    static constexpr int kWindow = 2 * kBands;
    static constexpr double kRangeDb = 90.0;
    static constexpr double kTopDb = 24.0;

    SpectrumAnalyzer();
    ~SpectrumAnalyzer();
    SpectrumAnalyzer(const SpectrumAnalyzer&) = delete;
    SpectrumAnalyzer& operator=(const SpectrumAnalyzer&) = delete;

    // samples holds count (at most kWindow) values in -1..1; missing ones count as silence.
    // out receives kBands levels.
    void analyse(const float* samples, int count, unsigned char out[kBands]);
    // The same for one channel (0 or 1) of count interleaved stereo frames.
    void analyseInterleaved(const float* frames, long count, int channel,
                            unsigned char out[kBands]);

    // The cells' magnitudes in dB relative to a full-scale sine (silence gives -400), for
    // count interleaved stereo frames as above.
    void decibelsInterleaved(const float* frames, long count, int channel, float out[kBands]);

    // The mapping from decibels to levels used from the next call on.
    void setMapping(const spectrum::SpectrumMapping& m);
    const spectrum::SpectrumMapping& mapping() const { return current; }

    // The level a cell shows for a magnitude of db decibels under the fixed mapping.
    static unsigned char levelOf(double db);

  private:
    void load(const float* frames, long count, int stride, int channel);
    void transform(float db[kBands]);
    void transform(unsigned char out[kBands]);

    spectrum::SpectrumMapping current;
    spectrum::MappingTable table;
    float decibels[kBands];

    std::vector<float> window;
    float* input = nullptr;
    void* output = nullptr; // fftwf_complex[kBands + 1]
    void* plan = nullptr;
};
