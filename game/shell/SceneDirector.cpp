#include "game/shell/SceneDirector.h"

#include "game/music/MusicState.h"
#include "game/shell/Controls.h"
#include "game/shell/FatalError.h"
#include "game/shell/debug/DebugLog.h"
#include "platform/com/Com.h"
#include "platform/time/Time.h"

#include <GL/gl.h>

#include <cstdlib>
#include <ctime>
#include <new>
#include <stdexcept>
#include <string>

CRideTrack* rideTrack = nullptr;

CSceneDirector::CSceneDirector() {
    CoInitialize(nullptr);
}

CSceneDirector::~CSceneDirector() {
    delete timer;
    timer = nullptr;
    deleteWorld();
    rideTrack = nullptr;
    delete ride;
    ride = nullptr;
    // The HUD font, the archive and the 3D menu, whose destructor writes the settings file.
    destroyOverlay();
    CoUninitialize();
}

bool CSceneDirector::initialize(WorldBuild build) {
    bool opened = false;
    runGuarded([&] {
        lightPosition[0] = 400.0f;
        lightPosition[1] = 50.0f;
        lightPosition[2] = 60.0f;
        lightPosition[3] = 1.0f;

        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClearDepth(1.0);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glShadeModel(GL_SMOOTH);
        glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
        glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
        glCullFace(GL_BACK);
        glEnable(GL_CULL_FACE);

        // The model-view matrix is the identity here, so the light keeps its place relative
        // to the viewer.
        const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        const GLfloat ambient[4] = {0.5f, 0.5f, 0.5f, 1.0f};
        glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
        glLightfv(GL_LIGHT0, GL_SPECULAR, white);
        glLightfv(GL_LIGHT0, GL_AMBIENT, white);
        glMaterialfv(GL_FRONT, GL_AMBIENT, white);
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);

        // A timer that cannot count would hold the pacing loop forever; the tick count
        // serves instead.
        timer = new (std::nothrow) CFrameTimer;
        if (timer != nullptr && !timer->initTimer()) {
            delete timer;
            timer = nullptr;
        }
        if (timer != nullptr) {
            timer->splitSeconds(1);
        }
        lastTickCount = GetTickCount();
        gameTimer.initTimer();

        const GLubyte* renderer = glGetString(GL_RENDERER);
        debugLog << " GL_RENDERER = " << (renderer ? reinterpret_cast<const char*>(renderer) : "")
                 << std::endl;

        std::srand(seedFixed ? fixedSeed : static_cast<unsigned>(std::time(nullptr)));

        shown = ShownStatus{};

        // The archive, the HUD font and the 3D menu, whose construction reads the settings
        // file.
        createOverlay();
        sceneMode = kModeRide;

        ride = new CRideTrack(rideSpeed, musicSource);
        rideTrack = ride;

        if (build == WorldBuild::Now) {
            buildScene();
        }
        opened = openMusicBlock();
    });
    return opened;
}

void CSceneDirector::frame() {
    // A part of the world, in the time the pacing would otherwise sleep.
    if (!worldBuilt()) {
        runGuarded([&] {
            if (buildWorldPart()) {
                debugLog << " first frame with the world: " << frames + 1 << std::endl;
            }
        });
    }
    float dt = paceFrame(timer, &lastTickCount, GetTickCount());
    render(dt);
}

void CSceneDirector::render(float dt) {
    runGuarded([&] {
        ++frames;
        const bool ride = sceneMode == kModeRide && worldBuilt();
        if (ride) {
            refreshCloudImpostor();
        }
        controls->processControls(&controlsText);
        if (ride) {
            glClear(GL_DEPTH_BUFFER_BIT);
            renderScene(dt);
            drawRideOverlay(dt);
        } else if (sceneMode == kModeRide) {
            // The splash over black while the world is being built.
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        } else {
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            drawMenuPage();
        }
        drawSplashAndFrameRate(dt);
        // The finished frame, text and menu included, is what the viewer sees.
        guard.guardBackBuffer(dt);
        glFlush();
    });
}

void CSceneDirector::setMode(int32_t mode) {
    sceneMode = mode;
}

RideSettings CSceneDirector::getRideSettings() const {
    return RideSettings{controls->viewPoint, controls->dragonOn, controls->headTilt,
                        rideSmoothing,       rideSpeedChanged,   rideSpeed};
}

void CSceneDirector::setRideSettings(const RideSettings& s) {
    controls->viewPoint = s.viewPoint;
    controls->dragonOn = s.dragonOn;
    controls->headTilt = s.headTilt;
    rideSmoothing = s.smoothing;
    rideSpeedChanged = s.speedChanged;
    rideSpeed = s.speed;
}
