// A fixed ring of stereo float frames between one producer thread and one consumer thread,
// without locks: neither side ever waits for the other. Frame indices count from 0 for ever;
// the consumer can skip everything before an index the producer names (a flush for a seek or
// a new song) without the producer touching the read side.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

class FrameRing {
  public:
    explicit FrameRing(long capacityFrames);

    // Producer: frames that fit now; push copies at most that many and returns the count.
    long space() const;
    long push(const float* frames, long count);
    int64_t writeIndex() const { return writeAt.load(std::memory_order_acquire); }
    // Producer: the consumer drops every frame before the current write index.
    void flush() { dropBefore.store(writeIndex(), std::memory_order_release); }

    // Consumer: copies up to count frames, after applying any flush; returns the count.
    long pop(float* out, long count);
    int64_t readIndex() const { return readAt.load(std::memory_order_acquire); }
    long available() const;

  private:
    std::vector<float> data;
    long capacity;
    std::atomic<int64_t> writeAt{0};
    std::atomic<int64_t> readAt{0};
    std::atomic<int64_t> dropBefore{0};
};
