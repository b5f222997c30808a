// Stands in for tcplayer where a test needs a player program to be started: it answers on the
// remote socket in the runtime folder and writes each request it gets, one line each, to the
// file named by TONECREST_FAKE_PLAYER_LOG. It ends after being brought forward, or after ten
// seconds.
#include "player/remote/RemoteServer.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main() {
    const char* logPath = std::getenv("TONECREST_FAKE_PLAYER_LOG");
    RemoteServer server;
    std::string error;
    if (server.listen(remote::defaultSocketPath(), error) != RemoteServer::Result::Listening) {
        std::fprintf(stderr, "fake-tcplayer: %s\n", error.c_str());
        return 1;
    }
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    bool forward = false;
    while (!forward && std::chrono::steady_clock::now() < end) {
        for (const RemoteRequest& r : server.poll(50)) {
            if (logPath) {
                if (FILE* log = std::fopen(logPath, "a")) {
                    std::fputs(remote::format(r).c_str(), log);
                    std::fclose(log);
                }
            }
            forward = forward || r.kind == RemoteRequest::Kind::Foreground;
        }
    }
    return 0;
}
