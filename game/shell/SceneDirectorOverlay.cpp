// The director's text and menu: the archive, the HUD font and the 3D menu, the in-ride
// overlay with the title and status lines, the menu page, the start-up splash and the frame
// rate.
#include "game/music/MusicState.h"
#include "game/shell/Controls.h"
#include "game/shell/GameWindow.h"
#include "game/shell/SceneDirector.h"
#include "game/shell/WindowRecord.h"

void CSceneDirector::createOverlay() {
    // The font's texture comes from the archive, so the archive opens first.
    archive = new CDataArchive();
    dataArchive = archive;
    font = new CTextureFont();
    hudFont = font;
    overlayMenu = new C3DMenu(*this);
    attachMenu(overlayMenu);
    splashShowing = true;
}

void CSceneDirector::destroyOverlay() {
    attachMenu(nullptr);
    hudFont = nullptr;
    delete font;
    font = nullptr;
    // The menu writes the settings file from this director's settings as it goes.
    delete overlayMenu;
    overlayMenu = nullptr;
    dataArchive = nullptr;
    delete archive;
    archive = nullptr;
}

void CSceneDirector::drawRideOverlay(float dt) {
    FontPrinter printer(font);
    if (overlayMenu != nullptr && overlay.menu) {
        overlayMenu->drawOverlay();
    }
    // The head-tilt message the controls printed before the scene.
    controlsText.flush(overlay.status ? &printer : nullptr);
    if (!splashShowing) {
        if (overlay.title) {
            hudText.drawTitleLine(dt, musicTitle, printer);
        }
        if (overlay.status) {
            hudText.drawStatusLines(dt, *controls, rideSmoothing, rideSpeed, shown, printer);
        }
    }
}

void CSceneDirector::drawMenuPage() {
    controlsText.flush(nullptr);
    if (overlayMenu != nullptr) {
        overlayMenu->drawPage();
    }
}

void CSceneDirector::drawSplashAndFrameRate(float dt) {
    if (splashShowing && overlayMenu != nullptr && !overlayMenu->drawSplash(dt)) {
        splashShowing = false;
        controls->statusRefresh = true;
    }
    if (showFps) {
        FontPrinter printer(font);
        hudText.drawFrameRate(dt, frames, printer);
    }
}

void CSceneDirector::confirmExit() {
    if (askExitQuestion(mainWindowHandle)) {
        requestQuit(&windowRecord);
    }
}

HWND CSceneDirector::ownerWindow() const {
    return mainWindowHandle;
}
