// The one controls object: key bindings, the ride camera's view point, the head-tilt and
// dragon switches, the status-line refresh request and the short status text. The window
// procedure sets the keys' down flags; processControls turns held keys into actions once a
// frame.
#pragma once

#include "platform/base/WinTypes.h"

#include <cstdint>

class ITextPrinter;

// View point codes of the ride camera.
enum ViewPointCode : int32_t {
    kViewLookFromCenter = 0,
    kViewBackward = 1,
    kViewForwardNear = 4,
    kViewFrequencyBars = 20,
    kViewLookAtCenter = 21,
    kViewForwardMid = 23,
    kViewForwardFar = 24,
    kViewCycle = 25,
};

// Name shown on the status line for a view point code. A code no view point uses shows the
// cycle, and is named so.
const char* viewPointName(int32_t code);

struct KeyBinding {
    int32_t action = -1;
    bool down = false;
};

class CControls {
  public:
    // Actions of the key table besides setting a view point (whose action is the code).
    static constexpr int32_t kActionToggleHeadTilt = 100;
    static constexpr int32_t kActionToggleDragon = 101;
    static constexpr int32_t kActionStatusRefresh = 102;
    // Milliseconds the Y and V toggles wait between flips.
    static constexpr unsigned kToggleDebounceMs = 250;

    CControls();

    void bindDefaultKeys();
    // Once a frame: advances the toggle clock to now (multimedia timer milliseconds), draws
    // the status text for a second after a toggle, and applies every held key's action.
    void processControls(ITextPrinter* hud);
    void processControlsAt(DWORD nowMs, ITextPrinter* hud);
    // Down flag of a virtual key; codes above 255 are ignored.
    void setKeyDown(unsigned virtualKey, bool down);

    char statusText[32] = {};
    int32_t viewPoint = kViewCycle;
    bool headTilt = false;
    bool dragonOn = true;
    bool statusRefresh = false;
    KeyBinding keys[256];
};

// The controls object and the pointer the other parts reach it through.
extern CControls controlsObject;
extern CControls* controls;

// Milliseconds since the last Y or V flip, capped at 1000, and the multimedia-timer time of
// the previous processControls call.
extern unsigned toggleClock;
extern DWORD previousControlsTime;
