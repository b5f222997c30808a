#include "player/output/FrameRing.h"

#include <algorithm>
#include <cstring>

FrameRing::FrameRing(long capacityFrames)
    : data(size_t(capacityFrames) * 2, 0.0f), capacity(capacityFrames) {}

long FrameRing::space() const {
    return capacity -
           long(writeAt.load(std::memory_order_relaxed) - readAt.load(std::memory_order_acquire));
}

long FrameRing::available() const {
    int64_t r = std::max(readAt.load(std::memory_order_relaxed),
                         dropBefore.load(std::memory_order_acquire));
    return long(std::max<int64_t>(0, writeAt.load(std::memory_order_acquire) - r));
}

long FrameRing::push(const float* frames, long count) {
    count = std::min(count, space());
    int64_t at = writeAt.load(std::memory_order_relaxed);
    for (long done = 0; done < count;) {
        long slot = long(at % capacity);
        long n = std::min(count - done, capacity - slot);
        std::memcpy(&data[size_t(slot) * 2], frames + done * 2, size_t(n) * 2 * sizeof(float));
        done += n;
        at += n;
    }
    writeAt.store(at, std::memory_order_release);
    return count;
}

long FrameRing::pop(float* out, long count) {
    int64_t at = readAt.load(std::memory_order_relaxed);
    int64_t drop = dropBefore.load(std::memory_order_acquire);
    if (at < drop) {
        at = drop;
    }
    int64_t end = writeAt.load(std::memory_order_acquire);
    count = long(std::min<int64_t>(count, end - at));
    for (long done = 0; done < count;) {
        long slot = long(at % capacity);
        long n = std::min(count - done, capacity - slot);
        std::memcpy(out + done * 2, &data[size_t(slot) * 2], size_t(n) * 2 * sizeof(float));
        done += n;
        at += n;
    }
    readAt.store(at, std::memory_order_release);
    return std::max(count, 0L);
}
