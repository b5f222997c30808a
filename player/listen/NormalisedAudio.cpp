#include "player/listen/NormalisedAudio.h"

void NormalisedAudio::write(const float* frames, long count, double now, const DesktopSong& song) {
    if (song.number != lastSong || song.path != lastPath) {
        if (song.number != lastSong) {
            loudness.restart();
        }
        lastSong = song.number;
        lastPath = song.path;
        match.begin(song.path);
    }
    // What arrives has been heard already: nothing waits in a device after it.
    played.write(frames, count, 0, now);
    match.add(frames, count, song.positionAt(now), song.at);
    double fileGain = 0;
    spectrum::SpectrumMapping ride;
    const bool known = match.matched(fileGain, ride);
    if (known) {
        loudness.hold(fileGain);
    } else {
        loudness.release();
    }
    {
        std::lock_guard<std::mutex> hold(rideLock);
        haveRide = known;
        fileRide = ride;
    }
    scaled.assign(frames, frames + count * 2);
    loudness.process(scaled.data(), count);
    gain.store(loudness.gainDb());
    normalised.write(scaled.data(), count, 0, now);
}

bool NormalisedAudio::knownRide(spectrum::SpectrumMapping& ride) const {
    std::lock_guard<std::mutex> hold(rideLock);
    if (haveRide) {
        ride = fileRide;
    }
    return haveRide;
}
