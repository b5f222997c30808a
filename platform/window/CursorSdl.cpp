#include "platform/window/Cursor.h"
#include "platform/window/WindowInternal.h"

struct HCURSOR__ {
    SDL_Cursor* sdl;
};

namespace {

HCURSOR current = nullptr;
HWND captured = nullptr;

HCURSOR systemCursor(SDL_SystemCursor id) {
    static HCURSOR__ cursors[SDL_NUM_SYSTEM_CURSORS] = {};
    HCURSOR__& c = cursors[id];
    if (c.sdl == nullptr && plat::ensureVideo()) {
        c.sdl = SDL_CreateSystemCursor(id);
    }
    return &c;
}

} // namespace

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR id) {
    if (instance != nullptr) {
        return nullptr;
    }
    if (id == IDC_ARROW) {
        return systemCursor(SDL_SYSTEM_CURSOR_ARROW);
    }
    if (id == IDC_HAND) {
        return systemCursor(SDL_SYSTEM_CURSOR_HAND);
    }
    return nullptr;
}

HCURSOR SetCursor(HCURSOR cursor) {
    HCURSOR previous = current;
    current = cursor;
    if (cursor != nullptr && cursor->sdl != nullptr) {
        SDL_SetCursor(cursor->sdl);
        SDL_ShowCursor(SDL_ENABLE);
    } else if (cursor == nullptr) {
        SDL_ShowCursor(SDL_DISABLE);
    }
    return previous;
}

HCURSOR GetCursor() {
    return current;
}

HWND SetCapture(HWND window) {
    HWND previous = captured;
    if (IsWindow(window)) {
        captured = window;
        SDL_CaptureMouse(SDL_TRUE);
    }
    return previous;
}

BOOL ReleaseCapture() {
    captured = nullptr;
    SDL_CaptureMouse(SDL_FALSE);
    return TRUE;
}

HWND GetCapture() {
    return IsWindow(captured) ? captured : nullptr;
}
