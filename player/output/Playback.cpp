#include "player/output/Playback.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace {
constexpr long kRingFrames = AudioOutput::kRate;  // one second ahead at most
constexpr long kChunkFrames = 4096;               // decoded per step
constexpr long kRefillBelow = kRingFrames - 8192; // the decoder sleeps until this much is left
constexpr long kGainRampFrames = AudioOutput::kRate / 10;

double dbToFactor(double db) {
    return std::pow(10.0, db / 20.0);
}
} // namespace

Playback::Playback(HeardAudio& h, std::string coverFolder)
    : heard(h), ring(kRingFrames), covers(std::move(coverFolder)), chunk(size_t(kChunkFrames) * 2) {
}

Playback::~Playback() {
    device.close(); // no more device callbacks from here on
    {
        std::lock_guard<std::mutex> hold(lock);
        quit = true;
    }
    wake.notify_all();
    if (decoding.joinable()) {
        decoding.join();
    }
}

bool Playback::start(std::string& error) {
    if (!device.open(*this, error)) {
        return false;
    }
    decoding = std::thread([this] { decodeLoop(); });
    return true;
}

void Playback::send(Command c) {
    {
        std::lock_guard<std::mutex> hold(lock);
        commands.push_back(std::move(c));
    }
    wake.notify_all();
}

void Playback::play(const std::string& path, double gainDb) {
    current = path;
    send({Command::Play, path, gainDb});
}

void Playback::setPaused(bool paused) {
    int s = stateNow.load();
    if (paused && s == int(PlayState::Playing)) {
        stateNow.store(int(PlayState::Paused));
    } else if (!paused && s == int(PlayState::Paused)) {
        stateNow.store(int(PlayState::Playing));
    }
}

void Playback::stop() {
    stateNow.store(int(PlayState::Stopped));
    current.clear();
    send({Command::Stop, "", 0});
}

void Playback::seek(double seconds) {
    send({Command::Seek, "", seconds});
}

void Playback::setVolume(double v) {
    volume.store(float(std::clamp(v, 0.0, 1.0)));
}

void Playback::setGainDb(double gainDb) {
    send({Command::Gain, "", gainDb});
}

double Playback::position() const {
    std::lock_guard<std::mutex> hold(const_cast<std::mutex&>(lock));
    int64_t heardAt = ring.readIndex() - device.delayFrames();
    double into = double(std::max<int64_t>(0, heardAt - songStartFrame)) / AudioOutput::kRate;
    double p = songStartSeconds + into;
    return songDuration > 0 ? std::min(p, songDuration) : p;
}

double Playback::heardGainDb() const {
    std::lock_guard<std::mutex> hold(const_cast<std::mutex&>(lock));
    int64_t heardAt = ring.readIndex() - device.delayFrames();
    while (gainMarks.size() > 1 && gainMarks.front().first < heardAt) {
        gainMarks.pop_front();
    }
    return gainMarks.empty() ? 0.0 : gainMarks.front().second;
}

double Playback::duration() const {
    std::lock_guard<std::mutex> hold(const_cast<std::mutex&>(lock));
    return songDuration;
}

void Playback::report(PlaybackEvent e) {
    std::lock_guard<std::mutex> hold(lock);
    events.push_back(std::move(e));
}

std::vector<PlaybackEvent> Playback::takeEvents() {
    std::vector<PlaybackEvent> out;
    {
        std::lock_guard<std::mutex> hold(lock);
        out.swap(events);
    }
    int64_t end = songEndFrame.load();
    if (end >= 0 && !endReported.load() && ring.readIndex() >= end &&
        stateNow.load() == int(PlayState::Playing) && out.empty()) {
        endReported.store(true);
        stateNow.store(int(PlayState::Stopped));
        out.push_back({PlaybackEvent::Ended, current, "", {}, ""});
    }
    for (const PlaybackEvent& e : out) {
        if (e.kind == PlaybackEvent::Failed && e.path == current) {
            stateNow.store(int(PlayState::Stopped));
        }
    }
    return out;
}

// Device thread: never locks, never allocates.
void Playback::fill(float* out, long count) {
    int s = stateNow.load(std::memory_order_relaxed);
    if (s != int(PlayState::Playing)) {
        std::fill(out, out + count * 2, 0.0f);
        if (!idleMarked.exchange(true)) {
            heard.markIdle(HeardAudio::nowSeconds());
        }
        return;
    }
    idleMarked.store(false);
    long got = ring.pop(out, count);
    std::fill(out + got * 2, out + count * 2, 0.0f);
    heard.write(out, count, device.delayFrames(), HeardAudio::nowSeconds());
    // The volume moves to its new value across this buffer, so a change never clicks.
    float target = volume.load(std::memory_order_relaxed);
    float v = appliedVolume, step = (target - v) / float(count);
    for (long i = 0; i < count; ++i, v += step) {
        out[2 * i] = std::clamp(out[2 * i] * v, -1.0f, 1.0f);
        out[2 * i + 1] = std::clamp(out[2 * i + 1] * v, -1.0f, 1.0f);
    }
    appliedVolume = target;
}

