// Polls a remote-control server on a thread of its own, as tcplayer's UI loop does, and keeps
// the requests it received.
#pragma once

#include "player/remote/RemoteServer.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace testsupport {

class RemotePump {
  public:
    explicit RemotePump(RemoteServer& s) : server(s), worker([this] { run(); }) {}
    ~RemotePump() { stop(); }
    RemotePump(const RemotePump&) = delete;
    RemotePump& operator=(const RemotePump&) = delete;

    void stop() {
        quit = true;
        if (worker.joinable()) {
            worker.join();
        }
    }
    std::vector<RemoteRequest> requests() {
        std::lock_guard<std::mutex> lock(mutex);
        return got;
    }
    // The requests once at least count have come (the answer goes out before the UI loop
    // sees the request), or after two seconds whatever there is.
    std::vector<RemoteRequest> requests(size_t count) {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (requests().size() < count && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return requests();
    }

  private:
    void run() {
        while (!quit) {
            for (auto& r : server.poll(10)) {
                std::lock_guard<std::mutex> lock(mutex);
                got.push_back(r);
            }
        }
    }
    RemoteServer& server;
    std::mutex mutex;
    std::vector<RemoteRequest> got;
    std::atomic<bool> quit{false};
    std::thread worker;
};

} // namespace testsupport
