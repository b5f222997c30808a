#include "platform/window/FullScreenSdl.h"

namespace plat {
namespace {

void giveBackPlace(SDL_Window* window, WindowedPlace& place) {
    SDL_SetWindowBordered(window, SDL_TRUE);
    if (place.width > 0 && place.height > 0) {
        SDL_SetWindowSize(window, place.width, place.height);
        SDL_SetWindowPosition(window, place.x, place.y);
    }
    place.held = false;
}

} // namespace

bool setSdlFullScreen(SDL_Window* window, bool on, WindowedPlace& place) {
    bool full = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
    if (on) {
        if (full) {
            return true;
        }
        SDL_GetWindowPosition(window, &place.x, &place.y);
        SDL_GetWindowSize(window, &place.width, &place.height);
        place.held = true;
        int display = SDL_GetWindowDisplayIndex(window);
        SDL_Rect bounds{};
        if (SDL_GetDisplayBounds(display < 0 ? 0 : display, &bounds) == 0) {
            // Where no window manager acts on the request below, this is what takes effect.
            SDL_SetWindowBordered(window, SDL_FALSE);
            SDL_SetWindowPosition(window, bounds.x, bounds.y);
            SDL_SetWindowSize(window, bounds.w, bounds.h);
        }
        if (SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
            giveBackPlace(window, place);
            return false;
        }
        return true;
    }
    if (full && SDL_SetWindowFullscreen(window, 0) != 0) {
        return false;
    }
    if (place.held) {
        giveBackPlace(window, place);
    }
    return true;
}

void followFullScreen(SDL_Window* window, WindowedPlace& place) {
    if (place.held && (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) == 0) {
        giveBackPlace(window, place);
    }
}

} // namespace plat
