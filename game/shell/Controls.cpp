#include "game/shell/Controls.h"

#include "game/shell/TextPrinter.h"
#include "platform/time/Time.h"

#include <cstring>

CControls controlsObject;
CControls* controls = &controlsObject;
unsigned toggleClock = 0;
DWORD previousControlsTime = 0;

const char* viewPointName(int32_t code) {
    switch (code) {
    case kViewLookFromCenter:
        return "Look From Center";
    case kViewBackward:
        return "Backward";
    case kViewForwardNear:
        return "Forward Near";
    case kViewFrequencyBars:
        return "Freqency Bars";
    case kViewLookAtCenter:
        return "Look At Center";
    case kViewForwardMid:
        return "Forward Mid";
    case kViewForwardFar:
        return "Forward Far";
    default:
        // The ride shows the cycle for any code no view point uses, so the status line names
        // what is shown.
        return "Cycle Through View Points";
    }
}

CControls::CControls() {
    for (KeyBinding& k : keys) {
        k = KeyBinding{};
    }
    statusRefresh = false;
    headTilt = false;
    bindDefaultKeys();
    statusText[0] = '\0';
}

void CControls::bindDefaultKeys() {
    keys['A'].action = kViewFrequencyBars;
    keys['S'].action = kViewLookAtCenter;
    keys['D'].action = kViewForwardNear;
    keys['F'].action = kViewForwardMid;
    keys['G'].action = kViewForwardFar;
    keys['R'].action = kViewCycle;
    keys['H'].action = kViewBackward;
    keys['B'].action = kViewLookFromCenter;
    keys['Y'].action = kActionToggleHeadTilt;
    keys['V'].action = kActionToggleDragon;
    keys['Q'].action = kActionStatusRefresh;
}

void CControls::setKeyDown(unsigned virtualKey, bool down) {
    if (virtualKey < 256) {
        keys[virtualKey].down = down;
    }
}

void CControls::processControls(ITextPrinter* hud) {
    processControlsAt(timeGetTime(), hud);
}

void CControls::processControlsAt(DWORD nowMs, ITextPrinter* hud) {
    DWORD elapsed = nowMs - previousControlsTime;
    toggleClock = elapsed >= 1000 ? 1000 : toggleClock + elapsed;
    previousControlsTime = nowMs;
    if (toggleClock >= 1000) {
        toggleClock = 1000;
    } else if (statusText[0] != '\0' && hud != nullptr) {
        hud->printLine(hudlayout::kToggleTextX, hudlayout::kToggleTextY, statusText);
    }
    for (const KeyBinding& k : keys) {
        if (!k.down || k.action < 0) {
            continue;
        }
        switch (k.action) {
        case kActionToggleHeadTilt:
            if (toggleClock >= kToggleDebounceMs) {
                toggleClock = 0;
                headTilt = !headTilt;
                std::strcpy(statusText, headTilt ? "HEADTILT ON" : "HEADTILT OFF");
            }
            break;
        case kActionToggleDragon:
            if (toggleClock >= kToggleDebounceMs) {
                toggleClock = 0;
                dragonOn = !dragonOn;
                statusText[0] = '\0';
            }
            break;
        case kActionStatusRefresh:
            statusRefresh = true;
            break;
        default:
            viewPoint = k.action;
            statusText[0] = '\0';
            break;
        }
    }
}
