// Records behind HWND, HDC and HGLRC, shared by the SDL-backed window, context and cursor
// files. Nothing outside platform/window includes this.
#pragma once

#include "platform/window/FullScreenSdl.h"
#include "platform/window/GLContext.h"
#include "platform/window/Window.h"

#include <SDL.h>

#include <string>

struct HDC__ {
    HWND window = nullptr;
    int format = 0;
    PIXELFORMATDESCRIPTOR obtained{};
};

struct HWND__ {
    std::string className;
    WNDPROC proc = nullptr;
    HCURSOR classCursor = nullptr;
    HICON classIcon = nullptr;
    LONG_PTR userData = 0;
    std::string title;
    int x = 0;
    int y = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    bool shownOnce = false;
    bool minimised = false;
    // Shown while a startup picture was up: mapped at the first SwapBuffers.
    bool showAtFirstSwap = false;
    SDL_Window* sdl = nullptr;
    plat::WindowedPlace windowedPlace; // kept while full screen
    HDC__ dc;
};

struct HGLRC__ {
    SDL_GLContext context = nullptr;
    HWND window = nullptr;
};

namespace plat {

// Shows the window class's icon on the window's desktop window, once that exists.
void applyClassIcon(HWND w);

// Starts SDL's video subsystem once; false when there is no display.
bool ensureVideo();
// The live window that owns an SDL window id, or null.
HWND windowForSdlId(Uint32 id);
// Creates the SDL window of a window record with the GL attributes already set.
bool createSdlWindow(HWND window);
// Translates one SDL event into queued messages.
void translateEvent(const SDL_Event& e);
// SDL keycode to virtual-key code; 0 when the key has none.
unsigned virtualKeyFor(SDL_Keycode key);

} // namespace plat
