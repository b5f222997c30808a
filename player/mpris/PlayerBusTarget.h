// The player and its window as the media-player interfaces drive them: the same actions as
// the window's buttons (a transport action ends listening to the desktop, as they do).
#pragma once

#include "player/mpris/MprisTarget.h"

class Player;
class PlayerWindow;
class PlayerRequests;

namespace mpris {

class PlayerBusTarget : public PlayerTarget {
  public:
    PlayerBusTarget(Player& player, PlayerWindow& window, PlayerRequests& requests)
        : player(player), window(window), requests(requests) {}

    PlayerSnapshot snapshot() const override;
    void raise() override;
    void quit() override;
    void playPause() override;
    void play() override;
    void pause() override;
    void stop() override;
    void next() override;
    void previous() override;
    void seekTo(double seconds) override;
    void setVolume(double volume) override;
    void open(const std::string& path) override;

  private:
    Player& player;
    PlayerWindow& window;
    PlayerRequests& requests;
};

} // namespace mpris
