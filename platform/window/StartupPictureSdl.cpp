#include "platform/window/StartupPicture.h"

#include "platform/window/WindowInternal.h"

namespace {

SDL_Window* picture = nullptr;

} // namespace

bool ShowStartupPicture(int x, int y, int width, int height, const uint8_t* rgb) {
    if (picture != nullptr || rgb == nullptr || width <= 0 || height <= 0 || !plat::ensureVideo()) {
        return false;
    }
    // The window's own pixels in memory, put on the screen by the display server; otherwise
    // SDL would make a GL renderer for them, which is what takes the time.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_X11_WINDOW_TYPE, "_NET_WM_WINDOW_TYPE_SPLASH");
    picture = SDL_CreateWindow("", x, y, width, height,
                               SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_SHOWN);
    SDL_ResetHint(SDL_HINT_X11_WINDOW_TYPE);
    if (picture == nullptr) {
        return false;
    }
    SDL_Surface* screen = SDL_GetWindowSurface(picture);
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint8_t*>(rgb), width, height, 24, width * 3, SDL_PIXELFORMAT_RGB24);
    bool shown = screen != nullptr && source != nullptr &&
                 SDL_BlitSurface(source, nullptr, screen, nullptr) == 0 &&
                 SDL_UpdateWindowSurface(picture) == 0;
    SDL_FreeSurface(source);
    if (!shown) {
        CloseStartupPicture();
    }
    return shown;
}

bool StartupPictureShown() {
    return picture != nullptr;
}

void CloseStartupPicture() {
    if (picture != nullptr) {
        SDL_DestroyWindow(picture);
        picture = nullptr;
    }
}
