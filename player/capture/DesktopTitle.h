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
    std::string url;            // xesam:url, or ""
    int64_t positionUs = -1;    // Position, or -1 when the player does not give it
    double answeredAt = 0;      // when its answer came (steady clock seconds)
};

// Every player on the bus at busAddress ("" = the user's session bus) but tcplayer itself.
// Empty when there is no bus or no player; a player that does not answer within timeout is
// left out.
std::vector<PlayerInfo> listPlayers(const std::string& busAddress,
                                    std::chrono::milliseconds timeout);

// The first player that is playing and names its title; null when none does.
const PlayerInfo* currentPlayer(const std::vector<PlayerInfo>& players);
// The title to show for the desktop's audio: "Artist - Title" (or "Title") of player p (the
// current player); "" when there is none.
std::string titleOf(const PlayerInfo* p);

} // namespace mpris

// What the desktop's players tell of the song that plays.
struct DesktopSong {
    uint64_t number = 0;  // how many songs have begun (see DesktopTitle::song)
    std::string path;     // the local file the playing player names, "" when it names none
    double position = -1; // seconds into that file at `at`, -1 when the player does not say
    double at = 0;        // when it was asked (steady clock seconds, as HeardAudio::nowSeconds)

    // Seconds into the file at time now (steady clock), -1 when not known; a playing song
    // moves on from where its player last said.
    double positionAt(double now) const { return position < 0 ? -1 : position + (now - at); }
};

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
    // The song that plays. Its number counts the songs that have begun: a playing title other
    // than the last one played. A pause, or the same song played again after a stop, is not a
    // new song. The path and position are the playing player's; both are cleared while
    // nothing plays. Never blocks on the bus.
    DesktopSong song() const;

  private:
    void run();

    std::string busAddress;
    std::chrono::milliseconds interval;
    mutable std::mutex mutex;
    std::condition_variable wake;
    bool quit = false;
    std::string current;
    std::string lastPlayed; // the last title that was not the fallback
    DesktopSong playing;
    std::thread worker;
};
