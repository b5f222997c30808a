// The audio the listener hears, for the spectrum: the last second or so of the stereo frames
// (44.1 kHz, interleaved left/right) that a source has handed to the sound device, with the
// device's delay, so a reader can take the frames being heard at any moment.
//
// Any source feeds it the same way: the file player's audio callback, or a capture stream
// listening to the desktop's output. One writer thread calls write(); any number of reader
// threads call heardWindow(). Neither ever waits for the other: the writer never blocks, a
// reader retries the few times a write overlaps its copy.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

class HeardAudio {
  public:
    static constexpr int kRate = 44100;
    static constexpr long kCapacity = 1 << 15; // frames kept (0.74 s)

    HeardAudio();

    // Writer. frames stereo frames were just handed to the device at time now (seconds of
    // the steady clock, see nowSeconds()); delayFrames is how many frames the device holds
    // before the listener hears them, those just written included.
    void write(const float* frames, long count, long delayFrames, double now);
    // Writer: the stream stopped (pause, stop, end of capture); what is in the device still
    // plays out, then the heard position stays where it is.
    void markIdle(double now);

    // Reader: copies the count frames (count <= kCapacity / 2) that end ahead frames after the
    // frame heard at time now into out (interleaved stereo), or at the last frame written when
    // fewer were; frames before the first write are silence. Returns the index (since the
    // start) of the frame heard at now.
    int64_t heardWindow(double now, float* out, long count, long ahead = 0) const;
    // Reader: index of the frame heard at time now.
    int64_t heardFrame(double now) const;
    // Frames written since the start.
    int64_t written() const { return total.load(std::memory_order_acquire); }

    static double nowSeconds();

  private:
    struct Stamp {
        int64_t total;
        int64_t delay;
        double at;
    };
    Stamp stamp() const;

    std::vector<float> ring; // kCapacity stereo frames
    std::atomic<int64_t> total{0};
    // Timing of the last write, published under a sequence counter (odd while changing).
    std::atomic<uint32_t> seq{0};
    std::atomic<int64_t> stampTotal{0};
    std::atomic<int64_t> stampDelay{0};
    std::atomic<double> stampAt{0};
};
