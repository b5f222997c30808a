// Device contexts, pixel formats and OpenGL rendering contexts of windows (the WGL side).
#pragma once

#include "platform/base/WinTypes.h"

struct PIXELFORMATDESCRIPTOR {
    WORD nSize;
    WORD nVersion;
    DWORD dwFlags;
    BYTE iPixelType;
    BYTE cColorBits;
    BYTE cRedBits, cRedShift, cGreenBits, cGreenShift, cBlueBits, cBlueShift;
    BYTE cAlphaBits, cAlphaShift;
    BYTE cAccumBits, cAccumRedBits, cAccumGreenBits, cAccumBlueBits, cAccumAlphaBits;
    BYTE cDepthBits;
    BYTE cStencilBits;
    BYTE cAuxBuffers;
    BYTE iLayerType;
    BYTE bReserved;
    DWORD dwLayerMask;
    DWORD dwVisibleMask;
    DWORD dwDamageMask;
};

constexpr DWORD PFD_DOUBLEBUFFER = 0x00000001;
constexpr DWORD PFD_DRAW_TO_WINDOW = 0x00000004;
constexpr DWORD PFD_SUPPORT_OPENGL = 0x00000020;
constexpr BYTE PFD_TYPE_RGBA = 0;
constexpr BYTE PFD_MAIN_PLANE = 0;

using PROC = void (*)();

// The window's own device context (one per window).
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);

// Returns the one format index (1) that SetPixelFormat understands; 0 for a null request.
int ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request);
// Puts the window on screen with a GL surface of the request: double buffered RGBA with the
// colour and alpha bits asked for and the depth asked for, or the deepest the driver offers
// below it. FALSE when no surface can be had. A window's format is set once.
BOOL SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* request);
// Reports the surface actually obtained. Returns the number of formats (1), 0 before
// SetPixelFormat.
int DescribePixelFormat(HDC dc, int format, UINT bytes, PIXELFORMATDESCRIPTOR* out);

HGLRC wglCreateContext(HDC dc);
// A null dc and context make no context current.
BOOL wglMakeCurrent(HDC dc, HGLRC context);
BOOL wglDeleteContext(HGLRC context);
// GL and WGL entry points; "wglSwapIntervalEXT" is BOOL (*)(int).
PROC wglGetProcAddress(LPCSTR name);
// Window-system extensions of the current context; lists "WGL_EXT_swap_control" when the
// swap interval can be changed.
LPCSTR wglGetExtensionsStringEXT();
BOOL SwapBuffers(HDC dc);
