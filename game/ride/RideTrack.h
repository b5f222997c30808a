// The ride: an invisible car drives an endless program of circles, spiral transitions and a
// figure-eight around the world's centre; each frame its position is pushed onto 250-sample
// histories and its height follows the music, so the two drawn rails show the last 250 frames
// of music as a glowing wave, blue where low and red where high. The camera rides this trail.
#pragma once

#include "game/assets/CoarseLayer.h"
#include "game/assets/SpriteReach.h"
#include "game/assets/math/Vector3.h"
#include "game/music/MusicIntake.h"
#include "game/ride/DragonFeed.h"
#include "game/ride/MusicSource.h"
#include "game/ride/RideSettings.h"
#include "game/ride/TrackPoint.h"
#include "game/world/SceneActor.h"
#include "game/world/SceneObject.h"

#include <cstdint>

struct PathSegment {
    enum Kind : int32_t { Transition = 0, FigureEight = 1, CircleUp = 2, CircleDown = 3 };
    int32_t kind;
    int32_t count; // laps or crossings; transitions ignore it
};

// Where a view point puts the camera this frame; placed is false for codes without a camera.
struct CameraShot {
    bool placed = true;
    Vector3 eye{0.0f, 0.0f, 0.0f};
    Vector3 target{0.0f, 0.0f, 0.0f};
    bool normalised = true; // whether the stored view direction is normalised
};

// Colour of a rail sprite at a height: blue at 60 and below, red from 460 up.
struct RailColour {
    float red, green, blue;
};
RailColour railColour(float height);

class CRideTrack : public SceneObject {
  public:
    static constexpr int kHistory = 250;
    static constexpr int kProgram = 12;
    static constexpr float kBigRadius = 1000.0f;
    static constexpr float kLobeRadius = 400.0f;
    static constexpr float kLobeCentre = 900.0f;
    static constexpr float kOuterRadius = 1300.0f;

    // speedSetting is the game-wide speed (0..1); music comes from source, which the track
    // does not own.
    CRideTrack(float speedSetting, IMusicSource& source);
    ~CRideTrack() override = default;

    void setSpeed(float speed);
    // The frame: update (nothing when dt is exactly 0), then the rails. view is the controls'
    // view point, head tilt and dragon switch.
    void render(float dt, const RideView& view);
    bool Draw(float dt) override;
    void updateRideFrame(float dt, const RideView& view);
    void updateWave(float dt);
    void pathStep(float dt);
    void swapRails();
    // Loads the identity and the look-at of the current view point; see RideCamera.cpp.
    void placeRideCamera(float dt, const RideView& view);
    void easeTilt(float dt, int n, bool reversed, float rate);
    // Eye and target of a view point (not the cycle) from the current trail and tilt.
    CameraShot cameraShot(int32_t viewPoint, bool headTilt) const;
    // The music feed at the end of the camera step (DragonFeed.cpp): the dragon's turn, the
    // beat, the burst and the dragon for the view point, then the level to everything.
    void feedMusic(float dt, int32_t viewPoint, bool dragonOn);
    void turnDragon(float dt);
    void setFeedTargets(const RideFeedTargets& targets) { feed = targets; }
    const RideFeedTargets& feedTargets() const { return feed; }
    // The frequency bars, which get every frame's spectrum; may be null.
    void setSpectrumSink(SceneActor* bars) { spectrumSink = bars; }

    void Hook4() override {}
    void Hook5() override {}
    void Hook6() override {}
    void LoadResources() override {}

    // Ride state, open for the director's status line and for tests.
    float billboardFromView = 0.0f;
    float dragonAngle = 0.0f;
    float rideHeight = 0.0f;
    float angularSpeed = 0.0f;     // w, on the big circles and transitions
    float smallCircleSpeed = 0.0f; // on the figure-eight's lobes
    bool speedChanged = true;
    Vector3 billboardRight{1.0f, 0.0f, 0.0f};
    Vector3 billboardUp{0.0f, 1.0f, 0.0f};
    TrackHistory<kHistory> carPath;
    TrackHistory<kHistory> levelTrail;
    TrackHistory<kHistory> innerRails[2];
    TrackHistory<kHistory> outerRails[2];
    PathSegment program[kProgram];
    int32_t currentSegment = -1;
    bool segmentDone = true;
    bool direction = false; // true after an angle-increasing circle
    float railHalfGap = 1.0f;
    float pathAngle = 0.0f;
    float heading = 0.0f;
    Vector3 viewDirection{0.0f, 0.0f, -1.0f};
    Vector3 tilt{0.0f, 1.0f, 0.0f};
    StallDetector stall;
    float dragonTurnTimer = 0.0f;
    float dragonTurnSign = 1.0f;
    bool firstDraw = true;
    int32_t cycleStep = 0;
    float cycleTimer = 0.0f;
    // The view point the camera used last frame (the cycle's step while cycling).
    int32_t cameraViewPoint = -1;
    unsigned char musicSpectrum[2][1024] = {};
    // n = L / 60 of the last feed; the dragon's turn speed follows it a frame later.
    float normalisedLevel = 0.0f;
    bool lastBeat = false;
    int32_t dragonDraws = 0; // how many times the feed drew the dragon
    // Rail sprites at least kLargeSide pixels across on the window are drawn through this
    // quarter-size layer, when together they fill more than kRailLayerFill pixels and lie
    // kRailLayerDepth deep on average over the rectangle they cover. The sprites' rims are
    // hard (the alpha test cuts them), which a quarter-size layer turns into blurred steps:
    // only a heap deep enough for its fill to outweigh that goes through it. A close rail a
    // few sprites deep (about 3.4 over 250 000 to 400 000 pixels) costs about as much drawn
    // into the window as through the layer, its clears and its composite.
    static constexpr float kLargeSide = 32.0f;
    static constexpr double kRailLayerFill = 400000.0;
    static constexpr double kRailLayerDepth = 8.0;
    CCoarseLayer railLayer;

  private:
    // State of the segment being driven.
    struct PathState {
        float radius = kBigRadius;
        float radiusRate = 0.0f; // per radian turned
        float endAngle = 0.0f;
        bool endsAtZero = false;
        int32_t wraps = 0;
        int32_t laps = 0;
        int32_t lobeState = 0; // 1 upper lobe, 2 chord E2-E3, 3 lower lobe, 4 chord E4-E1
        int32_t crossings = 0;
        bool exitFlag = false;
        float chordT = 0.0f;
        float chordRate = 0.0f;
    };

    void circleStep(float dt, bool increasing);
    void transitionStep(float dt);
    void figureEightStep(float dt);
    void pushRing(float cx, float cz, float angle, float radius, bool lobeLower, bool lobe);
    void pushChord(const Vector3& from, const Vector3& to, float t);
    void pushSample(const Vector3 rails[4], const Vector3& centre);
    void rerollAfterFigureEight();
    void setRailAxes();
    void drawRails(const RideView& view);
    int32_t entryKind(int offset) const;

    IMusicSource& music;
    SceneActor* spectrumSink = nullptr;
    RideFeedTargets feed;
    PathState path;
    int exhaustTexture = -1;
    // How far the rail texture passes the alpha test (see drawRails).
    SpriteReach railReach;
};
