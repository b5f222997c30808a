// The spectrum's decibel mapping against the ride's design: the level L (the 50-frame mean of
// the average byte of both channels) sits in 0..18 for quiet passages, 18..36 for middle ones
// and above 36 for loud ones. Signals of known loudness stand in for music.
#include "player/spectrum/LevelFrame.h"
#include "player/spectrum/SpectrumAnalyzer.h"

#include <ebur128.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace {

const double kPi = 3.14159265358979323846;

// Stereo pink noise (independent channels), darkened above cornerHz by a one-pole low pass
// when cornerHz > 0, scaled to the given integrated loudness.
std::vector<float> noise(double lufs, double cornerHz, double seconds, unsigned seed) {
    const long n = long(seconds * 44100);
    std::vector<float> v(size_t(n) * 2);
    std::mt19937 rng(seed);
    std::normal_distribution<double> white(0, 1);
    for (int c = 0; c < 2; ++c) {
        // Paul Kellet's pink filter.
        double b0 = 0, b1 = 0, b2 = 0, b3 = 0, b4 = 0, b5 = 0, b6 = 0, lp = 0;
        double a = cornerHz > 0 ? 1 - std::exp(-2 * kPi * cornerHz / 44100) : 1;
        for (long i = 0; i < n; ++i) {
            double w = white(rng);
            b0 = 0.99886 * b0 + w * 0.0555179;
            b1 = 0.99332 * b1 + w * 0.0750759;
            b2 = 0.96900 * b2 + w * 0.1538520;
            b3 = 0.86650 * b3 + w * 0.3104856;
            b4 = 0.55000 * b4 + w * 0.5329522;
            b5 = -0.7616 * b5 - w * 0.0168980;
            double pink = b0 + b1 + b2 + b3 + b4 + b5 + b6 + w * 0.5362;
            b6 = w * 0.115926;
            lp += a * (pink - lp);
            v[size_t(2 * i + c)] = float(lp);
        }
    }
    ebur128_state* st = ebur128_init(2, 44100, EBUR128_MODE_I);
    ebur128_add_frames_float(st, v.data(), size_t(n));
    double measured = 0;
    ebur128_loudness_global(st, &measured);
    ebur128_destroy(&st);
    float k = float(std::pow(10.0, (lufs - measured) / 20.0));
    for (float& s : v) {
        s *= k;
    }
    return v;
}

// The ride's L after feeding it the spectrum of the signal 60 times a second.
double rideLevel(const std::vector<float>& frames) {
    SpectrumAnalyzer a;
    unsigned char bands[2][1024];
    const long count = long(frames.size() / 2), hop = 44100 / 60;
    double sum = 0;
    int taken = 0;
    for (long at = 0; at + 2048 <= count; at += hop) {
        a.analyseInterleaved(frames.data() + 2 * at, 2048, 0, bands[0]);
        a.analyseInterleaved(frames.data() + 2 * at, 2048, 1, bands[1]);
        int sumL = 0, sumR = 0;
        for (int i = 0; i < 1024; ++i) {
            sumL += bands[0][i];
            sumR += bands[1][i];
        }
        sum += ((sumR / 1024) + (sumL / 1024)) / 2;
        ++taken;
    }
    return sum / taken;
}

TEST(SpectrumCalibration, SineAtMinus6dBFSLandsInCell46AtItsPredictedLevel) {
    std::vector<float> v(2 * 2048);
    for (int i = 0; i < 2048; ++i) {
        v[size_t(2 * i)] = float(0.5 * std::sin(2 * kPi * 1000.0 * i / 44100));
        v[size_t(2 * i + 1)] = float(0.5 * std::sin(2 * kPi * 5000.0 * i / 44100));
    }
    SpectrumAnalyzer a;
    unsigned char left[1024], right[1024];
    a.analyseInterleaved(v.data(), 2048, 0, left);
    a.analyseInterleaved(v.data(), 2048, 1, right);
    EXPECT_EQ(std::max_element(left, left + 1024) - left, 46);
    EXPECT_EQ(std::max_element(right, right + 1024) - right, 232); // 5000 / 21.53
    // 1 kHz sits 0.44 of a bin off cell 46's centre: the Hann window shows it 1.2 dB low.
    double predicted = (-6.02 - 1.2 - SpectrumAnalyzer::kTopDb + 90.0) / 90.0 * 255.0;
    EXPECT_NEAR(left[46], predicted, 2.0);
    EXPECT_EQ(left[46], SpectrumAnalyzer::levelOf(20 * std::log10(0.5) - 1.2));
    // Channel separation: each tone only in its own channel.
    EXPECT_LT(right[46], 20);
    EXPECT_LT(left[232], 20);
}

TEST(SpectrumCalibration, NormalisedMusicLikeNoiseDrivesTheRideAcrossItsThreeRanges) {
    struct Case {
        double lufs, corner;
        double low, high; // expected L
    } cases[] = {
        {-18, 0, 18, 36},     // pink noise at the normalised level: middle
        {-18, 4000, 18, 36},  // darker, like most mixes: middle
        {-32, 4000, 0, 18},   // a quiet passage of a normalised song
        {-11, 4000, 36, 255}, // a loud passage, 7 dB above the song's level
        {-8, 0, 36, 255},     // the loudest passages
    };
    for (const Case& c : cases) {
        double L = rideLevel(noise(c.lufs, c.corner, 3.0, 7));
        std::printf("LUFS %.0f corner %.0f Hz: L = %.1f\n", c.lufs, c.corner, L);
        EXPECT_GE(L, c.low) << c.lufs << " LUFS, corner " << c.corner;
        EXPECT_LT(L, c.high) << c.lufs << " LUFS, corner " << c.corner;
    }
}

} // namespace
