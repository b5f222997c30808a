#include "player/ui/Player.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace {
// A refined ride calibration takes over within about this many seconds, not at once.
constexpr double kRideEaseSeconds = 1.5;
// How often the running profile's calibration is worked out again.
constexpr double kRunningUpdateSeconds = 1.0;
// Listening, a calibration that calms the picture by more than this (a passage louder than
// the desktop played so far) is taken at once instead of eased in.
constexpr double kListeningCalmDb = 6.0;
// A passage louder than anything the running profile heard before is held to the loudest
// heard this fast, and let go as fast once it passes.
constexpr double kNewestLimitEaseSeconds = 0.25;

// The title shown for a file without a title tag: its name without the extension.
std::string fileTitle(const std::string& path) {
    return std::filesystem::path(path).stem().string();
}
} // namespace

Player::Player(PlayerSettings s)
    : settings(std::move(s)), playback(heard, CoverCache::defaultFolder()) {
    playback.setVolume(settings.volume);
    songs.add(settings.queue);
    songs.setCurrent(settings.queuePosition);
}

Player::~Player() = default;

bool Player::start(std::string& error) {
    return playback.start(error);
}

void Player::tell(std::string line) {
    std::fprintf(stderr, "tcplayer: %s\n", line.c_str());
    statusLine = std::move(line);
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
    std::string what = paths.size() == 1 ? paths.front() : "what was opened";
    bool folders = std::any_of(paths.begin(), paths.end(), [](const std::string& p) {
        std::error_code ec;
        return std::filesystem::is_directory(p, ec);
    });
    if (folders || !openings.empty()) {
        openings.push_back({walker.walk(paths), playNow, 0, what});
        return;
    }
    Opening opening{0, playNow, 0, what};
    std::vector<std::string> files;
    for (const std::string& p : paths) {
        files.push_back(PlayQueue::absolute(p));
    }
    queueFound(files, opening);
    if (opening.added == 0) {
        tell("Nothing to play in " + what);
    }
}

void Player::queueFound(const std::vector<std::string>& files, Opening& opening) {
    if (files.empty()) {
        return;
    }
    size_t first = songs.items().size();
    songs.append(files);
    bool firstBatch = opening.added == 0;
    opening.added += files.size();
    if (!firstBatch) {
        return;
    }
    for (size_t i = first; i < songs.items().size() && i < first + 3; ++i) {
        scanner.request(songs.items()[i]);
    }
    // While listening, only an explicit play starts a song (the window ends listening first).
    if (opening.playNow || (playback.state() == PlayState::Stopped && !listening)) {
        playIndex(int(first));
    }
}

