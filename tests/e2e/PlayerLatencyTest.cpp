// The picture in time with the sound, measured as a listener would: tcplayer plays noise
// bursts after silence into a sound server's null sink, the sink's monitor is recorded beside
// the music block the plug-in writes, and each burst's onset in the block is compared with its
// onset on the output. The block should change within 20 ms of the sound (median), and never
// more than 35 ms after it.
#include "tests/e2e/Desktop.h"
#include "tests/e2e/PlayerSetup.h"
#include "tests/support/PulseServer.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>
#include <pulse/simple.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

namespace {

#ifdef __SANITIZE_ADDRESS__
// The sanitizers slow the player several times over: there the latest frame is bounded
// loosely, the median as always.
constexpr double kLatestMs = 80.0;
#else
constexpr double kLatestMs = 35.0;
#endif

constexpr double kBurst = 0.3, kAmplitude = 0.3;

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Times at which the sink's output turns from silence to sound, from its monitor.
class MonitorOnsets {
  public:
    MonitorOnsets(const std::string& server, const std::string& monitor) {
        pa_sample_spec format{PA_SAMPLE_FLOAT32NE, 44100, 1};
        pa_buffer_attr attr{};
        attr.maxlength = uint32_t(-1);
        attr.fragsize = kChunk * sizeof(float);
        int err = 0;
        stream = pa_simple_new(server.c_str(), "latency", PA_STREAM_RECORD, monitor.c_str(),
                               "onsets", &format, nullptr, &attr, &err);
        if (stream) {
            worker = std::thread([this] { run(); });
        }
    }
    ~MonitorOnsets() {
        quit = true;
        if (worker.joinable()) {
            worker.join();
        }
        if (stream) {
            pa_simple_free(stream);
        }
    }
    bool ok() const { return stream != nullptr; }
    std::vector<double> onsets() {
        std::lock_guard<std::mutex> hold(lock);
        return found;
    }

  private:
    static constexpr size_t kChunk = 128; // frames per read: 3 ms
    void run() {
        float chunk[kChunk];
        long quietFrames = 0;
        int err = 0;
        while (!quit && pa_simple_read(stream, chunk, sizeof chunk, &err) == 0) {
            double arrived = now();
            for (size_t i = 0; i < kChunk; ++i) {
                if (std::fabs(chunk[i]) < 0.02f) {
                    ++quietFrames;
                    continue;
                }
                if (quietFrames > 44100 / 3) {
                    // The chunk's last frame left the sink as it arrived.
                    std::lock_guard<std::mutex> hold(lock);
                    found.push_back(arrived - double(kChunk - i) / 44100);
                }
                quietFrames = 0;
            }
        }
    }
    pa_simple* stream = nullptr;
    std::thread worker;
    std::atomic<bool> quit{false};
    std::mutex lock;
    std::vector<double> found;
};

// The block's mean level a thousand times a second, with the time of each reading.
class BlockOnsets {
  public:
    explicit BlockOnsets(e2e::BlockWatch& b) : block(b), worker([this] { run(); }) {}
    ~BlockOnsets() {
        quit = true;
        worker.join();
    }
    // Times at which the level rose through half of its usual height during a burst, after
    // at least 0.3 s below it.
    std::vector<double> onsets() {
        std::lock_guard<std::mutex> hold(lock);
        std::vector<double> levels;
        for (auto& r : readings) {
            levels.push_back(r.second);
        }
        std::sort(levels.begin(), levels.end());
        double high = levels.empty() ? 0 : levels[levels.size() * 95 / 100];
        double low = levels.empty() ? 0 : levels[levels.size() / 5];
        double half = 0.5 * (low + high);
        std::vector<double> out;
        double lastHigh = -1e9;
        for (auto& r : readings) {
            if (r.second > half) {
                if (r.first - lastHigh > 0.3) {
                    out.push_back(r.first);
                }
                lastHigh = r.first;
            }
        }
        return out;
    }

