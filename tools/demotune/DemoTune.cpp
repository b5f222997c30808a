#include "tools/demotune/DemoTune.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace demotune {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kBpm = 120.0;
constexpr double kBeat = 60.0 / kBpm; // seconds
constexpr double kBar = 4 * kBeat;

double midiHz(int note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

// Deterministic white noise.
struct Noise {
    uint32_t state = 0x2545F491u;
    float next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(state) / 2147483648.0f - 1.0f;
    }
};

// A band-limited-enough saw from its phase in cycles.
double saw(double phase) {
    return 2.0 * (phase - std::floor(phase)) - 1.0;
}

// The chord roots of the eight-bar loop (A minor: Am F C G Am F G E) and their triads.
const int kRoots[8] = {57, 53, 48, 55, 57, 53, 55, 52};
const bool kMinor[8] = {true, false, false, false, true, false, false, false};

struct Mix {
    std::vector<float>& out;
    void add(double t, double left, double right) {
        long i = std::lround(t * kRate);
        if (i >= 0 && size_t(i) * 2 + 1 < out.size()) {
            out[size_t(i) * 2] += float(left);
            out[size_t(i) * 2 + 1] += float(right);
        }
    }
};

// How strongly each part plays at time t (0..1), from the piece's plan.
struct Levels {
    double pad, bass, drums, lead;
};

Levels levelsAt(double t) {
    for (const Section& s : sections()) {
        if (t >= s.start && t < s.end) {
            double into = (t - s.start) / (s.end - s.start);
            auto is = [&](const char* name) { return std::strcmp(s.name, name) == 0; };
            if (is("intro")) {
                return {0.6 * into + 0.2, 0, 0, 0};
            }
            if (is("build")) {
                return {0.8, 0.7, 0.35 + 0.4 * into, 0};
            }
            if (is("drop") || is("finale")) {
                return {0.7, 1.0, 1.0, 1.0};
            }
            if (is("breakdown")) {
                return {0.7, 0, 0, 0.25};
            }
            if (is("outro")) {
                return {0.7 * (1 - into), 0, 0, 0};
            }
        }
    }
    return {0, 0, 0, 0};
}

void renderPad(std::vector<float>& out) {
    // A slow chord each bar: three detuned saws, softened by a one-pole low pass.
    double lp[2] = {0, 0};
    for (size_t i = 0; i * 2 < out.size(); ++i) {
        double t = double(i) / kRate;
        int bar = int(t / kBar) % 8;
        double inBar = std::fmod(t, kBar);
        double env = std::min(1.0, inBar / 0.4) * std::min(1.0, (kBar - inBar) / 0.3);
        int third = kMinor[bar] ? 3 : 4;
        int notes[3] = {kRoots[bar], kRoots[bar] + third, kRoots[bar] + 7};
        double l = 0, r = 0;
        for (int k = 0; k < 3; ++k) {
            double f = midiHz(notes[k]);
            l += saw(t * f * 1.003);
            r += saw(t * f * 0.997);
        }
        double level = levelsAt(t).pad * env * 0.09;
        lp[0] += 0.06 * (l * level - lp[0]);
        lp[1] += 0.06 * (r * level - lp[1]);
        out[i * 2] += float(lp[0]);
        out[i * 2 + 1] += float(lp[1]);
    }
}

void renderBass(std::vector<float>& out) {
    // Eighth notes on the chord root, two octaves down, with a plucked envelope.
    double lp = 0;
    for (size_t i = 0; i * 2 < out.size(); ++i) {
        double t = double(i) / kRate;
        double level = levelsAt(t).bass;
        int bar = int(t / kBar) % 8;
        double inNote = std::fmod(t, kBeat / 2);
        double f = midiHz(kRoots[bar] - 24 + ((int(t / (kBeat / 2)) % 4 == 3) ? 12 : 0));
        double env = std::exp(-inNote * 9.0);
        double v = saw(t * f) * env * level * 0.35;
        lp += 0.12 * (v - lp);
        out[i * 2] += float(lp);
        out[i * 2 + 1] += float(lp);
    }
}

void renderDrums(std::vector<float>& out) {
    Noise noise;
    Mix mix{out};
    const double len = lengthSeconds();
    for (double beat = 0; beat * kBeat < len; beat += 0.5) {
        double at = beat * kBeat;
        double level = levelsAt(at).drums;
        if (level <= 0) {
            continue;
        }
        bool onBeat = std::fmod(beat, 1.0) == 0.0;
        int inBar = int(beat) % 4;
        if (onBeat) { // kick: a falling sine
            double phase = 0;
            for (double s = 0; s < 0.35; s += 1.0 / kRate) {
                double f = 45 + 110 * std::exp(-s * 30);
                phase += f / kRate;
                double v = std::sin(2 * kPi * phase) * std::exp(-s * 7) * 0.8 * level;
                mix.add(at + s, v, v);
            }
        }
        if (onBeat && (inBar == 1 || inBar == 3)) { // snare: a noise burst over a tone
            for (double s = 0; s < 0.25; s += 1.0 / kRate) {
                double v = (noise.next() * 0.6 + 0.4 * std::sin(2 * kPi * 190 * s)) *
                           std::exp(-s * 16) * 0.5 * level;
                mix.add(at + s, v, v);
            }
        }
        // hi-hat: bright noise, every eighth
        double prev = 0;
        for (double s = 0; s < 0.06; s += 1.0 / kRate) {
            double n = noise.next();
            double v = (n - prev) * std::exp(-s * 70) * 0.18 * level;
            prev = n;
            mix.add(at + s, v * 0.7, v);
        }
    }
}

void renderLead(std::vector<float>& out) {
    // Sixteenth-note arpeggio of the chord, square wave, panned right of centre.
    Mix mix{out};
    const double len = lengthSeconds();
    const double step = kBeat / 4;
    for (int n = 0; n * step < len; ++n) {
        double at = n * step;
        double level = levelsAt(at).lead;
        if (level <= 0) {
            continue;
        }
        int bar = int(at / kBar) % 8;
        int third = kMinor[bar] ? 3 : 4;
        const int pattern[8] = {0, 7, 12, third + 12, 19, third + 12, 12, 7};
        double f = midiHz(kRoots[bar] + 12 + pattern[n % 8]);
        for (double s = 0; s < step; s += 1.0 / kRate) {
            double sq = std::fmod(s * f, 1.0) < 0.5 ? 1.0 : -1.0;
            double v = sq * std::exp(-s * 14) * 0.09 * level;
            mix.add(at + s, v * 0.7, v);
        }
    }
}

} // namespace

const std::vector<Section>& sections() {
    // 120 beats a minute: four seconds a bar.
    static const std::vector<Section> plan = {
        {"intro", 0, 16, false},      {"build", 16, 32, true},   {"drop", 32, 64, true},
        {"breakdown", 64, 80, false}, {"finale", 80, 112, true}, {"outro", 112, 120, false},
    };
    return plan;
}

double lengthSeconds() {
    return sections().back().end;
}

std::vector<float> render(double seconds) {
    double length = seconds < 0 ? lengthSeconds() : std::min(seconds, lengthSeconds());
    std::vector<float> out(size_t(length * kRate) * kChannels, 0.0f);
    renderPad(out);
    renderBass(out);
    renderDrums(out);
    renderLead(out);
    // A gentle limiter keeps the loud passages inside full scale.
    for (float& v : out) {
        v = float(std::tanh(double(v) * 1.2));
    }
    return out;
}

} // namespace demotune
