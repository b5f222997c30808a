// Where the rendered frames go: a video file with the song's sound, or numbered pictures.
// One thread feeds a sink; frames arrive in order, each with the sound that plays during it.
#pragma once

#include <cstdint>
#include <string>

class FrameSink {
  public:
    virtual ~FrameSink() = default;

    // pixels: width x height 32-bit BGRA pixels (as GL_BGRA gives them), bottom row first.
    // audio: frames interleaved stereo 44.1 kHz floats. False with error() set when the
    // output cannot be written (a full disk among them).
    virtual bool addFrame(const uint8_t* pixels, const float* audio, long frames) = 0;
    // Ends the output so it plays; false with error() set when the end cannot be written.
    virtual bool finish() = 0;
    // Stops and removes everything written.
    virtual void discard() = 0;
    virtual const std::string& error() const = 0;
};