  private:
    void run() {
        while (!quit) {
            if (block.read()) {
                double t = now();
                std::lock_guard<std::mutex> hold(lock);
                readings.emplace_back(t, double(block.sum()) / 2048.0);
            }
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    }
    e2e::BlockWatch& block;
    std::atomic<bool> quit{false};
    std::mutex lock;
    std::vector<std::pair<double, double>> readings;
    std::thread worker;
};

TEST(PlayerLatencyE2e, TheBlockChangesWithTheSoundOnTheOutput) {
    testsupport::ScratchDir scratch;
    auto env = e2e::playerEnvironment(scratch, "tclatency");
    std::filesystem::create_symlink(std::string(TC_DIST_DIR) + "/TCwavetap2.so",
                                    scratch.file("TCwavetap2.so"));
    e2e::registerLibrary(scratch.path(), "TCwavetap2.so", env);
    std::filesystem::create_directories(scratch.file("pulse"));
    testsupport::PulseServer server(scratch.file("pulse"),
                                    {"module-null-sink sink_name=speakers norewinds=1"});
    std::string error;
    ASSERT_TRUE(server.start(error)) << error;
    server.pactl("set-default-sink speakers");
    env["PULSE_SERVER"] = server.address();
    env["SDL_AUDIODRIVER"] = "pulseaudio";

    // Bursts of noise, each after 0.5 to 0.9 s of silence, so that they fall at every phase
    // of the player's frames.
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> noise(-kAmplitude, kAmplitude);
    std::vector<double> starts;
    for (double t = 0.6; t < 14; t += kBurst + 0.5 + 0.4 * double(rng() % 1000) / 1000) {
        starts.push_back(t);
    }
    const std::string song = scratch.file("bursts.flac");
    ASSERT_EQ(testsupport::encodeAudio(song, {"flac", "flac", 44100, 2, 14.0, "Bursts"},
                                       [&](int, double t) {
                                           auto next =
                                               std::upper_bound(starts.begin(), starts.end(), t);
                                           bool on =
                                               next != starts.begin() && t - *(next - 1) < kBurst;
                                           return on ? noise(rng) : 0.0f;
                                       }),
              "");

    MonitorOnsets monitor(server.address(), "speakers.monitor");
    ASSERT_TRUE(monitor.ok());
    e2e::BlockWatch watch(env);
    std::unique_ptr<BlockOnsets> block;
    e2e::Program player(std::string(TC_DIST_DIR) + "/tcplayer", {song}, scratch.path(), env);
    ASSERT_TRUE(watch.waitUntil(15000, [&] { return watch.titleText() == "Bursts"; }))
        << testsupport::readFile(scratch.file("stdout.txt"));
    block = std::make_unique<BlockOnsets>(watch);
    std::this_thread::sleep_for(std::chrono::milliseconds(13000));
    std::vector<double> heard = monitor.onsets(), seen = block->onsets();
    block.reset();
    std::string window = e2e::waitForWindow("^tcplayer$", 2000);
    if (!window.empty()) {
        e2e::requestClose(window);
    }
    player.waitExit(10000);

    // Each onset on the output against the block's first onset near it.
    std::vector<double> lags;
    for (double h : heard) {
        for (double s : seen) {
            if (std::fabs(s - h) < 0.3) {
                lags.push_back((s - h) * 1000);
                break;
            }
        }
    }
    std::string all;
    for (double l : lags) {
        all += std::to_string(int(std::lround(l))) + " ";
    }
    std::printf("picture against sound, ms: %s\n", all.c_str());
    ASSERT_GE(lags.size(), 8u) << heard.size() << " onsets heard, " << seen.size() << " seen";
    std::vector<double> sorted = lags;
    std::sort(sorted.begin(), sorted.end());
    double median = sorted[sorted.size() / 2];
    std::printf("median %.1f ms, latest %.1f ms, earliest %.1f ms\n", median, sorted.back(),
                sorted.front());
    EXPECT_LE(std::fabs(median), 20.0);
    EXPECT_LE(sorted.back(), kLatestMs);
}

} // namespace
