#include "platform/window/Offscreen.h"

#include <atomic>

namespace {

std::atomic<bool> offscreen{false};

} // namespace

void useOffscreenDisplay() {
    offscreen.store(true);
}

bool offscreenDisplay() {
    return offscreen.load();
}
