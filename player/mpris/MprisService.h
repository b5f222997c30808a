// tcplayer as a media player on the session bus (org.mpris.MediaPlayer2.tcplayer), with the
// root and Player interfaces: the desktop's media keys, its media panels and playerctl read
// and drive it through them.
//
// Contract: everything happens on the thread that calls poll(), which never waits for the
// bus; a bus that goes away only ends the service (poll() then does nothing). Changes of the
// player's state are announced with PropertiesChanged at the next poll(); a jump of the
// position (a seek) with Seeked.
#pragma once

#include "player/mpris/MprisTarget.h"

#include <chrono>
#include <string>

struct DBusConnection;
struct DBusMessage;

namespace mpris {

class MprisService {
  public:
    explicit MprisService(PlayerTarget& target);
    ~MprisService();
    MprisService(const MprisService&) = delete;
    MprisService& operator=(const MprisService&) = delete;

    // Connects to the bus at busAddress ("" = the user's session bus) and takes kOwnBusName,
    // or kOwnBusName + ".instance<pid>" when another program holds it. False with the reason
    // when there is no bus.
    bool start(const std::string& busAddress, std::string& error);
    // Serves the calls that have arrived, then announces what changed.
    void poll();
    bool running() const { return connection != nullptr; }
    const std::string& busName() const { return name; }

    // Handles one call on the player's object; public for the bus's callback.
    void handle(DBusMessage* call);

  private:
    void handleProperties(DBusMessage* call, const char* member);
    void handleRoot(DBusMessage* call, const char* member);
    void handlePlayer(DBusMessage* call, const char* member);
    void announce();
    void reply(DBusMessage* call);
    void replyError(DBusMessage* call, const char* errorName, const std::string& text);
    void close();

    PlayerTarget& target;
    DBusConnection* connection = nullptr;
    std::string name;
    bool announced = false;
    PlayerSnapshot last;
    std::chrono::steady_clock::time_point lastTime;
};

} // namespace mpris
