// What the media-player interfaces on the session bus read and drive: the player as the
// desktop's media keys, panels and playerctl see it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mpris {

// One moment of the player, in the units the interfaces use.
struct PlayerSnapshot {
    std::string playbackStatus = "Stopped"; // "Playing", "Paused" or "Stopped"
    uint64_t trackNumber = 0;               // changes whenever a new item starts; 0: none
    std::string title;                      // UTF-8; "" when nothing is loaded
    std::vector<std::string> artists;
    std::string album;
    std::string url;      // file:// URI of the item, "" when none (or listening)
    std::string artUrl;   // the cover's URI, "" when the item has none
    int64_t lengthUs = 0; // 0 when unknown
    int64_t positionUs = 0;
    double volume = 1.0; // 0..1
    bool canGoNext = false;
    bool canGoPrevious = false;
    bool canPlay = false;
    bool canPause = false;
    bool canSeek = false;

    bool operator==(const PlayerSnapshot& o) const;
    bool operator!=(const PlayerSnapshot& o) const { return !(*this == o); }
};

// Called on the thread that serves the bus (the player's window thread).
class PlayerTarget {
  public:
    virtual ~PlayerTarget() = default;
    virtual PlayerSnapshot snapshot() const = 0;
    virtual void raise() = 0;
    virtual void quit() = 0;
    virtual void playPause() = 0;
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void stop() = 0;
    virtual void next() = 0;
    virtual void previous() = 0;
    virtual void seekTo(double seconds) = 0;
    virtual void setVolume(double volume) = 0;
    // A local file (file:// URI or path) to queue and play now.
    virtual void open(const std::string& path) = 0;
};

} // namespace mpris
