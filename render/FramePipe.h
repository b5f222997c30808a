// Reads the drawn frames back from GL and hands them, with their sound, to a sink on a
// thread of its own, so a frame is converted and encoded while the next one draws. The read
// goes through pixel buffer objects where the GL has them: a frame's pixels are fetched on the
// next capture (or at finish), after the next frame has been issued. At most kSlots frames
// wait at a time; capture blocks while they are all taken, so memory stays fixed however long
// the ride.
#pragma once

#include "render/FrameSink.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class FramePipe {
  public:
    static constexpr int kSlots = 2;

    // Needs the GL context current on the calling thread, which makes every later call.
    FramePipe(FrameSink& sink, int width, int height);
    ~FramePipe();
    FramePipe(const FramePipe&) = delete;
    FramePipe& operator=(const FramePipe&) = delete;

    // Takes the frame just drawn, with the sound that plays during it. False once the sink
    // has failed (error() says why).
    bool capture(std::vector<float> audio);
    // Hands over the last frame and waits until the sink has taken every frame. False when
    // the sink failed on any of them.
    bool finish();
    // Frames the sink has taken.
    int64_t framesDone() const;
    std::string error() const;

  private:
    struct Job {
        std::vector<uint8_t> pixels;
        std::vector<float> audio;
    };
    struct Pending {
        unsigned buffer = 0;
        std::vector<float> audio;
        bool used = false;
    };

    void fetch(Pending& p);
    void push(Job job);
    void run();

    FrameSink& sink;
    int width;
    int height;
    size_t frameBytes;
    bool usePbo = false;
    Pending pending[2];
    int next = 0;

    mutable std::mutex lock;
    std::condition_variable changed;
    std::deque<Job> queue;
    std::vector<std::vector<uint8_t>> spare;
    int inFlight = 0;
    int64_t done = 0;
    bool stopping = false;
    bool failed = false;
    std::string failure;
    std::thread worker;
};
