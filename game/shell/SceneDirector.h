// The game's application object: fixed GL state and light, the world's objects, and the
// order of everything a frame does, in ride mode (0) and menu-page mode (1).
#pragma once

#include "game/assets/DataArchive.h"
#include "game/assets/TextureFont.h"
#include "game/assets/bone/BoneModel.h"
#include "game/menu/Menu3D.h"
#include "game/menu/MenuHost.h"
#include "game/menu/MenuInput.h"
#include "game/ride/RideSettings.h"
#include "game/ride/RideTrack.h"
#include "game/safety/GLFlashGuard.h"
#include "game/shell/FrameTimer.h"
#include "game/shell/Hud.h"
#include "game/world/BreathStream.h"
#include "game/world/FrequencyBars.h"
#include "game/world/WingFlock.h"
#include "game/world/WorldObjects.h"

#include <cstdint>

// The ride track while the director exists.
extern CRideTrack* rideTrack;

class CSceneDirector : public IMenuHost {
  public:
    static constexpr int32_t kModeRide = 0;
    static constexpr int32_t kModeMenuPage = 1;

    // Initialises COM for the thread.
    CSceneDirector();
    ~CSceneDirector() override;
    CSceneDirector(const CSceneDirector&) = delete;
    CSceneDirector& operator=(const CSceneDirector&) = delete;

    // When the world is built: all of it in initialize, or a part before each frame while the
    // start-up splash shows (the first frame then shows the splash over black at once).
    enum class WorldBuild { Now, WhileSplashShows };

    // After the window and its first reshape: GL state, light, timers, the world (or, with
    // WhileSplashShows, none of it yet); returns whether the music block could be opened.
    // Errors end the game ("Exception Caught").
    bool initialize(WorldBuild build = WorldBuild::Now);
    // Whether every part of the world has been built (from initialize with WorldBuild::Now).
    bool worldBuilt() const { return worldPartsBuilt == kWorldParts; }
    // The seed initialize gives the C library's random generator instead of the calendar
    // time; call before initialize (the frame benchmark fixes it to repeat its runs).
    void setRandomSeed(unsigned seed) {
        fixedSeed = seed;
        seedFixed = true;
    }
    // Paces to about 60 frames a second and renders with the measured frame time.
    void frame();
    void render(float dt);
    void renderScene(float dt);
    void setMode(int32_t mode) override;
    int32_t mode() const { return sceneMode; }

    RideSettings getRideSettings() const override;
    void setRideSettings(const RideSettings& settings) override;
    // The exit question of the menu's exit button, owned by the game's window.
    void confirmExit() override;
    HWND ownerWindow() const override;
    bool flashGuardOn() const override { return guard.enabled(); }
    void setFlashGuard(bool on) override { guard.setEnabled(on); }
    // The guard over every frame drawn, on by default (its last step before the frame is shown).
    safety::GLFlashGuard& flashGuard() { return guard; }

    IMenuInput& menuInput() { return *menu; }
    // The menu that receives pointer and F1 input; null goes back to none.
    void attachMenu(IMenuInput* m) { menu = m != nullptr ? m : &noMenu; }
    int32_t frameCounter() const { return frames; }

    CRideTrack* track() { return ride; }
    C3DMenu* menu3D() { return overlayMenu; }
    CHud& hud() { return hudText; }
    bool splashRunning() const { return splashShowing; }
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
    // Captures a cloud's impostor on every frame instead of every other one (each cloud is
    // then at most three frames old instead of six); for comparing with the clouds drawn
    // directly.
    bool captureEveryFrame = false;

    // What the ride draws over its scene: the menu's corner buttons and notices, the title
    // line and the status lines (all of them unless told otherwise). A video of the ride
    // keeps the title line alone, or nothing.
    struct RideOverlay {
        bool menu = true;
        bool title = true;
        bool status = true;
    };
    void setRideOverlay(const RideOverlay& shownParts) { overlay = shownParts; }

  private:
    // The world (SceneDirectorWorld.cpp): created in a fixed order, drawn in a fixed order,
    // deleted in a fixed order.
    void buildScene();
    // Builds the next part of the world; true once the whole world is built.
    bool buildWorldPart();
    void deleteWorld();
    void loadProp(CBoneModel& model, const char* name);
    // The text and menu parts of initialize, render and the destructor
    // (SceneDirectorOverlay.cpp).
    void createOverlay();
    void drawRideOverlay(float dt);
    void drawMenuPage();
    void drawSplashAndFrameRate(float dt);
    void destroyOverlay();
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
    // One cloud's impostor every other frame (or every frame, see captureEveryFrame), the
    // clouds taking turns.
    void refreshCloudImpostor();

    float lightPosition[4] = {400.0f, 50.0f, 60.0f, 1.0f};
    int32_t sceneMode = kModeRide;
    CFrameTimer* timer = nullptr;
    ShownStatus shown;
    DWORD lastTickCount = 0;
    int32_t frames = 0;
    unsigned fixedSeed = 0;
    bool seedFixed = false;

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
    static constexpr int kWorldParts = 7;
    int worldPartsBuilt = 0;

    CTextureFont* font = nullptr;
    C3DMenu* overlayMenu = nullptr;
    CHud hudText;
    bool splashShowing = true;
    // Lines the controls print during their step, drawn over the finished scene.
    DeferredPrinter controlsText;

    safety::GLFlashGuard guard;

    RideOverlay overlay;
    NullMenuInput noMenu;
    IMenuInput* menu = &noMenu;
};
