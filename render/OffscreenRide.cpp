#include "render/OffscreenRide.h"

#include "game/shell/GameWindow.h"
#include "game/shell/ViewSetup.h"
#include "platform/time/Time.h"
#include "platform/window/GLContext.h"
#include "platform/window/Offscreen.h"
#include "platform/window/Window.h"
#include "render/RenderOptions.h"

#include <GL/gl.h>

#include <cstring>

namespace {

// Counts of the virtual clock per frame: each frame is exactly this many counts of
// fps x countsPerFrame a second.
constexpr long long kCountsPerFrame = 1000000;

} // namespace

OffscreenRide::~OffscreenRide() {
    if (director != nullptr) {
        // The menu writes the settings files from the director's settings as it ends: the
        // ones it read, not the render's.
        director->setRideSettings(saved);
        director->setFlashGuard(savedGuard);
        sceneDirector = nullptr;
        delete director;
    }
    if (windowMade) {
        destroyGameWindow(&windowRecord);
        mainWindowHandle = nullptr;
    }
}

bool OffscreenRide::open(const RenderOptions& o, const std::string& songTitle, std::string& error) {
    useOffscreenDisplay();
    countsPerFrame = kCountsPerFrame;
    useVirtualClock(static_cast<LONGLONG>(o.fps) * kCountsPerFrame);
    std::strncpy(title, songTitle.c_str(), sizeof title - 1);

    static char instanceToken;
    prepareWindowRecord(&keys, &appInfo, reinterpret_cast<HINSTANCE>(&instanceToken));
    windowRecord.setup.width = o.width;
    windowRecord.setup.height = o.height;
    const std::string size = std::to_string(o.width) + " x " + std::to_string(o.height);
    if (!registerWindowClass(&appInfo) || !createGameWindow(&windowRecord)) {
        error = "the GL cannot make a " + size + " picture off screen";
        return false;
    }
    windowMade = true;
    mainWindowHandle = windowRecord.window;
    reshapeView(o.width, o.height);
    GLint limits[2] = {0, 0};
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, limits);
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (o.width > limits[0] || o.height > limits[1] || viewport[2] != o.width ||
        viewport[3] != o.height) {
        error = "the GL cannot make a " + size + " picture off screen (at most " +
                std::to_string(limits[0]) + " x " + std::to_string(limits[1]) + ")";
        return false;
    }
    if (!block.Create()) {
        error = "cannot make the music block";
        return false;
    }
    unsigned char silence[2][1024] = {};
    block.Write(silence, title);

    director = new CSceneDirector;
    sceneDirector = director;
    director->setRandomSeed(o.seed);
    if (!director->initialize() || director->track() == nullptr) {
        error = "cannot start the ride (is data/tcdata.d beside tcrender?)";
        return false;
    }
    saved = director->getRideSettings();
    RideSettings ride = saved;
    ride.viewPoint = o.viewPoint;
    ride.dragonOn = o.dragon;
    director->setRideSettings(ride);
    // A render is guarded unless told otherwise, whatever the game's own switch says.
    savedGuard = director->flashGuardOn();
    director->setFlashGuard(o.flashGuard);
    CSceneDirector::RideOverlay overlay;
    overlay.menu = false;
    overlay.status = false;
    overlay.title = !o.clean;
    director->setRideOverlay(overlay);
    // No splash: it sees its end on the first frame.
    if (C3DMenu* menu = director->menu3D()) {
        menu->drawSplash(1000.0f);
    }
    return true;
}

void OffscreenRide::drawFrame(const unsigned char (*frequency)[1024]) {
    block.Write(frequency, title);
    advanceVirtualClock(countsPerFrame);
    director->frame();
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&msg);
    }
}

long long OffscreenRide::framesSoftened() const {
    return director != nullptr ? director->flashGuard().framesSoftened() : 0;
}
