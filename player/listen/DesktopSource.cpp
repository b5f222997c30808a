#include "player/listen/DesktopSource.h"

DesktopSource::DesktopSource(Options o) {
    DesktopListener::Options options;
    options.server = o.server;
    options.busAddress = o.busAddress;
    options.onStatus = std::move(o.onStatus);
    // What the monitor delivers has been heard already: nothing waits in a device after it.
    options.onFrames = [this](const float* frames, size_t count, int) {
        scaled.assign(frames, frames + count * 2);
        loudness.process(scaled.data(), long(count));
        gain.store(loudness.gainDb());
        audio.write(scaled.data(), long(count), 0, HeardAudio::nowSeconds());
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

std::string DesktopSource::title() const {
    return listener->title();
}

std::string DesktopSource::statusLine() const {
    return running ? listener->statusLine() : std::string();
}
