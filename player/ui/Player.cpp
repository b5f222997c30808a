#include "player/ui/Player.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace {
// The title shown for a file without a title tag: its name without the extension.
std::string fileTitle(const std::string& path) {
    return std::filesystem::path(path).stem().string();
}
} // namespace

Player::Player(PlayerSettings s) : settings(std::move(s)), playback(heard) {
    playback.setVolume(settings.volume);
    songs.add(settings.queue);
    songs.setCurrent(settings.queuePosition);
}

Player::~Player() = default;

bool Player::start(std::string& error) {
    return playback.start(error);
}

PlayerSettings& Player::currentSettings() {
    settings.queue = songs.items();
    settings.queuePosition = songs.current();
    return settings;
}

PlayState Player::state() const {
    return listening ? listening->state() : playback.state();
}

void Player::openFiles(const std::vector<std::string>& paths, bool playNow) {
    size_t first = songs.items().size();
    size_t added = songs.add(paths);
    if (added == 0) {
        statusLine = "Nothing to play in what was opened";
        return;
    }
    for (size_t i = first; i < songs.items().size() && i < first + 3; ++i) {
        scanner.request(songs.items()[i]);
    }
    // While listening, only an explicit play starts a song (the window ends listening first).
    if (playNow || (playback.state() == PlayState::Stopped && !listening)) {
        playIndex(int(first));
    }
}

void Player::playIndex(int index) {
    songs.setCurrent(index);
    if (songs.current() >= 0) {
        startCurrent();
    }
}

void Player::startCurrent() {
    const std::string& path = songs.currentPath();
    double gain = 0;
    waitingForGain = settings.normalise && !scanner.gainFor(path, gain);
    if (waitingForGain) {
        scanner.request(path, true);
    }
    currentGain = settings.normalise ? gain : 0;
    playback.play(path, currentGain);
    // Measure the next songs while this one plays.
    for (int k = 1; k <= 2; ++k) {
        int i = songs.current() + k;
        if (i < int(songs.items().size())) {
            scanner.request(songs.items()[size_t(i)]);
        }
    }
}

void Player::playPause() {
    PlayState s = playback.state();
    if (s == PlayState::Playing) {
        playback.setPaused(true);
    } else if (s == PlayState::Paused) {
        playback.setPaused(false);
    } else if (!songs.empty()) {
        playIndex(std::max(songs.current(), 0));
    }
}

void Player::stop() {
    playback.stop();
}

void Player::next() {
    if (songs.current() + 1 < int(songs.items().size())) {
        playIndex(songs.current() + 1);
    }
}

void Player::previous() {
    // Within the first seconds of a song, previous goes back a song; later, to its start.
    if (playback.position() > 3.0 || songs.current() <= 0) {
        seekTo(0);
    } else {
        playIndex(songs.current() - 1);
    }
}

void Player::seekBy(double seconds) {
    seekTo(playback.position() + seconds);
}

void Player::seekTo(double seconds) {
    if (playback.state() != PlayState::Stopped) {
        double d = playback.duration();
        playback.seek(std::max(0.0, d > 0 ? std::min(seconds, d - 0.5) : seconds));
    }
}

void Player::setVolume(double v) {
    settings.volume = std::clamp(v, 0.0, 1.0);
    playback.setVolume(settings.volume);
}

void Player::setNormalise(bool on) {
    settings.normalise = on;
    double gain = 0;
    if (!on) {
        currentGain = 0;
    } else if (scanner.gainFor(songs.currentPath(), gain)) {
        currentGain = gain;
    } else {
        waitingForGain = true;
        scanner.request(songs.currentPath(), true);
    }
    playback.setGainDb(currentGain);
}

void Player::applyGain(const std::string& path, bool fromTags, double tagGainDb) {
    if (!settings.normalise) {
        return;
    }
    if (fromTags) {
        waitingForGain = false;
        currentGain = std::clamp(tagGainDb, -30.0, 12.0);
        playback.setGainDb(currentGain);
        return;
    }
    double gain = 0;
    if (scanner.gainFor(path, gain)) {
        waitingForGain = false;
        if (gain != currentGain) {
            currentGain = gain;
            playback.setGainDb(currentGain);
        }
    }
}

void Player::setListeningSource(ListeningSource* source) {
    if (source && !listening) {
        fileMedia = current;
        fileArtist = songArtist;
    } else if (!source && listening) {
        // Back to the files: the pane names the song again.
        current = fileMedia;
        songArtist = fileArtist;
        ++serial;
    }
    listening = source;
    listeningTitle.clear();
    listeningStatus = source ? source->statusLine() : std::string();
    if (source) {
        playback.setPaused(true);
    }
}

void Player::tick(double now) {
    for (PlaybackEvent& e : playback.takeEvents()) {
        bool isCurrent = e.path == songs.currentPath();
        switch (e.kind) {
        case PlaybackEvent::Started:
            current = {e.info.sourceChannels, e.info.sourceRate,
                       e.info.title.empty() ? fileTitle(e.path) : e.info.title};
            songArtist = e.info.artist;
            ++serial;
            applyGain(e.path, e.info.hasTagGain, e.info.tagGainDb);
            break;
        case PlaybackEvent::Failed:
            statusLine = "Skipped " + e.reason; // the reason names the file
            std::fprintf(stderr, "tcplayer: skipped %s\n", e.reason.c_str());
            if (isCurrent && songs.current() + 1 < int(songs.items().size())) {
                playIndex(songs.current() + 1);
            }
            break;
        case PlaybackEvent::Ended:
            if (isCurrent && songs.current() + 1 < int(songs.items().size())) {
                playIndex(songs.current() + 1);
            }
            break;
        }
    }
    if (waitingForGain) {
        applyGain(songs.currentPath(), false, 0);
    }
    if (listening) {
        std::string t = listening->title();
        if (t != listeningTitle || current.title != t) {
            listeningTitle = t;
            current = {listening->channels(), listening->sampleRate(), t};
            songArtist.clear();
            ++serial;
        }
        listeningStatus = listening->statusLine();
        builder.update(listening->heard(), listening->state(), now);
    } else {
        builder.update(heard, playback.state(), now);
    }
}
