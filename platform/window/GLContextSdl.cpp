#include "platform/window/StartupPicture.h"
#include "platform/window/WindowInternal.h"

#include <malloc.h>

#include <cstring>
#include <string>

namespace {

// Software GL allocates vertex upload buffers and scene blocks as it draws, some of them
// megabytes, and frees them a frame or so later. By default the C library hands blocks that
// large back to the system at once, and every new one then faults in its pages as it is first
// written: on a virtual machine that is milliseconds a frame. Kept in the process they are
// reused as they are. Once per process, with the first context.
void keepFreedBlocksInProcess() {
    static const bool done = [] {
        mallopt(M_MMAP_THRESHOLD, 64 << 20);
        mallopt(M_TRIM_THRESHOLD, 128 << 20);
        return true;
    }();
    static_cast<void>(done);
}

bool isLiveDc(HDC dc) {
    return dc != nullptr && IsWindow(dc->window);
}

int attribute(SDL_GLattr a) {
    int v = 0;
    SDL_GL_GetAttribute(a, &v);
    return v;
}

BOOL swapIntervalEXT(int interval) {
    return SDL_GL_SetSwapInterval(interval) == 0 ? TRUE : FALSE;
}

} // namespace

HDC GetDC(HWND window) {
    return IsWindow(window) ? &window->dc : nullptr;
}

int ReleaseDC(HWND window, HDC dc) {
    return IsWindow(window) && dc == &window->dc ? 1 : 0;
}

int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request) {
    return isLiveDc(dc) && request != nullptr ? 1 : 0;
}

BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* request) {
    if (!isLiveDc(dc) || format != 1 || request == nullptr || dc->format != 0 ||
        !plat::ensureVideo()) {
        return FALSE;
    }
    HWND w = dc->window;
    int colourBits = request->cColorBits >= 24 ? 8 : 5;
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, colourBits);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, colourBits);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, colourBits);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, request->cAlphaBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, request->cStencilBits);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, (request->dwFlags & PFD_DOUBLEBUFFER) ? 1 : 0);
    // The driver may not offer the depth asked for: step down until a surface is had.
    static const int depths[] = {32, 24, 16, 0};
    for (int depth : depths) {
        if (depth > request->cDepthBits) {
            continue;
        }
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depth);
        w->sdl = SDL_CreateWindow(w->title.c_str(), w->x, w->y, w->clientWidth, w->clientHeight,
                                  SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
        if (w->sdl != nullptr) {
            break;
        }
    }
    if (w->sdl == nullptr) {
        return FALSE;
    }
    plat::applyClassIcon(w);
    dc->format = format;
    dc->obtained = *request;
    return TRUE;
}

int DescribePixelFormat(HDC dc, int, UINT, PIXELFORMATDESCRIPTOR* out) {
    if (!isLiveDc(dc) || dc->format == 0) {
        return 0;
    }
    if (out != nullptr) {
        *out = dc->obtained;
    }
    return 1;
}

HGLRC wglCreateContext(HDC dc) {
    if (!isLiveDc(dc) || dc->window->sdl == nullptr) {
        return nullptr;
    }
    keepFreedBlocksInProcess();
    SDL_GLContext ctx = SDL_GL_CreateContext(dc->window->sdl);
    if (ctx == nullptr) {
        return nullptr;
    }
    auto* rc = new HGLRC__{ctx, dc->window};
    // What the surface really has, now that a context can tell.
    PIXELFORMATDESCRIPTOR& got = dc->obtained;
    got.cRedBits = static_cast<BYTE>(attribute(SDL_GL_RED_SIZE));
    got.cGreenBits = static_cast<BYTE>(attribute(SDL_GL_GREEN_SIZE));
    got.cBlueBits = static_cast<BYTE>(attribute(SDL_GL_BLUE_SIZE));
    got.cAlphaBits = static_cast<BYTE>(attribute(SDL_GL_ALPHA_SIZE));
    got.cDepthBits = static_cast<BYTE>(attribute(SDL_GL_DEPTH_SIZE));
    got.cStencilBits = static_cast<BYTE>(attribute(SDL_GL_STENCIL_SIZE));
    got.cColorBits = static_cast<BYTE>(got.cRedBits + got.cGreenBits + got.cBlueBits);
    return rc;
}

BOOL wglMakeCurrent(HDC dc, HGLRC context) {
    if (context == nullptr) {
        SDL_GLContext current = SDL_GL_GetCurrentContext();
        SDL_Window* win = SDL_GL_GetCurrentWindow();
        return current == nullptr || SDL_GL_MakeCurrent(win, nullptr) == 0 ? TRUE : FALSE;
    }
    if (!isLiveDc(dc) || dc->window->sdl == nullptr) {
        return FALSE;
    }
    return SDL_GL_MakeCurrent(dc->window->sdl, context->context) == 0 ? TRUE : FALSE;
}

BOOL wglDeleteContext(HGLRC context) {
    if (context == nullptr) {
        return FALSE;
    }
    if (SDL_GL_GetCurrentContext() == context->context) {
        SDL_GL_MakeCurrent(SDL_GL_GetCurrentWindow(), nullptr);
    }
    SDL_GL_DeleteContext(context->context);
    delete context;
    return TRUE;
}

PROC wglGetProcAddress(LPCSTR name) {
    if (name == nullptr) {
        return nullptr;
    }
    if (std::strcmp(name, "wglSwapIntervalEXT") == 0) {
        return reinterpret_cast<PROC>(&swapIntervalEXT);
    }
    return reinterpret_cast<PROC>(SDL_GL_GetProcAddress(name));
}

LPCSTR wglGetExtensionsStringEXT() {
    static std::string extensions;
    extensions = "WGL_EXT_extensions_string";
    if (SDL_GL_GetCurrentContext() != nullptr) {
        int current = SDL_GL_GetSwapInterval();
        if (SDL_GL_SetSwapInterval(current) == 0) {
            extensions += " WGL_EXT_swap_control";
        }
    }
    return extensions.c_str();
}

BOOL SwapBuffers(HDC dc) {
    if (!isLiveDc(dc) || dc->window->sdl == nullptr) {
        return FALSE;
    }
    HWND w = dc->window;
    // A window shown over a start-up picture goes on the screen with its first frame.
    const bool first = w->showAtFirstSwap;
    if (first) {
        w->showAtFirstSwap = false;
        SDL_ShowWindow(w->sdl);
        SDL_RaiseWindow(w->sdl);
    }
    SDL_GL_SwapWindow(w->sdl);
    if (first) {
        CloseStartupPicture();
    }
    return TRUE;
}
