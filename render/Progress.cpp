#include "render/Progress.h"

#include <unistd.h>

#include <cstdio>
#include <string>

Progress::Progress(int64_t t, int f, bool s)
    : total(t), fps(f), shown(s && isatty(2) != 0), start(Clock::now()), last(start) {}

double Progress::elapsed() const {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Progress::speed(int64_t done) const {
    double e = elapsed();
    return e > 0 ? static_cast<double>(done) / fps / e : 0.0;
}

void Progress::update(int64_t done) {
    Clock::time_point now = Clock::now();
    if (!shown || (drawn && now - last < std::chrono::milliseconds(250))) {
        return;
    }
    last = now;
    drawn = true;
    constexpr int kBar = 30;
    double part = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 0.0;
    if (part > 1.0) {
        part = 1.0;
    }
    std::string bar(static_cast<size_t>(part * kBar + 0.5), '#');
    bar.resize(kBar, '-');
    double x = speed(done);
    std::string left = "--:--";
    if (total > 0 && done > 0 && x > 0) {
        long secs = static_cast<long>(static_cast<double>(total - done) / fps / x + 0.5);
        char text[32];
        std::snprintf(text, sizeof text, "%ld:%02ld", secs / 60, secs % 60);
        left = text;
    }
    if (total > 0) {
        std::fprintf(stderr, "\r[%s] %lld/%lld frames  %.2fx real time  %s left  ", bar.c_str(),
                     static_cast<long long>(done), static_cast<long long>(total), x, left.c_str());
    } else {
        std::fprintf(stderr, "\r%lld frames  %.2fx real time  ", static_cast<long long>(done), x);
    }
    std::fflush(stderr);
}

void Progress::end() {
    if (shown && drawn) {
        std::fprintf(stderr, "\r%80s\r", "");
        std::fflush(stderr);
    }
}
