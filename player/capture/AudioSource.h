// Something that produces audio for the player's analysis and visualization path: a decoded
// file or the desktop's output. Frames are interleaved floats in -1..1 at kRate frames a
// second; the channel count is fixed for the life of a source.
#pragma once

#include <cstddef>
#include <functional>

class AudioSource {
  public:
    static constexpr int kRate = 44100;

    // Called with each block of frames as it arrives, on a thread of the source's own; it must
    // return quickly (copy the frames and leave).
    using FrameCallback = std::function<void(const float* frames, size_t frameCount, int channels)>;

    virtual ~AudioSource() = default;

    // Begins delivering frames to callback. False when the source could not begin at all;
    // a source that is merely waiting for its input still returns true.
    virtual bool start(FrameCallback callback) = 0;
    // No callback runs after stop returns. Safe to call more than once.
    virtual void stop() = 0;
};
