// The game's application object: fixed GL state and light, the world's objects, and the
// order of everything a frame does, in ride mode (0) and menu-page mode (1).
#pragma once

#include "game/assets/DataArchive.h"
#include "game/assets/bone/BoneModel.h"
#include "game/ride/RideSettings.h"
#include "game/ride/RideTrack.h"
#include "game/shell/FrameTimer.h"
#include "game/shell/MenuInput.h"
#include "game/world/BreathStream.h"
#include "game/world/FrequencyBars.h"
#include "game/world/WingFlock.h"
#include "game/world/WorldObjects.h"

#include <cstdint>

// The ride track while the director exists.
extern CRideTrack* rideTrack;

class CSceneDirector {
  public:
    static constexpr int32_t kModeRide = 0;
    static constexpr int32_t kModeMenuPage = 1;

    // Initialises COM for the thread.
    CSceneDirector();
    virtual ~CSceneDirector();
    CSceneDirector(const CSceneDirector&) = delete;
    CSceneDirector& operator=(const CSceneDirector&) = delete;

    // After the window and its first reshape: GL state, light, timers, the world; returns
    // whether the music block could be opened. Errors end the game ("Exception Caught").
    bool initialize();
    // Paces to about 60 frames a second and renders with the measured frame time.
    void frame();
    void render(float dt);
    void renderScene(float dt);
    void setMode(int32_t mode);
    int32_t mode() const { return sceneMode; }

    RideSettings getRideSettings() const;
    void setRideSettings(const RideSettings& settings);

    IMenuInput& menuInput() { return *menu; }
    // The menu that receives pointer and F1 input; null goes back to none.
    void attachMenu(IMenuInput* m) { menu = m != nullptr ? m : &noMenu; }
    int32_t frameCounter() const { return frames; }

    CRideTrack* track() { return ride; }
    // The world's objects while the director exists (null before initialize).
    WorldObjects& worldObjects() { return world; }

    // The dragon's breath, the frequency bars and the winged flock (null before initialize).
    struct DragonParts {
        BreathStream* breath = nullptr;
        FrequencyBars* bars = nullptr;
        WingFlock* flock = nullptr;
    };
    const DragonParts& dragonObjects() const { return dragonParts; }
    // Whether the flock, the bars, the dragon and its breath take part in the frame (they do
    // unless told otherwise); the frame benchmark compares the world with and without them.
    void showDragonParts(bool shown);
    CBoneModel* dragonModel() const { return models[0]; }

  private:
    // The world (SceneDirectorWorld.cpp): created in a fixed order, drawn in a fixed order,
    // deleted in a fixed order.
    void buildScene();
    void deleteWorld();
    void loadProp(CBoneModel& model, const char* name);
    // The dragon's share of the world (SceneDirectorDragon.cpp), each called at its place in
    // the world's order.
    void createBreath();
    void createBars();
    void createFlock();
    void placeBars();
    void setUpDragon();
    void drawFlock(float dt);
    void drawProp(CBoneModel* model, float drop, float dt);
    void drawBars(float dt);
    void deleteBarsAndFlock();
    void deleteBreath();
    // One cloud's impostor per frame, the clouds taking turns.
    void refreshCloudImpostor();

    float lightPosition[4] = {400.0f, 50.0f, 60.0f, 1.0f};
    int32_t sceneMode = kModeRide;
    CFrameTimer* timer = nullptr;
    int32_t shownSmoothingPercent = -1;
    int32_t shownSpeedPercent = -1;
    int32_t shownViewPoint = 0;
    bool shownHeadTilt = false;
    DWORD lastTickCount = 0;
    int32_t frames = 0;

    bool settingsLoaded = false;
    CDataArchive* archive = nullptr;
    CRideTrack* ride = nullptr;
    BlockMusicSource musicSource;
    // The dragon, the two fountain pots, the bars platform and the fire-ball pole.
    static constexpr int kModels = 5;
    CBoneModel* models[kModels] = {};
    DragonParts dragonParts;
    bool dragonPartsShown = true;
    WorldObjects world;
    int nextImpostor = 0;

    NullMenuInput noMenu;
    IMenuInput* menu = &noMenu;
};
