#include "game/shell/GameWindow.h"

#include "game/shell/ViewSetup.h"
#include "platform/time/Time.h"
#include "platform/window/Cursor.h"
#include "platform/window/GLContext.h"
#include "platform/window/Icon.h"
#include "platform/window/MessageBox.h"
#include "platform/window/Window.h"

#include <cstring>

BOOL showFps = FALSE;
SwapIntervalProc swapIntervalEXT = nullptr;

namespace {

constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kWindowExStyle = WS_EX_APPWINDOW;
// The game's icon resource.
constexpr int kIconResource = 111;

PIXELFORMATDESCRIPTOR pixelFormatFor(const WindowSetup& setup) {
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = static_cast<BYTE>(setup.bitsPerPixel);
    pfd.cAlphaBits = 8;
    pfd.cAccumBits = 0;
    pfd.cDepthBits = 32;
    pfd.cStencilBits = 0;
    pfd.cAuxBuffers = 0;
    pfd.iLayerType = PFD_MAIN_PLANE;
    return pfd;
}

} // namespace

bool registerWindowClass(AppInstanceInfo* info) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = info->instance;
    wc.hIcon = LoadIconA(info->instance, MAKEINTRESOURCEA(kIconResource));
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_APPWORKSPACE));
    wc.lpszClassName = info->className;
    if (RegisterClassExA(&wc) == 0) {
        MessageBoxA(nullptr, "RegisterClassEx Failed!", "Error", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

bool createGameWindow(WindowRecord* record) {
    WindowSetup& setup = record->setup;
    RECT rect{0, 0, setup.width, setup.height};
    AdjustWindowRectEx(&rect, kWindowStyle, FALSE, kWindowExStyle);
    record->window =
        CreateWindowExA(kWindowExStyle, setup.appInfo->className, setup.title, kWindowStyle, 0, 0,
                        rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                        setup.appInfo->instance, record);
    if (record->window == nullptr) {
        return false;
    }
    record->deviceContext = GetDC(record->window);
    PIXELFORMATDESCRIPTOR pfd = pixelFormatFor(setup);
    int format = record->deviceContext ? ChoosePixelFormat(record->deviceContext, &pfd) : 0;
    if (format == 0 || !SetPixelFormat(record->deviceContext, format, &pfd) ||
        (record->renderContext = wglCreateContext(record->deviceContext)) == nullptr ||
        !wglMakeCurrent(record->deviceContext, record->renderContext)) {
        destroyGameWindow(record);
        return false;
    }
    ShowWindow(record->window, SW_NORMAL);
    record->visible = TRUE;
    reshapeView(setup.width, setup.height);
    std::memset(record->keyTable, 0, sizeof(KeyDownTable));
    record->createdTicks = GetTickCount();
    disableVSync();
    return true;
}

bool destroyGameWindow(WindowRecord* record) {
    if (record->window != nullptr) {
        if (record->deviceContext != nullptr) {
            wglMakeCurrent(record->deviceContext, nullptr);
            if (record->renderContext != nullptr) {
                wglDeleteContext(record->renderContext);
                record->renderContext = nullptr;
            }
            ReleaseDC(record->window, record->deviceContext);
            record->deviceContext = nullptr;
        }
        DestroyWindow(record->window);
        record->window = nullptr;
    }
    return true;
}

void disableVSync() {
    const char* extensions = wglGetExtensionsStringEXT();
    if (extensions == nullptr || std::strstr(extensions, "WGL_EXT_swap_control") == nullptr) {
        return;
    }
    swapIntervalEXT = reinterpret_cast<SwapIntervalProc>(wglGetProcAddress("wglSwapIntervalEXT"));
    if (swapIntervalEXT != nullptr) {
        swapIntervalEXT(0);
    }
}
