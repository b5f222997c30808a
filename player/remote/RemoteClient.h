// The other end of the remote control: NowPane's player control and a second tcplayer use it
// to reach the running tcplayer.
//
// Contract: every call gives up after its timeout; a player that is gone, or goes away in the
// middle of a request, makes the call return false (never a signal, never a hang).
#pragma once

#include "player/remote/RemoteProtocol.h"

#include <chrono>
#include <string>

class RemoteClient {
  public:
    RemoteClient() = default;
    ~RemoteClient();
    RemoteClient(const RemoteClient&) = delete;
    RemoteClient& operator=(const RemoteClient&) = delete;

    // Connects to the player listening at path; false when none does.
    bool connect(const std::string& path);
    bool connected() const { return fd >= 0; }
    void disconnect();

    // Sends the request and waits for its answer. True on "OK"; false on "ERR ...", on a lost
    // connection or on timeout (the answer line, if any, goes to answer).
    bool request(const RemoteRequest& r, std::chrono::milliseconds timeout,
                 std::string* answer = nullptr);

    // Connects, asks, disconnects.
    static bool ask(const std::string& path, const RemoteRequest& r,
                    std::chrono::milliseconds timeout);

  private:
    int fd = -1;
    std::string pending;
};

namespace remote {

// Hands files to an already running player and brings it forward: true when one took them
// (the caller, a second instance, then exits).
bool handOver(const std::string& path, const std::vector<std::string>& files,
              std::chrono::milliseconds timeout);

} // namespace remote
