#include "player/loudness/Loudness.h"

#include "player/decode/AudioDecoder.h"

#include <ebur128.h>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

bool measureLoudness(const std::string& path, LoudnessResult& out, std::string& error,
                     const std::atomic<bool>* cancel) {
    std::unique_ptr<AudioDecoder> decoder = AudioDecoder::open(path, error);
    if (!decoder) {
        return false;
    }
    std::unique_ptr<ebur128_state, void (*)(ebur128_state*)> state(
        ebur128_init(AudioDecoder::kChannels, AudioDecoder::kRate,
                     EBUR128_MODE_I | EBUR128_MODE_SAMPLE_PEAK),
        [](ebur128_state* s) { ebur128_destroy(&s); });
    if (!state) {
        error = path + ": cannot measure its loudness";
        return false;
    }
    std::vector<float> chunk(8192 * AudioDecoder::kChannels);
    for (;;) {
        if (cancel && cancel->load()) {
            error = path + ": measurement cancelled";
            return false;
        }
        long got = decoder->read(chunk.data(), 8192);
        if (got < 0) {
            error = decoder->error();
            return false;
        }
        if (got == 0) {
            break;
        }
        ebur128_add_frames_float(state.get(), chunk.data(), size_t(got));
    }
    double lufs = 0, peak = 0, p = 0;
    ebur128_loudness_global(state.get(), &lufs);
    for (unsigned c = 0; c < AudioDecoder::kChannels; ++c) {
        if (ebur128_sample_peak(state.get(), c, &p) == EBUR128_SUCCESS) {
            peak = std::max(peak, p);
        }
    }
    out.integratedLufs = lufs;
    out.samplePeak = peak;
    return true;
}

double gainForLoudness(const LoudnessResult& r) {
    if (!std::isfinite(r.integratedLufs) || r.samplePeak <= 0) {
        return 0; // silence: nothing to bring up
    }
    double gain = AudioDecoder::kLoudnessTargetLufs - r.integratedLufs;
    gain = std::min(gain, -20.0 * std::log10(r.samplePeak)); // the peak stays below full scale
    return std::clamp(gain, -30.0, 12.0);
}

LoudnessScanner::LoudnessScanner() : worker([this] { run(); }) {}

LoudnessScanner::~LoudnessScanner() {
    {
        std::lock_guard<std::mutex> hold(lock);
        quit.store(true);
    }
    wake.notify_all();
    worker.join();
}

void LoudnessScanner::request(const std::string& path, bool urgent) {
    {
        std::lock_guard<std::mutex> hold(lock);
        if (gains.count(path)) {
            return;
        }
        auto it = std::find(queue.begin(), queue.end(), path);
        if (it != queue.end()) {
            if (!urgent) {
                return;
            }
            queue.erase(it);
        }
        if (urgent) {
            queue.push_front(path);
        } else {
            queue.push_back(path);
        }
    }
    wake.notify_all();
}

bool LoudnessScanner::gainFor(const std::string& path, double& gainDb) const {
    std::lock_guard<std::mutex> hold(lock);
    auto it = gains.find(path);
    if (it == gains.end()) {
        return false;
    }
    gainDb = it->second;
    return true;
}

void LoudnessScanner::waitIdle() {
    std::unique_lock<std::mutex> hold(lock);
    idle.wait(hold, [this] { return queue.empty() && !busy; });
}

void LoudnessScanner::run() {
    // Measuring is background work: the music and the game come first.
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 19);
    std::unique_lock<std::mutex> hold(lock);
    while (!quit.load()) {
        if (queue.empty()) {
            busy = false;
            idle.notify_all();
            wake.wait(hold);
            continue;
        }
        std::string path = queue.front();
        queue.pop_front();
        busy = true;
        hold.unlock();
        LoudnessResult r;
        std::string error;
        double gain = 0;
        std::unique_ptr<AudioDecoder> tags = AudioDecoder::open(path, error);
        if (tags && tags->info().hasTagGain) {
            gain = std::clamp(tags->info().tagGainDb, -30.0, 12.0); // no need to measure
        } else if (tags && measureLoudness(path, r, error, &quit)) {
            gain = gainForLoudness(r);
        }
        hold.lock();
        gains[path] = gain;
    }
    busy = false;
    idle.notify_all();
}
