// A desktop media player as the session bus sees it, for scripts that play a file with a
// plain command-line player: announces the file as playing, with its position counted from the
// moment this program starts, until it is terminated.
//
//   fake-mpris-player BUS_ADDRESS NAME FILE
#include "player/mpris/FileUri.h"
#include "tests/support/FakeMprisPlayer.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

namespace {
std::atomic<bool> quit{false};
}

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: fake-mpris-player BUS_ADDRESS NAME FILE\n");
        return 2;
    }
    using clock = std::chrono::steady_clock;
    const auto start = clock::now();
    std::signal(SIGTERM, [](int) { quit = true; });
    std::signal(SIGINT, [](int) { quit = true; });
    testsupport::FakePlayer player(argv[1], argv[2], {"Playing", argv[2], {}});
    if (!player.ok()) {
        std::fprintf(stderr, "fake-mpris-player: cannot reach the bus at %s\n", argv[1]);
        return 1;
    }
    player.setUrl(mpris::uriOfLocalPath(argv[3]));
    while (!quit) {
        auto us = std::chrono::duration_cast<std::chrono::microseconds>(clock::now() - start);
        player.setPosition(us.count());
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return 0;
}
