#include "player/capture/DesktopListener.h"

namespace {

DesktopCapture::Options captureOptions(const DesktopListener::Options& o) {
    DesktopCapture::Options c;
    c.server = o.server;
    c.retryDelay = o.retryDelay;
    auto status = o.onStatus;
    if (status) {
        c.onStatus = [status](DesktopCapture::State, const std::string& line) { status(line); };
    }
    return c;
}

} // namespace

DesktopListener::DesktopListener(Options options)
    : capture(captureOptions(options)), busAddress(options.busAddress), onFrames(options.onFrames),
      ring(kKept, 0.0f) {}

DesktopListener::~DesktopListener() {
    stop();
}

bool DesktopListener::start() {
    if (!desktopTitle) {
        desktopTitle = std::make_unique<DesktopTitle>(busAddress);
    }
    return capture.start(
        [this](const float* frames, size_t count, int channels) { take(frames, count, channels); });
}

void DesktopListener::stop() {
    capture.stop();
    desktopTitle.reset();
}

void DesktopListener::take(const float* frames, size_t count, int channels) {
    if (onFrames) {
        onFrames(frames, count, channels);
    }
    std::lock_guard<std::mutex> lock(mutex);
    for (size_t i = 0; i < count; ++i) {
        float sum = 0;
        for (int c = 0; c < channels; ++c) {
            sum += frames[i * size_t(channels) + size_t(c)];
        }
        ring[next] = sum / float(channels);
        next = (next + 1) % kKept;
    }
}

void DesktopListener::latest(float out[kKept]) const {
    std::lock_guard<std::mutex> lock(mutex);
    for (size_t i = 0; i < kKept; ++i) {
        out[i] = ring[(next + i) % kKept];
    }
}

bool DesktopListener::playing() const {
    return capture.state() == DesktopCapture::State::Listening && capture.soundArriving();
}

std::string DesktopListener::title() const {
    return desktopTitle ? desktopTitle->title() : DesktopTitle::kFallback;
}

DesktopSong DesktopListener::song() const {
    return desktopTitle ? desktopTitle->song() : DesktopSong{};
}

std::string DesktopListener::statusLine() const {
    return capture.statusLine();
}

DesktopCapture::State DesktopListener::state() const {
    return capture.state();
}
