#include "player/loudness/Loudness.h"

#include "player/decode/AudioDecoder.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

bool scanSong(const std::string& path, double maxSeconds, SongScan& out,
              spectrum::RideProfile* profile, const std::atomic<bool>* cancel,
              std::vector<float>* momentary) {
    out = SongScan{};
    if (momentary) {
        momentary->clear();
    }
    std::unique_ptr<AudioDecoder> decoder = AudioDecoder::open(path, out.error);
    if (!decoder) {
        return false;
    }
    LoudnessMeter meter(LoudnessMeter::Mode::Whole);
    if (!meter.ok()) {
        out.error = path + ": cannot measure its loudness";
        return false;
    }
    if (profile) {
        profile->setSourceRate(decoder->info().sourceRate);
    }
    const long limit = maxSeconds > 0 ? long(maxSeconds * AudioDecoder::kRate) : -1;
    long done = 0;
    std::vector<float> chunk(8192 * AudioDecoder::kChannels);
    for (;;) {
        if (cancel && cancel->load()) {
            out.error = path + ": scan cancelled";
            break;
        }
        long want = limit < 0 ? 8192 : std::min<long>(8192, limit - done);
        if (want <= 0) {
            break;
        }
        long got = decoder->read(chunk.data(), want);
        if (got < 0) {
            out.error = decoder->error();
            break;
        }
        if (momentary) {
            meter.addInHops(chunk.data(), got, [&](double lufs, long) {
                momentary->push_back(float(std::max(lufs, -200.0)));
            });
        } else {
            meter.add(chunk.data(), got);
        }
        if (got > 0) {
            if (profile) {
                profile->add(chunk.data(), got);
            }
            done += got;
        }
        if (got < want) {
            out.complete = true;
            break;
        }
    }
    out.seconds = double(done) / AudioDecoder::kRate;
    if (!out.complete && done < AudioDecoder::kRate) {
        return false; // not a second of it: nothing worth measuring
    }
    out.loudness.integratedLufs = meter.integratedLufs();
    out.loudness.samplePeak = meter.samplePeak();
    return true;
}

namespace {
// The levels one scan gives; tags name the gain where the file has them. False (levels
// left at their defaults) when nothing could be decoded.
bool levelsOf(const std::string& path, double maxSeconds, const std::atomic<bool>* cancel,
              SongLevels& levels, std::vector<float>* momentary = nullptr) {
    levels = SongLevels{};
    SongScan scan;
    spectrum::RideProfile profile;
    if (!scanSong(path, maxSeconds, scan, &profile, cancel, momentary)) {
        return false;
    }
    std::string error;
    std::unique_ptr<AudioDecoder> tags = AudioDecoder::open(path, error);
    levels.gainDb = tags && tags->info().hasTagGain
                        ? std::clamp(tags->info().tagGainDb, -30.0, 12.0)
                        : gainForLoudness(scan.loudness);
    if (scan.complete) {
        levels.ride = spectrum::calibrate(profile);
    } else {
        spectrum::SpectrumMapping prior = spectrum::defaultRideMapping().forGain(-levels.gainDb);
        levels.ride = spectrum::calibrate(profile, &prior);
    }
    levels.wholeSong = scan.complete;
    return true;
}
} // namespace

bool openingLevels(const std::string& path, SongLevels& out) {
    return levelsOf(path, kOpeningSeconds, nullptr, out);
}

bool wholeSongLevels(const std::string& path, SongLevels& out, std::vector<float>* momentary,
                     const std::atomic<bool>* cancel) {
    return levelsOf(path, 0, cancel, out, momentary);
}

void lowerThreadPriority() {
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 19);
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
        if (results.count(path)) {
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
    SongLevels levels;
    if (!levelsFor(path, levels)) {
        return false;
    }
    gainDb = levels.gainDb;
    return true;
}

bool LoudnessScanner::levelsFor(const std::string& path, SongLevels& out) const {
    std::lock_guard<std::mutex> hold(lock);
    auto it = results.find(path);
    if (it == results.end()) {
        return false;
    }
    out = it->second;
    return true;
}

void LoudnessScanner::waitIdle() {
    std::unique_lock<std::mutex> hold(lock);
    idle.wait(hold, [this] { return queue.empty() && !busy; });
}

void LoudnessScanner::run() {
    lowerThreadPriority();
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
        SongLevels levels;
        levelsOf(path, 0, &quit, levels);
        hold.lock();
        results[path] = levels;
    }
    busy = false;
    idle.notify_all();
}
