// The running player's remote control on a thread of its own, for a player whose interface
// thread should not poll: it listens on the socket and hands each request to a callback (on
// its thread), until destroyed.
//
// Start-up of a single-instance player:
//   if (remote::handOver(path, files, timeout)) -> another player took the files: exit.
//   else RemoteListener::start(path, ...) -> Listening: this is the player;
//        AlreadyRunning: another player holds the socket but did not answer: exit with a message.
#pragma once

#include "player/remote/RemoteServer.h"

#include <atomic>
#include <functional>
#include <thread>

class RemoteListener {
  public:
    using Handler = std::function<void(const RemoteRequest&)>;

    RemoteListener() = default;
    ~RemoteListener() { stop(); }
    RemoteListener(const RemoteListener&) = delete;
    RemoteListener& operator=(const RemoteListener&) = delete;

    RemoteServer::Result start(const std::string& path, Handler handler, std::string& error);
    // Stops listening and removes the socket; no handler call runs after it returns.
    void stop();
    bool listening() const { return server.listening(); }

  private:
    RemoteServer server;
    Handler handler;
    std::atomic<bool> quit{false};
    std::thread worker;
};
