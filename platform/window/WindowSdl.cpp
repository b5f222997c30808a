#include "platform/message/Broadcast.h"
#include "platform/time/Time.h"
#include "platform/window/Cursor.h"
#include "platform/window/Offscreen.h"
#include "platform/window/StartupPicture.h"
#include "platform/window/WindowInternal.h"

#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

struct WindowClass {
    WNDCLASSEXA wc;
    std::string name;
};

std::map<std::string, WindowClass>& classes() {
    static std::map<std::string, WindowClass> c;
    return c;
}
std::set<HWND>& liveWindows() {
    static std::set<HWND> w;
    return w;
}
std::deque<MSG>& queue() {
    static std::deque<MSG> q;
    return q;
}

bool videoStarted = false;
// The SDL video drivers that show a window to the user, in the order they are tried.
const char* const kDisplayDrivers[] = {"x11", "wayland"};
bool screenSaverHeldOff = false;
bool defaultSaverHandling = false;
DWORD lastSaverQuery = 0;
constexpr DWORD saverQueryPeriodMs = 30000;

bool isLive(HWND w) {
    return w != nullptr && liveWindows().count(w) != 0;
}

std::string classKey(const char* name) {
    std::string k = name ? name : "";
    for (char& c : k) {
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    }
    return k;
}

void enqueue(HWND w, UINT message, WPARAM wp, LPARAM lp) {
    MSG m{};
    m.hwnd = w;
    m.message = message;
    m.wParam = wp;
    m.lParam = lp;
    m.time = GetTickCount();
    queue().push_back(m);
}

// Asks every shown window whether the screen saver may start; a window procedure that
// swallows SC_SCREENSAVE (never reaching DefWindowProcA) holds it off.
void queryScreenSaver() {
    bool heldOff = false;
    for (HWND w : std::set<HWND>(liveWindows())) {
        if (!isLive(w) || !w->shownOnce) {
            continue;
        }
        defaultSaverHandling = false;
        SendMessageA(w, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
        if (!defaultSaverHandling) {
            heldOff = true;
        }
    }
    screenSaverHeldOff = heldOff;
    if (heldOff) {
        SDL_DisableScreenSaver();
    } else {
        SDL_EnableScreenSaver();
    }
    lastSaverQuery = GetTickCount();
}

WPARAM sizeKind(HWND w) {
    Uint32 flags = SDL_GetWindowFlags(w->sdl);
    if (flags & SDL_WINDOW_MINIMIZED) {
        return SIZE_MINIMIZED;
    }
    return (flags & SDL_WINDOW_MAXIMIZED) ? SIZE_MAXIMIZED : SIZE_RESTORED;
}

void sendSize(HWND w) {
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(w->sdl, &width, &height);
    WPARAM kind = sizeKind(w);
    if (kind == SIZE_MINIMIZED) {
        w->minimised = true;
        enqueue(w, WM_SIZE, kind, 0);
        return;
    }
    w->minimised = false;
    w->clientWidth = width;
    w->clientHeight = height;
    enqueue(w, WM_SIZE, kind, MAKELPARAM(static_cast<WORD>(width), static_cast<WORD>(height)));
}

LPARAM keyLParam(const SDL_KeyboardEvent& k, bool up) {
    DWORD lp = 1u | (static_cast<DWORD>(k.keysym.scancode & 0xFF) << 16);
    if (k.repeat || up) {
        lp |= 1u << 30;
    }
    if (up) {
        lp |= 1u << 31;
    }
    return static_cast<LPARAM>(lp);
}

LPARAM mousePos(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<int16_t>(x)),
                      static_cast<WORD>(static_cast<int16_t>(y)));
}

} // namespace

