// The objects the player control hands out besides itself: the full player application and the
// (empty) media and playlist collections.
#pragma once

#include "platform/media/Player.h"

class PlayerControl;

// A new object with one reference, or null when memory runs out.
IWMPPlayerApplication* newPlayerApplication(PlayerControl* control);
IWMPMediaCollection* newMediaCollection();
IWMPPlaylistCollection* newPlaylistCollection();
