// Plays one song at a time: a decoding thread fills a ring a second ahead, the sound device's
// thread takes from it, applies the volume and hands each buffer to the device and to the
// HeardAudio the spectrum reads. The device thread never waits: not on the decoder, the
// user interface or a visualization; when the ring runs dry it plays silence.
//
// Commands come from one controlling thread (the player's user interface thread), return at
// once and take effect on the decoding thread; what follows from them (a song started, failed
// or ended) comes back through takeEvents(), which the same thread polls.
#pragma once

#include "player/decode/AudioDecoder.h"
#include "player/decode/CoverCache.h"
#include "player/output/AudioOutput.h"
#include "player/output/FrameRing.h"
#include "player/spectrum/HeardAudio.h"
#include "player/spectrum/LevelFrame.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

struct PlaybackEvent {
    enum Kind { Started, Failed, Ended } kind;
    std::string path;
    std::string reason; // Failed: why, in one line
    AudioInfo info;     // Started: the song's tags and format
    std::string cover;  // Started: the file its cover picture was saved to, "" when none
};

class Playback : private AudioOutput::Source {
  public:
    // Songs' cover pictures are saved into coverFolder (see CoverCache) as they start; none
    // are saved when it is "".
    explicit Playback(HeardAudio& heard, std::string coverFolder = "");
    ~Playback() override;
    Playback(const Playback&) = delete;
    Playback& operator=(const Playback&) = delete;

    // Opens the sound device and starts the decoding thread; false with the reason.
    bool start(std::string& error);

    // Stops what plays and starts path from its beginning, with gainDb of loudness gain.
    void play(const std::string& path, double gainDb);
    void setPaused(bool paused);
    void stop();
    void seek(double seconds);
    // 0..1, applied on the device thread within one buffer.
    void setVolume(double volume);
    // Loudness gain of the current song in dB, faded in over a tenth of a second.
    void setGainDb(double gainDb);
    // The loudness gain in dB of what the listener hears now: the gain is applied as the song
    // is decoded, up to a second before it is heard.
    double heardGainDb() const;

    PlayState state() const { return PlayState(stateNow.load()); }
    // Seconds into the current song of what the listener hears now.
    double position() const;
    double duration() const;
    const std::string& currentPath() const { return current; }
    std::vector<PlaybackEvent> takeEvents();
    const AudioOutput& output() const { return device; }

  private:
    struct Command {
        enum Kind { Play, Seek, Stop, Gain } kind;
        std::string path;
        double value = 0;
    };

    void fill(float* out, long count) override; // device thread
    void decodeLoop();                          // decoding thread
    void send(Command c);
    void runCommand(const Command& c);
    void decodeSome();
    void report(PlaybackEvent e);
    std::string saveCover(const std::string& path);

    HeardAudio& heard;
    AudioOutput device;
    FrameRing ring;
    std::string current; // controlling thread's view of the song

    // Controlling thread <-> decoding thread.
    std::mutex lock;
    std::condition_variable wake;
    std::deque<Command> commands;
    std::vector<PlaybackEvent> events;
    bool quit = false;
    // Where the song (or the seek) began in the ring, and at which second of the song.
    int64_t songStartFrame = 0;
    double songStartSeconds = 0;
    double songDuration = -1;
    // Ring index up to which each gain was applied, oldest first.
    mutable std::deque<std::pair<int64_t, double>> gainMarks;

    // Decoding thread only.
    std::unique_ptr<AudioDecoder> decoder;
    std::string decoderPath;
    CoverCache covers;
    double gain = 1.0, gainTarget = 1.0;
    std::vector<float> chunk;
    std::thread decoding;

    // Shared with the device thread.
    std::atomic<int> stateNow{int(PlayState::Stopped)};
    std::atomic<float> volume{1.0f};
    std::atomic<int64_t> songEndFrame{-1}; // ring index where the song ends, once decoded
    std::atomic<bool> endReported{false};
    std::atomic<bool> idleMarked{true};
    float appliedVolume = 1.0f; // device thread only
};
