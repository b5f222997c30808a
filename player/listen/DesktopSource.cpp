#include "player/listen/DesktopSource.h"

DesktopSource::DesktopSource(Options o) {
    DesktopListener::Options options;
    options.server = o.server;
    options.busAddress = o.busAddress;
    options.onStatus = std::move(o.onStatus);
    options.onFrames = [this](const float* frames, size_t count, int) {
        audio.write(frames, long(count), HeardAudio::nowSeconds(), listener->song());
    };
    listener = std::make_unique<DesktopListener>(std::move(options));
}

DesktopSource::~DesktopSource() {
    stop();
}

bool DesktopSource::start() {
    if (!running) {
        running = listener->start();
    }
    return running;
}

void DesktopSource::stop() {
    listener->stop();
    running = false;
}

PlayState DesktopSource::state() const {
    if (listener->playing()) {
        return PlayState::Playing;
    }
    return running && listener->state() == DesktopCapture::State::Listening ? PlayState::Paused
                                                                            : PlayState::Stopped;
}

uint64_t DesktopSource::song() const {
    return listener->song().number;
}

std::string DesktopSource::title() const {
    return listener->title();
}

std::string DesktopSource::statusLine() const {
    return running ? listener->statusLine() : std::string();
}
