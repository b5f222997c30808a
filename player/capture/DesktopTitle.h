// The title of what the desktop plays, as its media players announce it on the session bus
// through the standard media-player interface (org.mpris.MediaPlayer2.*).
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace mpris {

// What one player announces.
struct PlayerInfo {
    std::string busName;        // e.g. "org.mpris.MediaPlayer2.vlc"
    std::string playbackStatus; // "Playing", "Paused", "Stopped" or ""
    std::string title;          // xesam:title, or ""
    std::string artist;         // the xesam:artist entries joined by ", ", or ""
};

// Every player on the bus at busAddress ("" = the user's session bus) but tcplayer itself.
// Empty when there is no bus or no player; a player that does not answer within timeout is
// left out.
std::vector<PlayerInfo> listPlayers(const std::string& busAddress,
                                    std::chrono::milliseconds timeout);

// The title to show for the desktop's audio: "Artist - Title" (or "Title") of the first player
// that is playing and names its title; "" when none does.
std::string currentTitle(const std::vector<PlayerInfo>& players);

} // namespace mpris

// Keeps the desktop's current title up to date on a thread of its own.
class DesktopTitle {
  public:
    static constexpr const char* kFallback = "Desktop audio";

    explicit DesktopTitle(std::string busAddress = "",
                          std::chrono::milliseconds interval = std::chrono::milliseconds(2000));
    ~DesktopTitle();
    DesktopTitle(const DesktopTitle&) = delete;
    DesktopTitle& operator=(const DesktopTitle&) = delete;

    // The playing player's title, else kFallback. Never blocks on the bus.
    std::string title() const;
    // How many songs have begun: a playing title other than the last one played. A pause, or
    // the same song played again after a stop, is not a new song. Never blocks on the bus.
    uint64_t songs() const;

  private:
    void run();

    std::string busAddress;
    std::chrono::milliseconds interval;
    mutable std::mutex mutex;
    std::condition_variable wake;
    bool quit = false;
    std::string current;
    std::string lastPlayed; // the last title that was not the fallback
    uint64_t songCount = 0;
    std::thread worker;
};
