#include "platform/time/Time.h"

#include <ctime>

namespace {

constexpr LONGLONG nanosPerSecond = 1000000000LL;

LONGLONG monotonicNanos() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<LONGLONG>(ts.tv_sec) * nanosPerSecond + ts.tv_nsec;
}

} // namespace

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    frequency->QuadPart = nanosPerSecond;
    return TRUE;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
    count->QuadPart = monotonicNanos();
    return TRUE;
}

DWORD GetTickCount() {
    return static_cast<DWORD>(monotonicNanos() / 1000000LL);
}

DWORD timeGetTime() {
    return GetTickCount();
}

void Sleep(DWORD milliseconds) {
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(milliseconds / 1000);
    ts.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
    while (nanosleep(&ts, &ts) != 0) {
    }
}