namespace plat {

namespace {

// The display drivers, the one the environment asks for (SDL_VIDEODRIVER) first; only SDL's
// offscreen driver when the process draws off screen.
std::vector<std::string> acceptedVideoDrivers() {
    if (offscreenDisplay()) {
        return {"offscreen"};
    }
    std::vector<std::string> order(std::begin(kDisplayDrivers), std::end(kDisplayDrivers));
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    if (asked != nullptr) {
        for (size_t i = 0; i < order.size(); ++i) {
            if (strcasecmp(order[i].c_str(), asked) == 0) {
                std::rotate(order.begin(), order.begin() + static_cast<long>(i),
                            order.begin() + static_cast<long>(i) + 1);
            }
        }
    }
    return order;
}

} // namespace

bool ensureVideo() {
    if (videoStarted) {
        return true;
    }
    static bool failureTold = false;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // Only drivers that put a window on the user's screen: SDL's fallbacks (offscreen, dummy,
    // a console's KMS) would leave the program running where nobody sees it.
    std::string reasons;
    for (const std::string& driver : acceptedVideoDrivers()) {
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, driver.c_str(), SDL_HINT_OVERRIDE);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
            videoStarted = true;
            return true;
        }
        reasons += (reasons.empty() ? "" : "; ") + driver + ": " + SDL_GetError();
        if (driver == "offscreen") {
            continue;
        }
        const char* variable = driver == "x11" ? "DISPLAY" : "WAYLAND_DISPLAY";
        const char* value = SDL_getenv(variable);
        reasons += value == nullptr || *value == '\0'
                       ? std::string(", ") + variable + " is not set"
                       : std::string(", no server would take us at ") + variable + "=" + value;
    }
    if (!failureTold) {
        failureTold = true;
        std::fprintf(stderr, "Cannot open a window: no display to show it on (%s)\n",
                     reasons.c_str());
    }
    SDL_SetError("no display to open a window on (%s)", reasons.c_str());
    return false;
}

HWND windowForSdlId(Uint32 id) {
    for (HWND w : liveWindows()) {
        if (w->sdl != nullptr && SDL_GetWindowID(w->sdl) == id) {
            return w;
        }
    }
    return nullptr;
}

void translateEvent(const SDL_Event& e) {
    switch (e.type) {
    case SDL_WINDOWEVENT: {
        HWND w = windowForSdlId(e.window.windowID);
        if (w == nullptr) {
            return;
        }
        switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            enqueue(w, WM_CLOSE, 0, 0);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_MAXIMIZED:
        case SDL_WINDOWEVENT_RESTORED:
            plat::followFullScreen(w->sdl, w->windowedPlace);
            sendSize(w);
            break;
        default:
            break;
        }
        return;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        HWND w = windowForSdlId(e.key.windowID);
        unsigned vk = virtualKeyFor(e.key.keysym.sym);
        if (w != nullptr && vk != 0) {
            bool up = e.type == SDL_KEYUP;
            enqueue(w, up ? WM_KEYUP : WM_KEYDOWN, vk, keyLParam(e.key, up));
        }
        return;
    }
    case SDL_MOUSEMOTION: {
        HWND w = windowForSdlId(e.motion.windowID);
        if (w != nullptr) {
            enqueue(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(HTCLIENT, 0x200));
            WPARAM buttons = (e.motion.state & SDL_BUTTON_LMASK) ? MK_LBUTTON : 0;
            enqueue(w, WM_MOUSEMOVE, buttons, mousePos(e.motion.x, e.motion.y));
        }
        return;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        HWND w = windowForSdlId(e.button.windowID);
        if (w == nullptr) {
            return;
        }
        bool down = e.type == SDL_MOUSEBUTTONDOWN;
        UINT msg;
        if (e.button.button == SDL_BUTTON_LEFT) {
            msg = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        } else if (e.button.button == SDL_BUTTON_RIGHT) {
            msg = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        } else {
            return;
        }
        if (down) {
            enqueue(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(HTCLIENT, msg));
        }
        enqueue(w, msg, down && e.button.button == SDL_BUTTON_LEFT ? MK_LBUTTON : 0,
                mousePos(e.button.x, e.button.y));
        return;
    }
    default:
        return;
    }
}

bool screenSaverInhibited() {
    return screenSaverHeldOff;
}

} // namespace plat

