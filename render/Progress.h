// The progress line on the terminal: a bar, the frames done, the speed as a multiple of real
// time and the time left, redrawn at most four times a second on standard error while it is
// a terminal. The times are the wall clock's, which the render itself never reads.
#pragma once

#include <chrono>
#include <cstdint>

class Progress {
  public:
    // total: frames expected, -1 when unknown; shown: whether to draw at all.
    Progress(int64_t total, int fps, bool shown);
    void update(int64_t done);
    // Clears the line.
    void end();
    // Seconds since construction, and the speed over them for done frames.
    double elapsed() const;
    double speed(int64_t done) const;

  private:
    using Clock = std::chrono::steady_clock;
    int64_t total;
    int fps;
    bool shown;
    bool drawn = false;
    Clock::time_point start;
    Clock::time_point last;
};