void Player::takeWalkedFiles() {
    for (FolderWalker::Batch& batch : walker.take()) {
        if (openings.empty() || openings.front().job != batch.job) {
            continue;
        }
        Opening& opening = openings.front();
        queueFound(batch.files, opening);
        if (batch.last) {
            if (opening.added == 0) {
                tell("Nothing to play in " + opening.what);
            }
            openings.pop_front();
        }
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
    // The first frame is already calibrated and normalised: from the whole song's scan when
    // it is done, else from the song's opening, decoded now, while the whole song is scanned.
    SongLevels levels;
    waitingForLevels = !scanner.levelsFor(path, levels);
    if (waitingForLevels) {
        openingLevels(path, levels);
        scanner.request(path, true);
    }
    currentGain = settings.normalise ? levels.gainDb : 0;
    songRide = levels.ride;
    // A song scanned before whose scan could not reach its end follows what is heard.
    rideFromRunning = !waitingForLevels && !levels.wholeSong;
    restartRunningRide();
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
    SongLevels levels;
    if (!on) {
        currentGain = 0;
    } else if (scanner.levelsFor(songs.currentPath(), levels)) {
        currentGain = levels.gainDb;
    } else if (openingLevels(songs.currentPath(), levels)) {
        currentGain = levels.gainDb;
        waitingForLevels = true;
        scanner.request(songs.currentPath(), true);
    }
    playback.setGainDb(currentGain);
}

void Player::setRideCalibration(bool on) {
    settings.rideCalibration = on;
    snapRide = true;
}

void Player::takeScannedLevels() {
    SongLevels levels;
    if (!scanner.levelsFor(songs.currentPath(), levels)) {
        return;
    }
    waitingForLevels = false;
    if (settings.normalise && levels.gainDb != currentGain) {
        currentGain = levels.gainDb;
        playback.setGainDb(currentGain);
    }
    // A scan that could not reach the song's end (a damaged tail) leaves the ride to what is
    // heard; its blend of the part it decoded stands in until that has enough to go on.
    songRide = levels.ride;
    rideFromRunning = !levels.wholeSong;
}

// Feeds the running profile what was heard since the last tick, and while it decides the
// ride, works out its calibration now and then.
void Player::followRunningLevels(PlayState state, double now) {
    const bool decides = listening || rideFromRunning;
    if (!decides || state != PlayState::Playing) {
        return;
    }
    // The profile takes the audio before a gain that moves while it plays (the desktop's
    // normalisation settling); a song's loudness gain is set before it plays.
    const HeardAudio& audio = listening ? listening->heardAsPlayed() : heard;
    int64_t at = audio.heardFrame(now);
    if (runningAt < 0 || at < runningAt) {
        runningAt = at;
        return;
    }
    long count = long(std::min<int64_t>(at - runningAt, HeardAudio::kCapacity / 2));
    if (count > 0) {
        heardFrames.resize(size_t(count) * 2);
        audio.heardWindow(now, heardFrames.data(), count);
        running.add(heardFrames.data(), count);
        runningAt = at;
    }
    // A song the source knows rides as its file does: nothing is left to guess.
    spectrum::SpectrumMapping known;
    if (listening && listening->knownRide(known)) {
        songRide = known;
        limitTop = kNoLimit;
        return;
    }
    // Until the profile has enough sound to go on, the mapping for music in general at the
    // normalised loudness stands, following the desktop's gain as it settles.
    const bool priorOnly = running.soundingSeconds() < spectrum::kMinSoundingSeconds;
    // songRide is relative to the song before its gain, and to the desktop as it played.
    const double gain = listening ? 0.0 : playback.heardGainDb();
    if (now >= nextRunningUpdate || (listening && priorOnly)) {
        nextRunningUpdate = now + kRunningUpdateSeconds;
        spectrum::SpectrumMapping prior =
            listening ? spectrum::defaultRideMapping().forGain(-listening->gainDb())
                      : songRide.forGain(gain);
        songRide = spectrum::calibrate(running, &prior).forGain(-gain);
        snapRide = snapRide || (listening && priorOnly);
    }
    // The limit for a passage louder than any before it follows the newest sound every tick,
    // against the mapping as shown.
    spectrum::SpectrumMapping shown = songRide.forGain(gain);
    shown.topDb = shownTop + gain;
    limitTop = spectrum::newestLimitTop(running, shown) - gain;
}

void Player::updateMapping(double now) {
    double dt = lastTick < 0 ? 0 : std::max(0.0, now - lastTick);
    lastTick = now;
    if (!settings.rideCalibration) {
        builder.setMapping(spectrum::SpectrumMapping::fixed());
        snapRide = true;
        return;
    }
    // The limit for a passage louder than any before it (the running profile's) stands beside
    // the eased calibration, so the picture returns to that as soon as the passage is over.
    const double limit = listening || rideFromRunning ? limitTop : kNoLimit;
    // Listening, nothing is known ahead of what the desktop plays: a passage far louder than
    // what came before calms the picture at once.
    if (snapRide || (listening && songRide.topDb > shownTop + kListeningCalmDb)) {
        shownTop = songRide.topDb;
        limitShown = std::max(shownTop, limit);
        snapRide = false;
    } else {
        shownTop += (songRide.topDb - shownTop) * (1.0 - std::exp(-dt / kRideEaseSeconds));
    }
    const double limitTarget = std::max(shownTop, limit);
    limitShown += (limitTarget - limitShown) * (1.0 - std::exp(-dt / kNewestLimitEaseSeconds));
    limitShown = std::max(limitShown, shownTop);
    spectrum::SpectrumMapping shown = songRide;
    shown.topDb = limitShown;
    // The heard audio carries the song's gain, or the desktop's; the picture follows it exactly.
    builder.setMapping(shown.forGain(listening ? listening->gainDb() : playback.heardGainDb()));
}

void Player::restartRunningRide() {
    running.clear();
    runningAt = -1;
    limitTop = kNoLimit;
    nextRunningUpdate = 0;
    snapRide = true;
}

void Player::setListeningSource(ListeningSource* source) {
    if (source && !listening) {
        fileMedia = current;
        fileTags = songTags;
        fileRide = songRide;
        songRide = spectrum::defaultRideMapping();
    } else if (!source && listening) {
        // Back to the files: the pane names the song again, and it rides as it did.
        current = fileMedia;
        songTags = fileTags;
        songRide = fileRide;
        ++serial;
    }
    listening = source;
    listeningSong = source ? source->song() : 0;
    restartRunningRide();
    listeningTitle.clear();
    listeningStatus = source ? source->statusLine() : std::string();
    if (source) {
        playback.setPaused(true);
    }
}

void Player::tick(double now) {
    takeWalkedFiles();
    for (PlaybackEvent& e : playback.takeEvents()) {
        bool isCurrent = e.path == songs.currentPath();
        switch (e.kind) {
        case PlaybackEvent::Started:
            current = {e.info.sourceChannels, e.info.sourceRate,
                       e.info.title.empty() ? fileTitle(e.path) : e.info.title};
            songTags = {e.info.artist, e.info.album, e.cover};
            ++serial;
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
    if (waitingForLevels) {
        takeScannedLevels();
    }
    if (listening) {
        // A new song on the desktop rides on its own, not on the memory of the one before.
        if (listening->song() != listeningSong) {
            listeningSong = listening->song();
            restartRunningRide();
        }
        std::string t = listening->title();
        if (t != listeningTitle || current.title != t) {
            listeningTitle = t;
            current = {listening->channels(), listening->sampleRate(), t};
            songTags = {};
            ++serial;
        }
        listeningStatus = listening->statusLine();
    }
    const HeardAudio& audio = listening ? listening->heard() : heard;
    PlayState state = listening ? listening->state() : playback.state();
    followRunningLevels(state, now);
    updateMapping(now);
    builder.update(audio, state, now);
}