WORD RegisterClassExA(const WNDCLASSEXA* wc) {
    // A class is bookkeeping only: a missing display shows when a window is made.
    if (wc == nullptr || wc->lpszClassName == nullptr || wc->lpfnWndProc == nullptr) {
        return 0;
    }
    std::string key = classKey(wc->lpszClassName);
    if (classes().count(key) != 0) {
        return 0;
    }
    WindowClass c{*wc, wc->lpszClassName};
    c.wc.lpszClassName = nullptr;
    classes()[key] = c;
    return static_cast<WORD>(0xC000 + classes().size());
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE) {
    std::string key = classKey(className);
    for (HWND w : liveWindows()) {
        if (classKey(w->className.c_str()) == key) {
            return FALSE;
        }
    }
    return classes().erase(key) != 0 ? TRUE : FALSE;
}

BOOL AdjustWindowRectEx(RECT* rect, DWORD, BOOL, DWORD) {
    return rect != nullptr;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y,
                     int width, int height, HWND parent, void* menu, HINSTANCE instance,
                     void* param) {
    auto it = classes().find(classKey(className));
    if (it == classes().end() || width <= 0 || height <= 0) {
        return nullptr;
    }
    HWND w = new HWND__;
    w->className = it->second.name;
    w->proc = it->second.wc.lpfnWndProc;
    w->classCursor = it->second.wc.hCursor;
    w->classIcon = it->second.wc.hIcon;
    w->title = title ? title : "";
    w->x = x;
    w->y = y;
    w->clientWidth = width;
    w->clientHeight = height;
    w->dc.window = w;
    liveWindows().insert(w);
    CREATESTRUCTA cs{
        param, instance,  menu,   parent, height, width, y, x, static_cast<LONG>(style),
        title, className, exStyle};
    if (SendMessageA(w, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(w);
        return nullptr;
    }
    return w;
}

BOOL DestroyWindow(HWND w) {
    if (!isLive(w)) {
        return FALSE;
    }
    SendMessageA(w, WM_DESTROY, 0, 0);
    if (GetCapture() == w) {
        ReleaseCapture();
    }
    liveWindows().erase(w);
    for (auto it = queue().begin(); it != queue().end();) {
        it = it->hwnd == w ? queue().erase(it) : it + 1;
    }
    if (w->showAtFirstSwap) {
        CloseStartupPicture(); // the window that was to follow it is gone
    }
    if (w->sdl != nullptr) {
        SDL_DestroyWindow(w->sdl);
    }
    delete w;
    return TRUE;
}

BOOL IsWindow(HWND w) {
    return isLive(w) ? TRUE : FALSE;
}

BOOL ShowWindow(HWND w, int command) {
    if (!isLive(w) || w->sdl == nullptr) {
        return FALSE;
    }
    bool wasVisible = (SDL_GetWindowFlags(w->sdl) & SDL_WINDOW_SHOWN) != 0;
    if (command == SW_MINIMIZE) {
        SDL_MinimizeWindow(w->sdl);
    } else if (command == SW_RESTORE) {
        SDL_RestoreWindow(w->sdl);
    } else {
        if ((SDL_GetWindowFlags(w->sdl) & SDL_WINDOW_OPENGL) != 0 && StartupPictureShown()) {
            w->showAtFirstSwap = true;
        } else {
            SDL_ShowWindow(w->sdl);
            SDL_RaiseWindow(w->sdl);
        }
        if (!w->shownOnce) {
            w->shownOnce = true;
            SendMessageA(
                w, WM_SIZE, SIZE_RESTORED,
                MAKELPARAM(static_cast<WORD>(w->clientWidth), static_cast<WORD>(w->clientHeight)));
            queryScreenSaver();
        }
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL SetForegroundWindow(HWND w) {
    if (!isLive(w) || w->sdl == nullptr) {
        return FALSE;
    }
    SDL_RaiseWindow(w->sdl);
    return TRUE;
}

BOOL SetFocus(HWND w) {
    return SetForegroundWindow(w);
}

BOOL GetClientRect(HWND w, RECT* rect) {
    if (!isLive(w) || rect == nullptr) {
        return FALSE;
    }
    *rect = RECT{0, 0, w->minimised ? 0 : w->clientWidth, w->minimised ? 0 : w->clientHeight};
    return TRUE;
}

BOOL MoveWindow(HWND w, int x, int y, int width, int height, BOOL) {
    if (!isLive(w) || width <= 0 || height <= 0) {
        return FALSE;
    }
    bool resized = width != w->clientWidth || height != w->clientHeight;
    w->x = x;
    w->y = y;
    w->clientWidth = width;
    w->clientHeight = height;
    if (w->sdl != nullptr) {
        SDL_SetWindowPosition(w->sdl, x, y);
        SDL_SetWindowSize(w->sdl, width, height);
    }
    if (resized) {
        SendMessageA(w, WM_SIZE, SIZE_RESTORED,
                     MAKELPARAM(static_cast<WORD>(width), static_cast<WORD>(height)));
    }
    return TRUE;
}

BOOL SetWindowTextA(HWND w, LPCSTR text) {
    if (!isLive(w)) {
        return FALSE;
    }
    w->title = text ? text : "";
    if (w->sdl != nullptr) {
        SDL_SetWindowTitle(w->sdl, w->title.c_str());
    }
    return TRUE;
}

LONG_PTR SetWindowLongPtrA(HWND w, int index, LONG_PTR value) {
    if (!isLive(w) || index != GWLP_USERDATA) {
        return 0;
    }
    LONG_PTR old = w->userData;
    w->userData = value;
    return old;
}

LONG_PTR GetWindowLongPtrA(HWND w, int index) {
    return isLive(w) && index == GWLP_USERDATA ? w->userData : 0;
}

LRESULT DefWindowProcA(HWND w, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(w);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_SCREENSAVE || (wParam & 0xFFF0) == SC_MONITORPOWER) {
            defaultSaverHandling = true;
        }
        return 0;
    case WM_SETCURSOR:
        if (isLive(w)) {
            SetCursor(w->classCursor ? w->classCursor : LoadCursorA(nullptr, IDC_ARROW));
        }
        return TRUE;
    default:
        return 0;
    }
}

LRESULT SendMessageA(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!isLive(w) || w->proc == nullptr) {
        return 0;
    }
    return w->proc(w, message, wParam, lParam);
}

