// Listening to the desktop while its player plays a local file and names it (xesam:url and
// Position): the file is scanned ahead, as the player's own songs are, and what is heard is
// matched against it moment by moment, which tells how loud the desktop plays it. The song
// then rides, and is normalised, exactly as the player would ride and normalise that file:
// from its opening to its end, where a running estimate can only guess at what follows.
//
// Contract:
// - begin(path) starts a song; "" when the desktop names no local file (a stream, a pause),
//   which is never matched, as is a path that is not a regular file. The file is scanned on
//   a thread of its own, at the lowest priority, once: the same file begun again (after a
//   pause) keeps its scan and its match.
// - add() takes what is heard, as it was played (before any gain), with the position in the
//   file of its last frame; a negative position (not known) is measured but not matched.
//   report tells the player's reports of the position apart (the time it was asked): a new
//   one far from where the last one led is a seek. The last kWindowSeconds heard before the
//   scan ends are kept, and matched once it ends.
// - matched() holds once kMatchSeconds of sound have been heard at known positions and their
//   loudness, moment by moment (every kMomentaryHop), follows the file's with a correlation of
//   at least kMinCorrelation, the file shifted by up to kMaxLagSeconds either way (a player's
//   position runs a little ahead of or behind what reaches the output): then what plays is
//   that file; too little sound to judge (a quiet passage, the seconds after a seek) leaves
//   the verdict as it was. Anything else (another sound over it, a player that misstates its
//   position, a file that cannot be decoded) leaves it unmatched.
// - How much louder or quieter the desktop plays than the file is judged over the last
//   kWindowSeconds, or over the newest kMatchSeconds alone when those match by themselves,
//   so a turn of its volume control is followed within seconds.
// - One thread calls begin(), add() and matched(); the scan's own thread only scans.
#pragma once

#include "player/loudness/Loudness.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class SongFileMatch {
  public:
    static constexpr double kMatchSeconds = 5.0;
    static constexpr double kWindowSeconds = 15.0;
    static constexpr double kMaxLagSeconds = 1.0;
    static constexpr double kMinCorrelation = 0.9;
    // Readings quieter than this against the file's loudness are left out: fades and gaps,
    // where noise and a misstated position weigh most.
    static constexpr double kBelowSongDb = 40.0;

    SongFileMatch();
    ~SongFileMatch();
    SongFileMatch(const SongFileMatch&) = delete;
    SongFileMatch& operator=(const SongFileMatch&) = delete;

    void begin(const std::string& path);
    void add(const float* frames, long count, double position, double report = 0);
    // The gain (dB) that brings what is heard to the normalised loudness, as the file's own
    // gain does the file, and the song's ride relative to what is heard before that gain.
    bool matched(double& gainDb, spectrum::SpectrumMapping& ride) const;
    // Blocks until the file's scan has ended (tests, which play faster than time passes).
    void waitScanned();

  private:
    // The momentary loudness heard (LUFS) at a position in the file (seconds).
    struct Reading {
        double position, heard;
    };
    struct Judgement {
        double correlation = -2, volumeDb = 0;
    };
    void endScan();
    bool takeScan();
    Judgement judge(size_t first) const;
    void judgeRecent();

    // Shared with the scan's thread.
    std::mutex lock;
    bool scanDone = false, scanOk = false;
    SongLevels scanned;
    std::vector<float> fileMomentary;
    std::atomic<bool> cancel{false};
    std::thread scan;

    // The calling thread's.
    std::string path;    // the file scanned
    bool active = false; // the song names path
    bool haveScan = false;
    SongLevels levels;
    std::vector<float> momentary; // the file's, every kMomentaryHop
    double fileGateLufs = 0;
    LoudnessMeter meter{LoudnessMeter::Mode::Momentary}; // what is heard
    long readings = 0;                                   // since begin()
    double lastPosition = -1;                            // of the last frame added
    double lastReport = -1;
    bool reportMatched = false; // the verdict and volume when the last report came
    double reportVolumeDb = 0;
    std::deque<Reading> recent; // the last kWindowSeconds of sound, newest last
    bool isMatched = false;
    double volumeDb = 0; // how much louder the desktop plays than the file
};
