// An EBU R128 loudness meter (libebur128) over the player's audio: interleaved stereo at
// 44.1 kHz, as AudioDecoder delivers it. The momentary loudness can be read at the end of every
// kMomentaryHop of audio fed, counted from the meter's start. One thread owns a meter.
#pragma once

#include <functional>

constexpr double kMomentaryHop = 0.1; // seconds between momentary readings

class LoudnessMeter {
  public:
    // What the meter can tell: the momentary loudness (the last 0.4 s); the short-term one
    // too (the last 3 s); or besides those the whole of what it was fed (integrated loudness
    // and sample peak).
    enum class Mode { Momentary, ShortTerm, Whole };

    explicit LoudnessMeter(Mode mode);
    ~LoudnessMeter();
    LoudnessMeter(const LoudnessMeter&) = delete;
    LoudnessMeter& operator=(const LoudnessMeter&) = delete;

    // False when libebur128 could not make its state; such a meter measures nothing.
    bool ok() const { return state != nullptr; }
    // Forgets everything fed so far, as a new meter would.
    void reset();

    void add(const float* frames, long count);
    // As add(), and at the end of every hop within the frames, calls atHop with the momentary
    // loudness there and how many of the frames come after that end.
    void addInHops(const float* frames, long count,
                   const std::function<void(double momentaryLufs, long framesAfter)>& atHop);

    // LUFS; -HUGE_VAL in silence, or when the meter cannot tell.
    double momentaryLufs() const;
    double shortTermLufs() const;
    double integratedLufs() const;
    // The largest absolute sample of either channel, 1 = full scale.
    double samplePeak() const;

  private:
    void destroyState();

    Mode mode;
    void* state = nullptr; // the libebur128 state
    long sinceHop = 0;     // frames fed since the last hop's end
};
