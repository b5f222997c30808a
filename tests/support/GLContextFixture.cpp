#include "tests/support/GLContextFixture.h"

#include <GL/gl.h>

namespace testsupport {

namespace {
LRESULT plainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(w, m, wp, lp);
}
} // namespace

OffscreenGL::OffscreenGL() {
    WNDCLASSEXA wc{};
    wc.lpfnWndProc = plainProc;
    wc.lpszClassName = "OffscreenGL";
    RegisterClassExA(&wc);
    window = CreateWindowExA(0, "OffscreenGL", "gl", 0, 0, 0, 64, 64, nullptr, nullptr, nullptr,
                             nullptr);
    if (window == nullptr) {
        return;
    }
    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.cColorBits = 32;
    pfd.cDepthBits = 24;
    if (SetPixelFormat(dc, ChoosePixelFormat(dc, &pfd), &pfd)) {
        context = wglCreateContext(dc);
        if (context != nullptr && !wglMakeCurrent(dc, context)) {
            wglDeleteContext(context);
            context = nullptr;
        }
    }
}

OffscreenGL::~OffscreenGL() {
    wglMakeCurrent(nullptr, nullptr);
    if (context != nullptr) {
        wglDeleteContext(context);
    }
    if (window != nullptr) {
        DestroyWindow(window);
    }
}

void squareCamera() {
    glViewport(0, 0, 64, 64);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1.0, 1.0, -1.0, 1.0, 1.0, 5000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

} // namespace testsupport
