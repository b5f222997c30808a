#include "player/listen/NormalisedAudio.h"

void NormalisedAudio::write(const float* frames, long count, double now, uint64_t song) {
    if (song != lastSong) {
        lastSong = song;
        loudness.restart();
    }
    // What arrives has been heard already: nothing waits in a device after it.
    played.write(frames, count, 0, now);
    scaled.assign(frames, frames + count * 2);
    loudness.process(scaled.data(), count);
    gain.store(loudness.gainDb());
    normalised.write(scaled.data(), count, 0, now);
}
