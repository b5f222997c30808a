// Listens to what the desktop plays: the monitor of the sound server's default output, through
// PulseAudio's API (PipeWire's Pulse server serves it as well).
//
// Contract:
// - Only the monitor of the default output (sink) is ever recorded, never an input such as a
//   microphone, whatever the server's default input is.
// - Without a server, or without any output monitor, it says so through the status callback
//   and keeps waiting; it begins listening as soon as one appears.
// - When the default output changes it moves to the new output's monitor.
// - When the server goes away it says so, reconnects once it is back, and says that too.
// - Frames arrive as interleaved stereo floats at AudioSource::kRate.
#pragma once

#include "player/capture/AudioSource.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>

class DesktopCapture : public AudioSource {
  public:
    enum class State {
        Stopped,
        Connecting, // talking to the server, or waiting for one to appear
        NoServer,   // no server could be reached; retrying
        NoMonitor,  // connected, but the server has no output to listen to
        Listening,  // recording the default output's monitor
    };

    struct Options {
        // Server address as PulseAudio names it ("unix:/path/native"); empty = the usual server
        // (PULSE_SERVER, then the user's runtime folder).
        std::string server;
        // How long after a lost or failed connection the next attempt is made.
        std::chrono::milliseconds retryDelay{1000};
        // Called with each status line (see the messages below), on the capture's thread.
        std::function<void(State, const std::string&)> onStatus;
    };

    // The plain lines the user sees; Listening adds the output's description.
    static const char* const kMsgNoServer;
    static const char* const kMsgNoMonitor;
    static const char* const kMsgListening;
    static const char* const kMsgLost;
    static const char* const kMsgReconnected;

    static constexpr int kChannels = 2;

    explicit DesktopCapture(Options options);
    ~DesktopCapture() override;
    DesktopCapture(const DesktopCapture&) = delete;
    DesktopCapture& operator=(const DesktopCapture&) = delete;

    bool start(FrameCallback callback) override;
    void stop() override;

    State state() const;
    // The latest status line; "" before the first.
    std::string statusLine() const;
    // The source being recorded ("" unless Listening), e.g. "alsa_output.pci.analog.monitor".
    std::string sourceName() const;
    // True when a frame louder than silence arrived within the last `window`.
    bool soundArriving(std::chrono::milliseconds window = std::chrono::milliseconds(500)) const;

    struct Impl; // the PulseAudio side, in DesktopCapture.cpp

  private:
    void setStatus(State s, const std::string& line, const std::string& source);
    void deliver(const float* frames, size_t frameCount);

    Options options;
    FrameCallback callback;
    std::unique_ptr<Impl> impl;
    mutable std::mutex statusMutex;
    State current = State::Stopped;
    std::string line;
    std::string source;
    std::atomic<int64_t> lastSoundMs{INT64_MIN};
};
