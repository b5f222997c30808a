// Loudness normalisation for audio without an end, such as the desktop's output: a running
// EBU R128 estimate and a gain that follows it slowly.
//
// Every tenth of a second the short-term loudness (the last 3 s) is taken, or while less than
// 3 s of sound has been heard the momentary loudness (the last 0.4 s), which is not diluted by
// the silence before the sound; readings of sound (above kGateLufs) are averaged, as energy,
// over the last kMemorySeconds, and the gain heads for the one that brings that average to
// AudioDecoder::kLoudnessTargetLufs (within -30..+12 dB). The first 0.4 s of sound are only
// measured; then the gain is set at once, and from there it rises at most kFastDbPerSecond
// until kSettleSeconds of sound and kSlowDbPerSecond after, falls at most kFallDbPerSecond
// (a loud entry after a quiet opening), and holds through silence. So a song is near its level
// from its first half second and settles within a few seconds, and, the estimate being an
// average of seconds, its own swells and breaks do not pump. restart() begins a new song: its
// loudness is measured afresh and its gain set at once, as the first song's was, from the gain
// that stood for the song before. hold() sets the gain from what is known of the song instead.
//
// One thread owns an instance.
#pragma once

#include "player/loudness/LoudnessMeter.h"

#include <deque>

class RunningLoudness {
  public:
    static constexpr double kGateLufs = -50.0;
    static constexpr double kMemorySeconds = 6.0;
    static constexpr double kSettleSeconds = 10.0;
    static constexpr double kFastDbPerSecond = 6.0;
    static constexpr double kSlowDbPerSecond = 2.0;
    static constexpr double kFallDbPerSecond = 20.0;
    static constexpr double kMomentarySeconds = 0.4;
    static constexpr double kShortTermSeconds = 3.0;

    // Measures count stereo frames (44.1 kHz) and scales them in place by the gain, which
    // moves smoothly across them.
    void process(float* frames, long count);
    double gainDb() const { return gain; }
    // A new song begins: forgets what was measured, keeps the gain until the new song's first
    // reading sets it.
    void restart();
    // The running estimate in LUFS; kGateLufs until there has been sound.
    double estimateLufs() const;
    // The gain is known from elsewhere (the song's own file): it heads for gainDb from the
    // next reading on, while the estimate goes on being measured, until release().
    void hold(double gainDb);
    void release() { held = false; }

  private:
    void step(double seconds);

    LoudnessMeter meter{LoudnessMeter::Mode::ShortTerm};
    std::deque<double> readings; // energies of the short-term readings of sound, newest last
    long sinceReading = 0;
    double gain = 0;     // dB, applied now
    double sounding = 0; // seconds of sound so far
    bool held = false;
    double heldGain = 0;
};
