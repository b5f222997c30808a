#include "player/ui/Requests.h"

void PlayerRequests::post(PlayerRequest request) {
    std::function<void()> wake;
    {
        std::lock_guard<std::mutex> hold(lock);
        pending.push_back(std::move(request));
        wake = waker;
    }
    if (wake) {
        wake();
    }
}

std::vector<PlayerRequest> PlayerRequests::take() {
    std::lock_guard<std::mutex> hold(lock);
    std::vector<PlayerRequest> out;
    out.swap(pending);
    return out;
}

void PlayerRequests::setWaker(std::function<void()> wake) {
    std::lock_guard<std::mutex> hold(lock);
    waker = std::move(wake);
}