BOOL PostMessageA(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (w == HWND_BROADCAST) {
        return plat::postBroadcast(message, wParam, lParam) ? TRUE : FALSE;
    }
    if (w != nullptr && !isLive(w)) {
        return FALSE;
    }
    enqueue(w, message, wParam, lParam);
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    enqueue(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0);
}

BOOL PeekMessageA(MSG* msg, HWND, UINT, UINT, UINT removeMessage) {
    if (videoStarted) {
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
            plat::translateEvent(e);
        }
        if (GetTickCount() - lastSaverQuery >= saverQueryPeriodMs) {
            queryScreenSaver();
        }
    }
    if (queue().empty() || msg == nullptr) {
        return FALSE;
    }
    *msg = queue().front();
    if (removeMessage & PM_REMOVE) {
        queue().pop_front();
    }
    return TRUE;
}

BOOL TranslateMessage(const MSG* msg) {
    return msg != nullptr ? TRUE : FALSE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (msg == nullptr || msg->hwnd == nullptr) {
        return 0;
    }
    return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL plat::setFullScreen(HWND w, BOOL on) {
    if (!isLive(w) || w->sdl == nullptr) {
        return FALSE;
    }
    if (!setSdlFullScreen(w->sdl, on != FALSE, w->windowedPlace)) {
        return FALSE;
    }
    // The desktop reports the new size as well; the projection must not wait for it.
    sendSize(w);
    return TRUE;
}

BOOL plat::isFullScreen(HWND w) {
    if (!isLive(w) || w->sdl == nullptr) {
        return FALSE;
    }
    return (SDL_GetWindowFlags(w->sdl) & SDL_WINDOW_FULLSCREEN) != 0 ? TRUE : FALSE;
}
