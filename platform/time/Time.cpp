#include "platform/time/Time.h"

#include <atomic>
#include <ctime>

namespace {

constexpr LONGLONG nanosPerSecond = 1000000000LL;

// Counts per second of the virtual clock; 0 while the real clocks serve.
std::atomic<LONGLONG> virtualFrequency{0};
std::atomic<LONGLONG> virtualCount{0};

LONGLONG monotonicNanos() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<LONGLONG>(ts.tv_sec) * nanosPerSecond + ts.tv_nsec;
}

// Milliseconds on whichever clock serves.
LONGLONG clockMillis() {
    LONGLONG frequency = virtualFrequency.load(std::memory_order_acquire);
    if (frequency != 0) {
        return virtualCount.load(std::memory_order_acquire) * 1000 / frequency;
    }
    return monotonicNanos() / 1000000LL;
}

} // namespace

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    LONGLONG v = virtualFrequency.load(std::memory_order_acquire);
    frequency->QuadPart = v != 0 ? v : nanosPerSecond;
    return TRUE;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
    count->QuadPart = virtualFrequency.load(std::memory_order_acquire) != 0
                          ? virtualCount.load(std::memory_order_acquire)
                          : monotonicNanos();
    return TRUE;
}

DWORD GetTickCount() {
    return static_cast<DWORD>(clockMillis());
}

DWORD timeGetTime() {
    return GetTickCount();
}

void Sleep(DWORD milliseconds) {
    LONGLONG frequency = virtualFrequency.load(std::memory_order_acquire);
    if (frequency != 0) {
        advanceVirtualClock(static_cast<LONGLONG>(milliseconds) * frequency / 1000);
        return;
    }
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(milliseconds / 1000);
    ts.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
    while (nanosleep(&ts, &ts) != 0) {
    }
}

void useVirtualClock(LONGLONG countsPerSecond) {
    if (countsPerSecond < 1000) {
        countsPerSecond = 1000;
    }
    virtualCount.store(countsPerSecond, std::memory_order_release);
    virtualFrequency.store(countsPerSecond, std::memory_order_release);
}

void advanceVirtualClock(LONGLONG counts) {
    virtualCount.fetch_add(counts, std::memory_order_acq_rel);
}
