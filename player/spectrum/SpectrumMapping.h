// How the spectrum's decibels become the 0..255 levels of the player's cells.
//
// Cell k (frequency f_k = max(k, 1) x 21.53 Hz) at dB decibels, relative to a full-scale
// sine, shows
//     level = (dB + tilt(k) - topDb + rangeDb) / rangeDb * 255, clamped to 0..255,
//     tilt(k) = tiltDbPerOctave * log2(f_k / 1000 Hz).
// topDb is where a 1 kHz cell reaches 255; rangeDb the decibels from 0 to 255 (the slope);
// the tilt lifts the high cells (where music carries little) and lowers the low ones, turning
// about 1 kHz, so every cell keeps its own frequency and the two channels keep their
// difference. fixed() is the player's original mapping: 90 dB whose top lies 24 dB above a
// full-scale sine, no tilt. Values are plain numbers: copy them freely between threads.
#pragma once

namespace spectrum {

constexpr int kCells = 1024;
constexpr double kCellHz = 44100.0 / 2048.0;

struct SpectrumMapping {
    double topDb = 24.0;
    double rangeDb = 90.0;
    double tiltDbPerOctave = 0.0;

    static SpectrumMapping fixed() { return {}; }

    // The same picture for audio gainDb louder (or quieter, below 0) than the audio this
    // mapping was chosen for: a gain moves the top by as much.
    SpectrumMapping forGain(double gainDb) const {
        SpectrumMapping m = *this;
        m.topDb += gainDb;
        return m;
    }
    // The tilt at cell k in dB.
    double tiltAt(int cell) const;
    // The level cell k shows for db decibels (below -400 counts as silence).
    unsigned char levelOf(int cell, double db) const;

    bool operator==(const SpectrumMapping& o) const {
        return topDb == o.topDb && rangeDb == o.rangeDb && tiltDbPerOctave == o.tiltDbPerOctave;
    }
    bool operator!=(const SpectrumMapping& o) const { return !(*this == o); }
};

// The mapping as a table for the analyser: level = clamp(offset[k] + scale * dB).
struct MappingTable {
    float offset[kCells];
    float scale;
    void set(const SpectrumMapping& m);
    unsigned char level(int cell, double db) const;
};

} // namespace spectrum
