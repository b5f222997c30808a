// Opening, saving and cancelling, the pointer, and what a click does on each page.
#include "game/menu/Menu3D.h"

#include "game/assets/TextureManager.h"
#include "game/menu/FlashGuardFile.h"
#include "game/menu/SettingsFile.h"
#include "game/music/MusicState.h"

#include <GL/glu.h>

#include <cmath>

namespace {

constexpr float kOverlaySize = 1024.0f;

// The guard's file in the folder of the settings file.
std::string besideSettings(const char* settingsPath) {
    std::string path = settingsPath;
    size_t slash = path.find_last_of('/');
    return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) +
           flashguardfile::kName;
}

// The view-point buttons and their codes, in the order Save looks for a selected one.
struct ViewPointButton {
    C3DMenu::Element element;
    int32_t code;
};
constexpr ViewPointButton kViewPointButtons[] = {
    {C3DMenu::Near, viewpoint::kForwardNear},
    {C3DMenu::Mid, viewpoint::kForwardMid},
    {C3DMenu::Far, viewpoint::kForwardFar},
    {C3DMenu::ViewFreqBars, viewpoint::kFrequencyBars},
    {C3DMenu::ViewCenter, viewpoint::kLookAtCenter},
    {C3DMenu::Backward, viewpoint::kBackward},
    {C3DMenu::Center, viewpoint::kLookFromCenter},
    {C3DMenu::Cycle, viewpoint::kCycle},
};

} // namespace

C3DMenu::C3DMenu(IMenuHost& h, const char* settingsPath)
    : host(h), settingsFile(settingsPath), guardFile(besideSettings(settingsPath)) {
    currentPage = kClosed;
    clicked = false;
    layout();
    working = settingsfile::defaults();
    host.setRideSettings(working);
    if (settingsfile::load(settingsFile, working)) {
        host.setRideSettings(working);
    } else {
        working = settingsfile::defaults();
    }
    saved = working;
    flashguardfile::State guard = flashguardfile::load(guardFile.c_str());
    host.setFlashGuard(guard.guardOn);
    warnOnSplash = !guard.exists || !guard.guardOn;
    savedGuard = guard.guardOn;
    loadGroup(kGroupClosed);
}

C3DMenu::~C3DMenu() {
    settingsfile::save(settingsFile, host.getRideSettings());
    flashguardfile::save(guardFile.c_str(), host.flashGuardOn());
    for (MenuElement& e : elements) {
        if (e.texture >= 0) {
            textureManager.releaseTexture(e.texture);
            e.texture = -1;
        }
    }
}

void C3DMenu::pushOverlay() {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, kOverlaySize, 0, kOverlaySize, -1, 105);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

void C3DMenu::popOverlay() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

