// Loudness normalisation: how much to raise or lower each song so every song plays at the
// same loudness (AudioDecoder::kLoudnessTargetLufs, the ReplayGain 2 reference level).
#pragma once

#include "player/loudness/LoudnessMeter.h"
#include "player/spectrum/RideCalibration.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct LoudnessResult {
    double integratedLufs = 0; // EBU R128 integrated loudness
    double samplePeak = 0;     // largest absolute sample, 1 = full scale
};

// What one decoding pass over a song's beginning, or the whole of it, found out.
struct SongScan {
    bool complete = false;   // the scan reached the song's end
    double seconds = 0;      // of audio scanned
    LoudnessResult loudness; // of what was scanned
    std::string error;       // why the scan ended before the song did; "" otherwise
};

// Decodes path from its start, as fast as it can, for at most maxSeconds (0: all of it),
// measuring its loudness and feeding its audio to profile when given. With momentary, it
// also keeps the song's momentary loudness (LUFS, the last 0.4 s) at every kMomentaryHop:
// entry i at (i + 1) * kMomentaryHop seconds into the song. False, with the reason in
// out.error, when the file cannot be opened or not a second of it can be decoded; a scan that
// stops later (a damaged tail, cancel set) is true and not complete.
bool scanSong(const std::string& path, double maxSeconds, SongScan& out,
              spectrum::RideProfile* profile = nullptr, const std::atomic<bool>* cancel = nullptr,
              std::vector<float>* momentary = nullptr);

// The gain in dB that brings a measured song to the target, lowered where needed so that its
// peak does not clip, and kept within -30..+12 dB. Silence gets 0.
double gainForLoudness(const LoudnessResult& r);

// How a song is to be played and shown: its loudness gain and its ride calibration (relative
// to the song as decoded, before the gain).
struct SongLevels {
    double gainDb = 0;
    spectrum::SpectrumMapping ride = spectrum::defaultRideMapping();
    bool wholeSong = false; // both come from the whole song, not only its opening
};

// The levels from the song's first kOpeningSeconds, decoded at once on the calling thread (a
// few tens of milliseconds), for the moment the song starts; wholeSong when the song is that
// short. The gain comes from the song's gain tags where present. False when the file cannot
// be decoded.
constexpr double kOpeningSeconds = 10.0;
bool openingLevels(const std::string& path, SongLevels& out);
// The levels from the whole song, decoded at once on the calling thread (what the scanner
// finds for it in the background), and with momentary its momentary loudness as scanSong
// keeps it. False when the file cannot be decoded; cancel, when set, ends the scan early.
bool wholeSongLevels(const std::string& path, SongLevels& out,
                     std::vector<float>* momentary = nullptr,
                     const std::atomic<bool>* cancel = nullptr);

// Measuring is background work: the music and the game come first. Gives the calling thread
// the lowest priority.
void lowerThreadPriority();

// Measures songs one after another on a background thread of the lowest priority, ahead of
// their turn, and keeps the results. All members may be called from any thread.
class LoudnessScanner {
  public:
    LoudnessScanner();
    ~LoudnessScanner();
    LoudnessScanner(const LoudnessScanner&) = delete;
    LoudnessScanner& operator=(const LoudnessScanner&) = delete;

    // Queues path unless it is measured or queued already; urgent puts it first.
    void request(const std::string& path, bool urgent = false);
    // True with the gain once path has been measured (0 dB for a file that could not be).
    bool gainFor(const std::string& path, double& gainDb) const;
    // True with the song's levels once path has been scanned. A song whose scan could not
    // reach its end gets wholeSong false: its levels cover what could be decoded.
    bool levelsFor(const std::string& path, SongLevels& out) const;
    // Blocks until the queue is empty (tests and the benchmark).
    void waitIdle();

  private:
    void run();

    mutable std::mutex lock;
    std::condition_variable wake, idle;
    std::deque<std::string> queue;
    std::map<std::string, SongLevels> results;
    bool busy = false;
    std::atomic<bool> quit{false};
    std::thread worker;
};
