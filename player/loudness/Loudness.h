// Loudness normalisation: how much to raise or lower each song so every song plays at the
// same loudness (AudioDecoder::kLoudnessTargetLufs, the ReplayGain 2 reference level).
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>

struct LoudnessResult {
    double integratedLufs = 0; // EBU R128 integrated loudness
    double samplePeak = 0;     // largest absolute sample, 1 = full scale
};

// Decodes the whole file as fast as it can and measures it; false with the reason in error
// (also when cancel becomes true midway).
bool measureLoudness(const std::string& path, LoudnessResult& out, std::string& error,
                     const std::atomic<bool>* cancel = nullptr);

// The gain in dB that brings a measured song to the target, lowered where needed so that its
// peak does not clip, and kept within -30..+12 dB. Silence gets 0.
double gainForLoudness(const LoudnessResult& r);

// Measures songs one after another on a background thread of the lowest priority, ahead of
// their turn, and keeps the results. All members may be called from any thread.
class LoudnessScanner {
  public:
    LoudnessScanner();
    ~LoudnessScanner();
    LoudnessScanner(const LoudnessScanner&) = delete;
    LoudnessScanner& operator=(const LoudnessScanner&) = delete;

    // Queues path unless it is measured or queued already; urgent puts it first.
    void request(const std::string& path, bool urgent = false);
    // True with the gain once path has been measured (0 dB for a file that could not be).
    bool gainFor(const std::string& path, double& gainDb) const;
    // Blocks until the queue is empty (tests and the benchmark).
    void waitIdle();

  private:
    void run();

    mutable std::mutex lock;
    std::condition_variable wake, idle;
    std::deque<std::string> queue;
    std::map<std::string, double> gains;
    bool busy = false;
    std::atomic<bool> quit{false};
    std::thread worker;
};
