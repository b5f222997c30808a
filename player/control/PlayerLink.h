// The player control's line to the running tcplayer: the remote socket, with tcplayer started
// when nobody answers there.
#pragma once

#include "player/remote/RemoteClient.h"

#include <chrono>
#include <string>

class PlayerLink {
  public:
    // socketPath "" = remote::defaultSocketPath(); program "" = playerProgram().
    PlayerLink(std::string socketPath = "", std::string program = "");

    // Connects to the running player; when none answers, starts program and waits up to
    // `wait` for it to answer. False when no player can be reached.
    bool reach(std::chrono::milliseconds wait);
    bool reached() const { return client.connected(); }

    // Asks the player; reconnects once when the connection broke (a restarted player).
    bool ask(const RemoteRequest& request);

    // The player program to start: $TONECREST_PLAYER (tests, a different install), else
    // "tcplayer" beside the library or program that holds this code.
    static std::string playerProgram();

  private:
    bool connect();

    std::string socketPath;
    std::string program;
    RemoteClient client;
};
