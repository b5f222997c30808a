// The desktop's output as the player's listening source: what the desktop plays reaches the
// player's levels, and so its visualizations, exactly as a playing file's audio does.
//
// Contract:
// - Only the default output's monitor is recorded (see DesktopCapture), never a microphone.
// - What it hears is loudness-normalised for the player's levels (NormalisedAudio), as the
//   player's own songs are: a quiet and a loud desktop song ride alike after a few seconds.
//   The desktop's own sound is left as it is.
// - state() is Playing while sound arrives, Paused while the output is silent, Stopped while
//   there is no server or no output to listen to; title() is the desktop player's title, else
//   "Desktop audio".
// - Every status line (no server, no monitor, listening, lost, reconnected) goes to the
//   onStatus callback given at construction (on the capture's thread) and stays readable
//   through statusLine() until the next one.
// - start() and stop() may be called again and again from the user interface thread.
#pragma once

#include "player/capture/DesktopListener.h"
#include "player/listen/NormalisedAudio.h"
#include "player/ui/Player.h"

#include <functional>
#include <memory>
#include <string>

class DesktopSource : public ListeningSource {
  public:
    struct Options {
        std::string server;     // "" = the usual PulseAudio server (PULSE_SERVER, ...)
        std::string busAddress; // "" = the session bus
        std::function<void(const std::string&)> onStatus;
    };

    explicit DesktopSource(Options options);
    ~DesktopSource() override;
    DesktopSource(const DesktopSource&) = delete;
    DesktopSource& operator=(const DesktopSource&) = delete;

    // False only when listening cannot begin at all; waiting for a server is not a failure.
    bool start();
    void stop();
    bool started() const { return running; }

    const HeardAudio& heard() const override { return audio.heard(); }
    const HeardAudio& heardAsPlayed() const override { return audio.asPlayed(); }
    double gainDb() const override { return audio.gainDb(); }
    uint64_t song() const override;
    bool knownRide(spectrum::SpectrumMapping& ride) const override { return audio.knownRide(ride); }
    PlayState state() const override;
    std::string title() const override;
    int channels() const override { return DesktopCapture::kChannels; }
    int sampleRate() const override { return AudioSource::kRate; }
    std::string statusLine() const override;

  private:
    NormalisedAudio audio;
    std::unique_ptr<DesktopListener> listener;
    bool running = false;
};
