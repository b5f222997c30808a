// Polls a condition until it holds or a time limit passes.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace testsupport {

// True as soon as done() holds; false if it still does not after limit.
inline bool waitFor(const std::function<bool()>& done,
                    std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return done();
}

} // namespace testsupport
