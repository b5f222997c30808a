// What the 3D menu needs from the game around it: the ride settings it edits, the switch
// between the ride and a full-screen menu page, the exit question, the window that owns the
// menu's message boxes and help viewer, and the flash guard's switch.
#pragma once

#include "game/ride/RideSettings.h"
#include "platform/base/WinTypes.h"

#include <cstdint>

class IMenuHost {
  public:
    virtual ~IMenuHost() = default;
    virtual RideSettings getRideSettings() const = 0;
    virtual void setRideSettings(const RideSettings& settings) = 0;
    // 1 while a menu page is shown (the ride pauses), 0 when the menu closes.
    virtual void setMode(int32_t mode) = 0;
    // Asks "Do You Want To Exit Tone Crest?" and on Yes ends the game's loop.
    virtual void confirmExit() = 0;
    virtual HWND ownerWindow() const = 0;
    // The flash guard's switch (on unless the host says otherwise; a host without a guard
    // ignores it).
    virtual bool flashGuardOn() const { return true; }
    virtual void setFlashGuard(bool) {}
};
