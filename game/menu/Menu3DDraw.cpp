// Drawing the overlay, the open pages, the knobs and the start-up splash.
#include "game/assets/TextureFont.h"
#include "game/assets/TextureManager.h"
#include "game/menu/Menu3D.h"
#include "game/music/MusicState.h"
#include "platform/base/WorkingSet.h"

#include <cstdio>

namespace {

// Texture rows of the two-state corner buttons: normal, and while the pointer is over them.
constexpr float kNormalRows[2] = {0.0f, 0.5f};
constexpr float kMenuF1HotRows[2] = {0.4f, 1.0f};
constexpr float kExitEscHotRows[2] = {0.45f, 0.9f};

// Knob numbers are printed at twice the font's size in overlay units, so that they read at
// the size of the menu's labels.
constexpr float kKnobTextScale = 2.0f;
// The guard switch's caption, three times the font's size, left of its check mark's column.
constexpr float kSwitchTextScale = 3.0f;
constexpr float kSwitchTextLeft = 262.0f;

constexpr const char* kWarningGuardOn[] = {
    "PHOTOSENSITIVITY WARNING: the ride flashes with the music.",
    "The flash guard is on: at most 3 flashes a second.",
    "To switch it off: F1 > Wave > Flash guard, then Save.",
};
constexpr const char* kWarningGuardOff[] = {
    "PHOTOSENSITIVITY WARNING: the ride flashes with the music.",
    "The flash guard is OFF: flashes are not limited.",
    "To switch it on: F1 > Wave > Flash guard, then Save.",
};

// The overlay is drawn over whatever the frame holds, in drawing order.
void beginFlat() {
    glPushAttrib(GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
}

void endFlat() {
    glPopAttrib();
}

} // namespace

void C3DMenu::drawOverlay() {
    loadGroup(kGroupClosed);
    pushOverlay();
    beginFlat();
    const float x = pointerPos[0], y = pointerPos[1];
    const float* f1 = elements[MenuF1].hit(x, y) ? kMenuF1HotRows : kNormalRows;
    elements[MenuF1].draw(f1[0], f1[1]);
    const float* esc = elements[ExitEsc].hit(x, y) ? kExitEscHotRows : kNormalRows;
    elements[ExitEsc].draw(esc[0], esc[1]);
    if (noMusicData) {
        elements[NoMusicStreaming].hover(x, y);
        elements[NoMusicStreaming].draw();
    }
    elements[WMPLogo].hover(x, y);
    elements[WMPLogo].draw();
    endFlat();
    popOverlay();
    handleClick();
}

void C3DMenu::drawPage() {
    if (currentPage == kClosed) {
        return;
    }
    loadGroup(kGroupOpen);
    pushOverlay();
    beginFlat();
    elements[Background].draw();
    if (currentPage <= kOverview) {
        elements[Title].draw();
    }
    handleClick();
    const float x = pointerPos[0], y = pointerPos[1];
    auto button = [&](Element e) {
        elements[e].hover(x, y);
        elements[e].draw();
    };
    switch (currentPage) {
    case kMain:
        loadGroup(kGroupMain);
        for (Element e : {OverView, ViewPoint, Wave, Help, QuickSetup}) {
            button(e);
        }
        break;
    case kViewPoints:
        loadGroup(kGroupViewPoints);
        elements[HyKey].draw();
        for (Element e :
             {Forward, Near, Mid, Far, Backward, Center, ViewCenter, ViewFreqBars, Cycle}) {
            button(e);
            elements[e].drawCheck(elements[CheckMark]);
        }
        break;
    case kWave:
        loadGroup(kGroupWave);
        elements[SmoothRough].draw();
        elements[SlowFast].draw();
        drawKnob(KnobSmoothing, SmoothRough);
        drawKnob(KnobSpeed, SlowFast);
        for (Element e : {HeadTilt, Dragon}) {
            button(e);
            elements[e].drawCheck(elements[CheckMark]);
        }
        drawGuardSwitch();
        break;
    case kOverview:
        loadGroup(kGroupOverview);
        button(Explanation);
        break;
    case kSetup1:
    case kSetup2:
    case kSetup3:
        loadGroup(kGroupSetup);
        elements[QuickSetupHeading].draw();
        for (Element e : {CircleOne, CircleTwo, CircleThree}) {
            button(e);
        }
        if (currentPage != kSetup1) {
            button(Previous);
        }
        if (currentPage != kSetup3) {
            button(Next);
        }
        if (currentPage == kSetup1) {
            elements[Step1RunWMP].draw();
            button(Step1Text);
        } else if (currentPage == kSetup2) {
            elements[Step2SelectPlugin].draw();
            elements[Step2Text].draw();
            elements[WMPFindPlugin].draw();
        } else {
            elements[Step3PlayMusic].draw();
            elements[Step3Text].draw();
            elements[WMPTCPlaying].draw();
        }
        break;
    default:
        break;
    }
    if (currentPage >= kViewPoints) {
        button(Menu1);
    }
    if (currentPage != kClosed) {
        button(Save);
        button(Cancel);
    }
    endFlat();
    popOverlay();
}

void C3DMenu::drawKnob(Element knob, Element bar) {
    MenuElement& k = elements[knob];
    const float x = pointerPos[0], y = pointerPos[1];
    // The hand cursor while the pointer is over a knob.
    bool over = k.hit(x, y);
    if (over && !k.hovering) {
        k.hovering = true;
        if (cursor == 0 || cursor == 2) {
            cursor = 3;
        }
    } else if (!over && k.hovering && !k.dragging) {
        k.hovering = false;
        if (cursor == 1 || cursor == 3) {
            cursor = 2;
        }
    }
    if (k.dragging) {
        k.position[0] = x > kKnobRight ? kKnobRight : x < kKnobLeft ? kKnobLeft : x;
    }
    // Drawn a little below the bar's centre line, in front of it.
    MenuElement drawn = k;
    drawn.position[1] = elements[bar].position[1] - 23.0f;
    drawn.position[2] = -1.0f;
    drawn.draw();
    if (hudFont != nullptr) {
        char number[16];
        std::snprintf(number, sizeof number, "%d",
                      static_cast<int>((k.position[0] - kKnobLeft) * 0.232f));
        glPushMatrix();
        glTranslatef(k.position[0] + 5.0f, drawn.position[1] - 10.0f, 0.0f);
        glScalef(kKnobTextScale, kKnobTextScale, 1.0f);
        hudFont->print(0, 0, number, 0, 0, 1);
        glPopMatrix();
    }
}

void C3DMenu::drawGuardSwitch() {
    MenuElement& e = elements[FlashGuardSwitch];
    e.hover(pointerPos[0], pointerPos[1]);
    if (hudFont != nullptr) {
        float scale = kSwitchTextScale * e.hoverScale[1];
        glPushMatrix();
        glTranslatef(kSwitchTextLeft, e.position[1] - 8.0f * scale, 0.0f);
        glScalef(scale, scale, 1.0f);
        hudFont->print(0, 0, "Flash guard", 0, 0, 1);
        glPopMatrix();
    }
    e.drawCheck(elements[CheckMark]);
}

const char* const* C3DMenu::warningLines(bool guardOn, int& count) {
    count = 3;
    return guardOn ? kWarningGuardOn : kWarningGuardOff;
}

void C3DMenu::drawSplashWarning() {
    if (hudFont == nullptr) {
        return;
    }
    int count = 0;
    const char* const* lines = warningLines(host.flashGuardOn(), count);
    // Across the foot of the splash, in the font's 640 x 480 space.
    for (int i = 0; i < count; ++i) {
        hudFont->print(20, 62 - 18 * i, lines[i], 0, 1, 1);
    }
}

void C3DMenu::releaseSplash() {
    for (int e = SplashTitle; e <= SplashRide; ++e) {
        MenuElement& el = elements[e];
        if (el.texture >= 0) {
            textureManager.releaseTexture(el.texture);
            el.texture = -1;
        }
    }
    groupLoaded[kGroupSplash] = false;
    // The splash's images were the largest the game holds; their pages go back now.
    SetProcessWorkingSetSize(GetCurrentProcess(), SIZE_T(-1), SIZE_T(-1));
}

bool C3DMenu::drawSplash(float dt) {
    splashHold -= dt;
    if (splashHold <= 0.0f) {
        splashHold = 0.0f;
        splashFade -= kSplashFade * dt;
    }
    if (splashFade <= 0.0f) {
        splashFade = 0.0f;
        splashHold = 10.0f;
        releaseSplash();
        return false;
    }
    loadGroup(kGroupSplash);
    pushOverlay();
    beginFlat();
    // The painted scene first, the lettering over it.
    for (Element e : {SplashDragon, SplashTitle, Splash2Dot0, SplashBrightfold, SplashDotCom,
                      SplashNotice, SplashRide}) {
        elements[e].alpha = splashFade;
        elements[e].draw();
    }
    endFlat();
    popOverlay();
    if (warnOnSplash) {
        drawSplashWarning();
    }
    return true;
}
