#include "player/spectrum/HeardAudio.h"

#include <algorithm>
#include <chrono>
#include <cstring>

HeardAudio::HeardAudio() : ring(size_t(kCapacity) * 2, 0.0f) {}

double HeardAudio::nowSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void HeardAudio::write(const float* frames, long count, long delayFrames, double now) {
    int64_t at = total.load(std::memory_order_relaxed);
    for (long done = 0; done < count;) {
        long slot = long(at % kCapacity);
        long n = std::min(count - done, kCapacity - slot);
        std::memcpy(&ring[size_t(slot) * 2], frames + done * 2, size_t(n) * 2 * sizeof(float));
        done += n;
        at += n;
    }
    total.store(at, std::memory_order_release);
    seq.fetch_add(1, std::memory_order_acq_rel);
    stampTotal.store(at, std::memory_order_relaxed);
    stampDelay.store(delayFrames, std::memory_order_relaxed);
    stampAt.store(now, std::memory_order_relaxed);
    seq.fetch_add(1, std::memory_order_release);
}

void HeardAudio::markIdle(double now) {
    // The device plays out what it holds: the heard position still reaches the last frame.
    Stamp s = stamp();
    int64_t heard = std::min(s.total, s.total - s.delay + int64_t((now - s.at) * kRate));
    seq.fetch_add(1, std::memory_order_acq_rel);
    stampDelay.store(s.total - std::max(heard, s.total - s.delay), std::memory_order_relaxed);
    stampAt.store(now, std::memory_order_relaxed);
    seq.fetch_add(1, std::memory_order_release);
}

HeardAudio::Stamp HeardAudio::stamp() const {
    for (;;) {
        uint32_t before = seq.load(std::memory_order_acquire);
        Stamp s{stampTotal.load(std::memory_order_relaxed),
                stampDelay.load(std::memory_order_relaxed),
                stampAt.load(std::memory_order_relaxed)};
        std::atomic_thread_fence(std::memory_order_acquire);
        if ((before & 1) == 0 && seq.load(std::memory_order_relaxed) == before) {
            return s;
        }
    }
}

int64_t HeardAudio::heardFrame(double now) const {
    Stamp s = stamp();
    int64_t since = int64_t(std::max(0.0, now - s.at) * kRate);
    int64_t heard = s.total - s.delay + since;
    return std::max<int64_t>(0, std::min(heard, s.total));
}

int64_t HeardAudio::heardWindow(double now, float* out, long count, long ahead) const {
    count = std::min(count, kCapacity / 2);
    for (;;) {
        int64_t heard = heardFrame(now);
        int64_t end = std::min(heard + ahead, total.load(std::memory_order_acquire));
        int64_t first = end - count;
        for (long i = 0; i < count;) {
            int64_t f = first + i;
            if (f < 0) {
                out[2 * i] = out[2 * i + 1] = 0.0f;
                ++i;
                continue;
            }
            long slot = long(f % kCapacity);
            long n = std::min(count - i, kCapacity - slot);
            std::memcpy(out + 2 * i, &ring[size_t(slot) * 2], size_t(n) * 2 * sizeof(float));
            i += n;
        }
        // Valid unless the writer has gone round the ring onto the copied frames meanwhile.
        if (total.load(std::memory_order_acquire) - first <= kCapacity) {
            return heard;
        }
    }
}
