// Ride calibration: the spectrum mapping that makes a song ride the game's whole range.
//
// The game's ride level L is the running mean of the average cell level of both channels; it
// rides quiet below 18, middle from 18 to 36 and loud above 36. RideProfile gathers, from a
// song's audio, how the average cell level moves through the song (a histogram of its cells'
// tilted decibels every kHopSeconds); calibrate() chooses the SpectrumMapping for it:
//
//   - every cell is tilted by kTiltDbPerOctave around 1 kHz and the slope is kRangeDb (times
//     the share of the cells below the song's own Nyquist frequency, for a song sampled below
//     44.1 kHz);
//   - the top is placed so that the song's loud moments (the 90th percentile of its one-second
//     mean level) ride at kLoudL,
//   - unless that puts its median outside kMedianLowL..kMedianHighL; then the median is held
//     at the nearer bound. A running profile (Memory::Recent) takes for its median the louder
//     of its whole memory's and its newer half's: it cannot know what follows, and a song is
//     more often louder after its opening than quieter.
//
// So a song's loud passages ride loud and its quiet ones quiet, each song against its own
// loudness: a steady track rides high and flat, a piece with wide dynamics spreads further
// down. The mapping is relative to the audio the profile was fed; a gain applied afterwards
// is followed with SpectrumMapping::forGain.
//
// Use: setSourceRate() with the file's own rate, feed add() the song in order (44.1 kHz
// interleaved stereo, -1..1; AudioDecoder's output), then calibrate(profile), and give the
// mapping to SpectrumAnalyzer::setMapping (scanSong in player/loudness/Loudness.h does the
// first two while it measures the song's loudness). The opening seconds are enough for a
// first mapping; the whole song refines it. A profile made
// with Memory::Recent keeps only the last kRecentSeconds, for a running estimate of audio
// without an end (the desktop's output).
//
// Not thread-safe; one thread owns a profile. calibrate() takes tens of milliseconds for a whole
// song.
#pragma once

#include "player/spectrum/SpectrumAnalyzer.h"
#include "player/spectrum/SpectrumMapping.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace spectrum {

// The ride levels a mapping gives a profile: L at the 10th, 50th and 90th percentile of the
// song's (non-silent) time, and the shares of its time in the quiet, middle and loud sets.
struct RideLevels {
    double p10 = 0, p50 = 0, p90 = 0;
    double quiet = 0, middle = 0, loud = 0; // 0..1, summing to 1
};

class RideProfile {
  public:
    enum class Memory { WholeSong, Recent };

    static constexpr double kHopSeconds = 0.1;
    static constexpr double kRecentSeconds = 60.0;
    static constexpr int kMaxFrames = 4096;    // a longer song is sampled more sparsely
    static constexpr double kSilentDb = -70.0; // frames quieter than this (RMS, dBFS) are gaps

    explicit RideProfile(Memory memory = Memory::WholeSong);
    RideProfile(const RideProfile&) = delete;
    RideProfile& operator=(const RideProfile&) = delete;

    // The song's own sample rate before it was converted to 44.1 kHz (0: unknown, taken as
    // 44.1 kHz or more). A song sampled lower leaves the cells above its half empty; the
    // rule then steepens the slope in proportion, so the cells that carry it ride as a
    // full-band song's do.
    void setSourceRate(int hz) { sourceRate = hz; }
    // Feeds the next count stereo frames of the song.
    void add(const float* frames, long count);
    void clear();

    // Seconds of audio fed so far, and of them the seconds that were not silent.
    double seconds() const { return double(fed) / 44100.0; }
    double soundingSeconds() const;

    // The levels the song rides under mapping m (L as the game's one-second mean).
    RideLevels levels(const SpectrumMapping& m) const;

  private:
    friend SpectrumMapping calibrate(const RideProfile& profile, const SpectrumMapping* prior);
    friend double newestLimitTop(const RideProfile& profile, SpectrumMapping m);
    static constexpr int kBins = 200;
    static constexpr double kLowestDb = -170.0; // bin 0; bins are 1 dB wide

    void analyseWindow();
    // The mean level over the last seconds (by default one, as the game's L) at every
    // sounding frame under m, or at the newest frames only.
    std::vector<double> smoothedLevels(const SpectrumMapping& m, double seconds = 1.0,
                                       size_t newest = SIZE_MAX) const;

    Memory memory;
    SpectrumAnalyzer analyzer;
    std::vector<float> tilt;   // kTiltDbPerOctave at each cell
    std::vector<float> recent; // the last kWindow stereo frames, a ring
    long recentAt = 0;         // next slot in recent
    long sinceHop = 0;         // frames since the last analysis
    long hop;                  // frames between analyses (doubles as a song grows)
    int64_t fed = 0;
    int sourceRate = 0;
    std::vector<uint16_t> histograms;    // kBins per frame, both channels' cells
    std::vector<unsigned char> sounding; // per frame: louder than kSilentDb
    float db[SpectrumAnalyzer::kBands];
    float window[SpectrumAnalyzer::kWindow * 2];
};

// The rule's constants (see the README's calibration section for how they were chosen).
constexpr double kTiltDbPerOctave = 4.5;
constexpr double kRangeDb = 60.0;
constexpr double kLoudL = 42.0;
constexpr double kMedianLowL = 22.0;
constexpr double kMedianHighL = 32.0;
constexpr double kQuietBelowL = 18.0;
constexpr double kLoudAboveL = 36.0;
// Seconds of sound a profile needs before calibrate() looks at it, and the seconds after
// which a profile with a prior is trusted alone.
constexpr double kMinSoundingSeconds = 2.0;
constexpr double kTrustSeconds = 15.0;

// The mapping for the profiled song. Without a prior the profile decides alone (a whole
// song), and defaultRideMapping() stands in while it holds less than kMinSoundingSeconds of
// sound. With a prior (a song's opening, a running estimate) the result leans on the prior
// while the profile is short: its top moves from the prior's to the rule's as the profile
// grows to kTrustSeconds of sound, so a quiet intro is not taken for the whole song. The
// prior for audio gainDb short of the normalised loudness is
// defaultRideMapping().forGain(-gainDb).
SpectrumMapping calibrate(const RideProfile& profile, const SpectrumMapping* prior = nullptr);

// A running profile knows nothing of what follows, so a passage louder than anything it heard
// before would ride far above the loud set until the profile takes it in. The top at which
// the profile's newest kNewestSeconds ride no louder than kNewestHighL, or than the loudest
// second heard before the last kPassageSeconds if that is louder, under m; m's own top when
// they already do. The player holds the picture to it while such a passage plays.
constexpr double kNewestSeconds = 0.5;
constexpr double kPassageSeconds = 5.0;
constexpr double kNewestHighL = 42.0;
double newestLimitTop(const RideProfile& profile, SpectrumMapping m);

// The mapping for music in general at the player's normalised loudness (-18 LUFS), for the
// moments before anything is known about a song.
SpectrumMapping defaultRideMapping();

} // namespace spectrum
