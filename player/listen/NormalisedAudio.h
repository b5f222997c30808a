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
// - song is what the desktop's players tell of the song (DesktopSong): when its number
//   changes, the new song's loudness is measured afresh (RunningLoudness::restart), as the
//   player's own songs each have their own. When its player names the local file it plays,
//   and what is heard matches that file (SongFileMatch), the song is normalised as the file
//   would be, and knownRide() gives the file's ride calibration, relative to asPlayed().
#pragma once

#include "player/capture/DesktopTitle.h"
#include "player/listen/SongFileMatch.h"
#include "player/loudness/RunningLoudness.h"
#include "player/spectrum/HeardAudio.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

class NormalisedAudio {
  public:
    void write(const float* frames, long count, double now, const DesktopSong& song = {});

    const HeardAudio& heard() const { return normalised; }
    const HeardAudio& asPlayed() const { return played; }
    double gainDb() const { return gain.load(); }
    // The ride of the song's file, when what is heard has been matched to it.
    bool knownRide(spectrum::SpectrumMapping& ride) const;
    // Blocks until the scan of the file the song names has ended (tests; on the writer's
    // thread).
    void waitScanned() { match.waitScanned(); }

  private:
    HeardAudio normalised, played;
    RunningLoudness loudness;  // writer's
    SongFileMatch match;       // writer's
    std::vector<float> scaled; // writer's
    std::atomic<double> gain{0};
    uint64_t lastSong = 0; // writer's
    std::string lastPath;  // writer's
    mutable std::mutex rideLock;
    bool haveRide = false;
    spectrum::SpectrumMapping fileRide;
};
