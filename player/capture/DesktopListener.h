// tcplayer's listening mode in one piece: the desktop's output (DesktopCapture), its title
// (DesktopTitle), and the latest stretch of what was heard, ready for the spectrum analyser,
// the same way a playing file offers the stretch at its play position.
#pragma once

#include "player/capture/DesktopCapture.h"
#include "player/capture/DesktopTitle.h"

#include <memory>
#include <mutex>
#include <vector>

class DesktopListener {
  public:
    struct Options {
        std::string server;     // as DesktopCapture::Options::server
        std::string busAddress; // as DesktopTitle's; "" = the session bus
        std::chrono::milliseconds retryDelay{1000};
        // Every status line, for the terminal and the window; on the capture's thread.
        std::function<void(const std::string&)> onStatus;
        // Every block heard, as it arrives (interleaved stereo, on the capture's thread): where
        // the player feeds its spectrum path, as its own output does with a playing file.
        AudioSource::FrameCallback onFrames;
    };

    // How many of the latest mono samples are kept (the analyser's window).
    static constexpr size_t kKept = 2048;

    explicit DesktopListener(Options options);
    ~DesktopListener();
    DesktopListener(const DesktopListener&) = delete;
    DesktopListener& operator=(const DesktopListener&) = delete;

    bool start();
    void stop();

    // The latest kKept samples, left and right averaged, oldest first; silence before any
    // arrived.
    void latest(float out[kKept]) const;
    // True while sound (not silence) arrives: the player's state is then "playing".
    bool playing() const;
    // The playing desktop player's title, else "Desktop audio".
    std::string title() const;
    // The song the desktop's players play (DesktopTitle::song); song 0, unnamed, without a bus.
    DesktopSong song() const;
    std::string statusLine() const;
    DesktopCapture::State state() const;

  private:
    void take(const float* frames, size_t count, int channels);

    DesktopCapture capture;
    std::unique_ptr<DesktopTitle> desktopTitle;
    std::string busAddress;
    AudioSource::FrameCallback onFrames;
    mutable std::mutex mutex;
    std::vector<float> ring;
    size_t next = 0; // where the next sample goes
};