void C3DMenu::pointerTest(int x, int y) {
    pushOverlay();
    GLdouble model[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    popOverlay();
    GLdouble ox = 0, oy = 0, oz = 0;
    // Window y runs down, GL's up. A viewport without area or matrices that cannot be
    // inverted leave the pointer where it was.
    double winY = static_cast<double>(viewport[3]) - static_cast<double>(y);
    if (viewport[2] <= 0 || viewport[3] <= 0 ||
        gluUnProject(x, winY, 0.0, model, projection, viewport, &ox, &oy, &oz) != GL_TRUE ||
        !std::isfinite(ox) || !std::isfinite(oy)) {
        return;
    }
    setPointer(static_cast<float>(ox), static_cast<float>(oy));
    pointerPos[2] = static_cast<float>(oz);
}

void C3DMenu::setPointer(float x, float y) {
    pointerPos[0] = x;
    pointerPos[1] = y;
}

void C3DMenu::buttonReleased() {
    elements[KnobSmoothing].dragging = 0;
    elements[KnobSpeed].dragging = 0;
}

void C3DMenu::placeKnobs() {
    knobPlacedX[0] = working.smoothing * kKnobPlace + kKnobLeft;
    knobPlacedX[1] = working.speed * kKnobPlace + kKnobLeft;
    elements[KnobSmoothing].position[0] = knobPlacedX[0];
    elements[KnobSpeed].position[0] = knobPlacedX[1];
}

void C3DMenu::open() {
    working = host.getRideSettings();
    saved = working;
    for (const ViewPointButton& b : kViewPointButtons) {
        elements[b.element].selected = b.code == working.viewPoint ? 1 : 0;
    }
    elements[HeadTilt].selected = working.headTilt ? 1 : 0;
    elements[Dragon].selected = working.dragonOn ? 1 : 0;
    savedGuard = host.flashGuardOn();
    elements[FlashGuardSwitch].selected = savedGuard ? 1 : 0;
    elements[KnobSmoothing].dragging = 0;
    elements[KnobSpeed].dragging = 0;
    placeKnobs();
    currentPage = kMain;
    host.setMode(1);
}

float C3DMenu::knobValue(Element knob, float placedValue) const {
    float x = elements[knob].position[0];
    // A knob left where Open put it keeps the value exactly; the knob's position cannot
    // represent most values, and recomputing them would drift a little on every Save.
    float placedX = knobPlacedX[knob == KnobSmoothing ? 0 : 1];
    if (x == placedX) {
        return placedValue;
    }
    return (x - kKnobLeft) * kKnobValue;
}

void C3DMenu::save() {
    for (const ViewPointButton& b : kViewPointButtons) {
        if (elements[b.element].selected) {
            working.viewPoint = b.code;
            break;
        }
    }
    working.dragonOn = elements[Dragon].selected != 0;
    working.headTilt = elements[HeadTilt].selected != 0;
    working.smoothing = knobValue(KnobSmoothing, working.smoothing);
    float speed = knobValue(KnobSpeed, working.speed);
    if (speed != working.speed) {
        working.speed = speed;
        working.speedChanged = true;
    }
    host.setRideSettings(working);
    // The guard's switch is kept at once: it matters most when the game does not end well.
    bool guardOn = elements[FlashGuardSwitch].selected != 0;
    if (guardOn != host.flashGuardOn()) {
        host.setFlashGuard(guardOn);
        flashguardfile::save(guardFile.c_str(), guardOn);
    }
    currentPage = kClosed;
    host.setMode(0);
}

void C3DMenu::cancel() {
    host.setFlashGuard(savedGuard);
    host.setRideSettings(saved);
    working = saved;
    currentPage = kClosed;
    host.setMode(0);
}

void C3DMenu::connectToPlayer() {
    ::connectToPlayer();
}

void C3DMenu::selectViewPoint(Element e) {
    for (const ViewPointButton& b : kViewPointButtons) {
        elements[b.element].selected = 0;
    }
    elements[e].selected = 1;
}

void C3DMenu::handleClick() {
    if (!clicked) {
        return;
    }
    float x = pointerPos[0], y = pointerPos[1];
    if (currentPage == kClosed) {
        handleClosedClick(x, y);
    } else {
        handlePageClick(x, y);
    }
    clicked = false;
}

void C3DMenu::handleClosedClick(float x, float y) {
    if (elements[MenuF1].hit(x, y)) {
        open();
    }
    if (elements[ExitEsc].hit(x, y)) {
        host.confirmExit();
    }
    if (noMusicData && elements[NoMusicStreaming].hit(x, y)) {
        open();
        currentPage = kSetup1;
    }
    if (elements[WMPLogo].hit(x, y)) {
        connectToPlayer();
    }
}

void C3DMenu::handlePageClick(float x, float y) {
    auto on = [&](Element e) { return elements[e].hit(x, y); };
    // The page before this click decides which buttons count; a button that changes the page
    // does not pass the click on to the new page's buttons.
    const int32_t page = currentPage;
    switch (page) {
    case kMain:
        if (on(ViewPoint)) {
            currentPage = kViewPoints;
        }
        if (on(Wave)) {
            currentPage = kWave;
        }
        if (on(OverView)) {
            currentPage = kOverview;
        }
        if (on(QuickSetup)) {
            currentPage = kSetup1;
        }
        if (on(Help)) {
            help.show(host.ownerWindow());
        }
        break;
    case kViewPoints:
        for (Element e : {Near, Mid, Far, Backward, Center, ViewCenter, ViewFreqBars, Cycle}) {
            if (on(e)) {
                selectViewPoint(e);
            }
        }
        break;
    case kWave:
        if (on(HeadTilt)) {
            elements[HeadTilt].selected = !elements[HeadTilt].selected;
        }
        if (on(Dragon)) {
            elements[Dragon].selected = !elements[Dragon].selected;
        }
        if (on(FlashGuardSwitch)) {
            elements[FlashGuardSwitch].selected = !elements[FlashGuardSwitch].selected;
        }
        if (on(KnobSmoothing)) {
            elements[KnobSmoothing].dragging = 1;
        }
        if (on(KnobSpeed)) {
            elements[KnobSpeed].dragging = 1;
        }
        break;
    case kSetup1:
        if (on(CircleTwo) || on(Next)) {
            currentPage = kSetup2;
        }
        if (on(CircleThree)) {
            currentPage = kSetup3;
        }
        if (on(Step1Text)) {
            connectToPlayer();
        }
        break;
    case kSetup2:
        if (on(CircleOne) || on(Previous)) {
            currentPage = kSetup1;
        }
        if (on(CircleThree) || on(Next)) {
            currentPage = kSetup3;
        }
        break;
    case kSetup3:
        if (on(CircleOne)) {
            currentPage = kSetup1;
        }
        if (on(CircleTwo) || on(Previous)) {
            currentPage = kSetup2;
        }
        break;
    default:
        break;
    }
    if (page >= kViewPoints && page <= kSetup3 && on(Menu1)) {
        currentPage = kMain;
    }
    if (on(Cancel)) {
        cancel();
    }
    if (on(Save)) {
        save();
    }
}
