#include "platform/window/StartupPicture.h"

#include "platform/window/WindowInternal.h"

namespace {

SDL_Window* picture = nullptr;

} // namespace

bool ShowStartupPicture(const char* title, int x, int y, int width, int height,
                        const uint8_t* rgb) {
    if (picture != nullptr || title == nullptr || rgb == nullptr || width <= 0 || height <= 0 ||
        !plat::ensureVideo()) {
        return false;
    }
    // The window's own pixels in memory, put on the screen by the display server; otherwise
    // SDL would make a GL renderer for them, which is what takes the time.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // An ordinary window at the GL window's place: a window manager frames and places it as
    // it will the GL window, so the one covers the other exactly.
    picture =
        SDL_CreateWindow(title, x, y, width, height, SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_SHOWN);
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
