// Full screen for an SDL window at the desktop's resolution, which also holds where no window
// manager runs: the window then takes its display's bounds itself, without its frame. The
// window's place is kept while it is full screen and given back when it leaves, whether
// through setSdlFullScreen or through the window manager's own request (followFullScreen).
#pragma once

#include <SDL.h>

namespace plat {

struct WindowedPlace {
    int x = 0, y = 0, width = 0, height = 0;
    bool held = false; // the window is (or was made) full screen and has its place kept
};

// Enters or leaves full screen; false with SDL's error when the desktop refused.
bool setSdlFullScreen(SDL_Window* window, bool on, WindowedPlace& place);
// To be called on the window's size and state events: when the window manager has taken the
// window out of full screen, gives it back its frame and its place.
void followFullScreen(SDL_Window* window, WindowedPlace& place);

} // namespace plat
