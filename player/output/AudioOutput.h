// The sound device: 44.1 kHz stereo float frames out through SDL2's audio (PulseAudio,
// PipeWire, or the dummy and disk drivers that tests choose with SDL_AUDIODRIVER).
#pragma once

#include <string>

class AudioOutput {
  public:
    // Called on the device's own thread for every buffer; it must fill all count frames
    // (interleaved stereo) and must never wait on a lock another thread may hold for long.
    class Source {
      public:
        virtual ~Source() = default;
        virtual void fill(float* out, long count) = 0;
    };

    static constexpr int kRate = 44100;
    static constexpr int kBufferFrames = 1024;

    AudioOutput() = default;
    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    // Opens the default device and starts calling source; false with the reason in error.
    bool open(Source& source, std::string& error);
    void close();
    bool isOpen() const { return device != 0; }

    // Frames between handing a buffer to the device and the listener hearing its first frame
    // plus that buffer itself: the device's buffer, and for a sound server one more buffer in
    // the server.
    long delayFrames() const { return delay; }
    const std::string& driver() const { return driverName; }

  private:
    static void callback(void* self, unsigned char* stream, int bytes);

    Source* source = nullptr;
    unsigned device = 0;
    long delay = 0;
    std::string driverName;
};
