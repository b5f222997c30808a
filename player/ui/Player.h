// The player itself, without its window: the queue, the transport, loudness, and the levels
// its visualizations see. Lives on the user interface thread; every member is called there.
// Audio runs on its own threads (see Playback) and never waits for this object.
#pragma once

#include "player/loudness/Loudness.h"
#include "player/output/Playback.h"
#include "player/spectrum/HeardAudio.h"
#include "player/spectrum/LevelFrame.h"
#include "player/ui/FolderWalker.h"
#include "player/ui/PlayQueue.h"
#include "player/ui/Settings.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

// Audio that does not come from the player's files, such as the desktop's output while the
// player listens to it. The source writes what the listener hears into its HeardAudio on its
// own thread; while a source is set, the player's levels and media information come from it
// and the player's own playback is paused.
class ListeningSource {
  public:
    virtual ~ListeningSource() = default;
    virtual const HeardAudio& heard() const = 0;
    virtual PlayState state() const = 0;   // Playing while sound arrives
    virtual std::string title() const = 0; // what the pane names as the current item
    virtual int channels() const = 0;
    virtual int sampleRate() const = 0;
    // What the source has to tell the user (waiting for its input, ...); "" when nothing.
    virtual std::string statusLine() const { return {}; }
    // A source that normalises what it hears: the same audio before its gain, and the gain in
    // dB of heard() over it for the frames heard now.
    virtual const HeardAudio& heardAsPlayed() const { return heard(); }
    virtual double gainDb() const { return 0; }
    // Changes when the source's song changes, as far as the source can tell (0 when it cannot):
    // the player then rides the new song on its own, as it does a new song of its own.
    virtual uint64_t song() const { return 0; }
    // The song's ride calibration relative to heardAsPlayed(), when the source knows the song
    // itself (its file, matched to what is heard): it then rides as the file does.
    virtual bool knownRide(spectrum::SpectrumMapping& /*ride*/) const { return false; }
};

// What visualizations are told about the current item.
struct MediaDescription {
    int channels = 2;
    int sampleRate = 44100;
    std::string title; // UTF-8
};

// What a song's tags say beyond its title.
struct SongTags {
    std::string artist, album; // "" when the file has no such tag
    std::string cover;         // the file its cover picture was saved to, "" when none
};

class Player {
  public:
    explicit Player(PlayerSettings settings);
    ~Player();

    // Opens the sound device; false with the reason.
    bool start(std::string& error);

    // Queues files and folders (see PlayQueue::add) and plays the first of them when playNow,
    // or when nothing plays. Folders are walked on a thread of their own: their files join the
    // queue in batches from tick(), in order, while the window goes on. Files opened while a
    // walk is under way queue after it.
    void openFiles(const std::vector<std::string>& paths, bool playNow);
    // True while opened folders are still being walked.
    bool addingFiles() { return walker.busy(); }
    void playIndex(int index);
    void playPause();
    void stop();
    void next();
    void previous();
    void seekBy(double seconds);
    void seekTo(double seconds);
    void setVolume(double volume);
    void setNormalise(bool on);
    // The ride calibration on (each song's own spectrum mapping) or off (the fixed mapping).
    void setRideCalibration(bool on);

    // Once per frame: takes the audio side's news, moves the queue on, updates the levels.
    void tick(double now);
    const LevelFrame& levels() const { return builder.frame(); }

    void setListeningSource(ListeningSource* source);
    ListeningSource* listeningSource() const { return listening; }

    PlayState state() const;
    double position() const { return playback.position(); }
    double duration() const { return playback.duration(); }
    double volume() const { return settings.volume; }
    bool normalise() const { return settings.normalise; }
    bool rideCalibration() const { return settings.rideCalibration; }
    // The mapping the levels were last built with.
    const spectrum::SpectrumMapping& spectrumMapping() const { return builder.mapping(); }
    double gainDb() const { return currentGain; }
    const PlayQueue& queue() const { return songs; }
    // The current song's; empty while listening to another source.
    const SongTags& tags() const { return songTags; }
    // The last thing worth telling the user ("Skipped x: why", or while listening the
    // source's own line); "" when none.
    const std::string& status() const { return listening ? listeningStatus : statusLine; }
    // Makes line the last thing worth telling the user, in the window and on standard error.
    void tell(std::string line);
    // Changes whenever a new item starts; media() describes it.
    uint64_t mediaSerial() const { return serial; }
    const MediaDescription& media() const { return current; }

    // The settings as they are now (volume, queue, ...), for saving.
    PlayerSettings& currentSettings();
    const Playback& engine() const { return playback; }

  private:
    // A job of the folder walker: how its files are to be played once they come.
    struct Opening {
        uint64_t job = 0;
        bool playNow = false;
        size_t added = 0;
        std::string what; // for the message when it brings nothing
    };
    void queueFound(const std::vector<std::string>& files, Opening& opening);
    void takeWalkedFiles();
    void startCurrent();
    void takeScannedLevels();
    void followRunningLevels(PlayState state, double now);
    // Starts the running profile afresh: a new source, or the source's new song.
    void restartRunningRide();
    void updateMapping(double now);

    PlayerSettings settings;
    HeardAudio heard;
    Playback playback;
    LoudnessScanner scanner;
    LevelBuilder builder;
    PlayQueue songs;
    FolderWalker walker;
    std::deque<Opening> openings; // oldest first, as the walker takes them
    ListeningSource* listening = nullptr;
    uint64_t listeningSong = 0; // the source's song() the running profile was started for
    std::string listeningTitle;
    std::string listeningStatus;
    MediaDescription fileMedia; // the song's, while a source is set
    SongTags fileTags;
    spectrum::SpectrumMapping fileRide;

    MediaDescription current;
    uint64_t serial = 0;
    SongTags songTags;
    std::string statusLine;
    bool waitingForLevels = false; // the whole song's scan still to come
    double currentGain = 0;

    // The ride calibration. songRide is the song's mapping relative to the song as decoded
    // (before its gain), or to the desktop's audio as it played (before the listening
    // normalisation); shownTop eases towards it when a scan refines it. While listening, or
    // when a song's scan could not finish, the running profile of what is heard decides.
    spectrum::SpectrumMapping songRide = spectrum::defaultRideMapping();
    bool rideFromRunning = false;
    bool snapRide = true;
    double shownTop = 0;
    static constexpr double kNoLimit = -1e9;
    double limitTop = kNoLimit; // newestLimitTop of the running profile, as songRide's top
    double limitShown = 0;      // the top shown: shownTop, or above it while a limit holds
    double lastTick = -1;
    spectrum::RideProfile running{spectrum::RideProfile::Memory::Recent};
    int64_t runningAt = -1;         // index of the last heard frame the profile took
    double nextRunningUpdate = 0;   // when calibrate(running) is next worked out
    std::vector<float> heardFrames; // the frames heard since the last tick
};