// On the decoding thread: the picture is read with the tags, and the ring is empty while it
// is written, so the device thread never waits for it.
std::string Playback::saveCover(const std::string& path) {
    std::string picture = decoder->coverPicture();
    if (picture.empty() || !covers.enabled()) {
        return "";
    }
    std::string error;
    std::string file = covers.save(path, picture, error);
    if (file.empty()) {
        std::fprintf(stderr, "tcplayer: cannot keep the cover of %s: %s\n", path.c_str(),
                     error.c_str());
    }
    return file;
}

void Playback::runCommand(const Command& c) {
    switch (c.kind) {
    case Command::Play: {
        stateNow.store(int(PlayState::Stopped));
        decoder.reset();
        songEndFrame.store(-1);
        endReported.store(false);
        ring.flush();
        std::string error;
        decoder = AudioDecoder::open(c.path, error);
        {
            std::lock_guard<std::mutex> hold(lock);
            songStartFrame = ring.writeIndex();
            songStartSeconds = 0;
            songDuration = decoder ? decoder->info().durationSeconds : -1;
        }
        if (!decoder) {
            report({PlaybackEvent::Failed, c.path, error, {}, ""});
            return;
        }
        decoderPath = c.path;
        gain = gainTarget = dbToFactor(c.value);
        report({PlaybackEvent::Started, c.path, "", decoder->info(), saveCover(c.path)});
        stateNow.store(int(PlayState::Playing));
        break;
    }
    case Command::Seek:
        if (decoder) {
            double target = std::max(0.0, c.value);
            ring.flush();
            if (!decoder->seek(target)) {
                report({PlaybackEvent::Failed, decoderPath, decoder->error(), {}, ""});
                decoder.reset();
                return;
            }
            songEndFrame.store(-1);
            endReported.store(false);
            std::lock_guard<std::mutex> hold(lock);
            songStartFrame = ring.writeIndex();
            songStartSeconds = decoder->position();
        }
        break;
    case Command::Stop:
        decoder.reset();
        ring.flush();
        songEndFrame.store(-1);
        break;
    case Command::Gain:
        gainTarget = dbToFactor(c.value);
        break;
    }
}

void Playback::decodeSome() {
    long want = std::min(kChunkFrames, ring.space());
    long got = decoder->read(chunk.data(), want);
    if (got < 0) {
        report({PlaybackEvent::Failed, decoderPath, decoder->error(), {}, ""});
        decoder.reset();
        songEndFrame.store(ring.writeIndex());
        return;
    }
    const double step = (gainTarget - gain) / kGainRampFrames;
    for (long i = 0; i < got; ++i) {
        if (gain != gainTarget) {
            gain = std::fabs(gainTarget - gain) <= std::fabs(step) ? gainTarget : gain + step;
        }
        chunk[size_t(2 * i)] *= float(gain);
        chunk[size_t(2 * i + 1)] *= float(gain);
    }
    ring.push(chunk.data(), got);
    {
        double db = 20.0 * std::log10(std::max(gain, 1e-6));
        std::lock_guard<std::mutex> hold(lock);
        if (!gainMarks.empty() && gainMarks.back().second == db) {
            gainMarks.back().first = ring.writeIndex();
        } else {
            gainMarks.emplace_back(ring.writeIndex(), db);
        }
    }
    if (got < want) {
        songEndFrame.store(ring.writeIndex());
        decoder.reset();
    }
}

void Playback::decodeLoop() {
    std::unique_lock<std::mutex> hold(lock);
    while (!quit) {
        if (!commands.empty()) {
            Command c = std::move(commands.front());
            commands.pop_front();
            hold.unlock();
            runCommand(c);
            hold.lock();
            continue;
        }
        if (decoder && ring.space() >= kRingFrames - kRefillBelow) {
            hold.unlock();
            while (decoder && ring.space() >= kChunkFrames / 4) {
                decodeSome();
                std::lock_guard<std::mutex> peek(lock);
                if (!commands.empty() || quit) {
                    break;
                }
            }
            hold.lock();
            continue;
        }
        wake.wait_for(hold, std::chrono::milliseconds(decoder ? 50 : 500));
    }
}
