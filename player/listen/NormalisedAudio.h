// Audio that arrives without an end (the desktop's output) as the player hears it: kept as it
// was played, and loudness-normalised by a running estimate (RunningLoudness), side by side.
//
// Contract:
// - heard() holds the normalised frames, for the levels' spectrum and waveform: a quiet and a
//   loud song look alike there within seconds of starting, as the player's own songs do.
// - asPlayed() holds the same frames, at the same indices and times, before the gain; gainDb()
//   is the gain between them for the newest frames. The running ride profile is taken from
//   asPlayed(), so what it gathers does not shift as the gain settles, and the mapping chosen
//   from it follows the gain exactly (SpectrumMapping::forGain), as a song's does its own.
// - write() is called by one thread (the capture's) with interleaved stereo frames at 44.1 kHz
//   as they are heard; the readers of heard(), asPlayed() and gainDb() are on any thread.
// - song counts the songs the desktop has begun, as far as its players tell
//   (ListeningSource::song()): when it changes, the new song's loudness is measured afresh
//   (RunningLoudness::restart), as the player's own songs each have their own.
#pragma once

#include "player/loudness/RunningLoudness.h"
#include "player/spectrum/HeardAudio.h"

#include <atomic>
#include <cstdint>
#include <vector>

class NormalisedAudio {
  public:
    void write(const float* frames, long count, double now, uint64_t song = 0);

    const HeardAudio& heard() const { return normalised; }
    const HeardAudio& asPlayed() const { return played; }
    double gainDb() const { return gain.load(); }

  private:
    HeardAudio normalised, played;
    RunningLoudness loudness;  // writer's
    std::vector<float> scaled; // writer's
    std::atomic<double> gain{0};
    uint64_t lastSong = 0; // writer's
};
