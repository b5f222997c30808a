// Window classes, windows, their procedures and the message queue, with the Win32 names.
// One thread owns every window. Input, size changes and close requests of the desktop
// arrive as the messages below; the queue is read with PeekMessageA and never blocks.
#pragma once

#include "platform/base/WinTypes.h"

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct WNDCLASSEXA {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HICON hIconSm;
};

struct CREATESTRUCTA {
    void* lpCreateParams;
    HINSTANCE hInstance;
    void* hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};

// Messages.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_USER = 0x0400;

// WM_SIZE kinds.
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;
constexpr WPARAM SIZE_MAXSHOW = 3;
constexpr WPARAM SIZE_MAXHIDE = 4;

// WM_SYSCOMMAND commands (the low four bits are the system's own).
constexpr WPARAM SC_SCREENSAVE = 0xF140;
constexpr WPARAM SC_MONITORPOWER = 0xF170;

// Hit-test code in WM_SETCURSOR.
constexpr WORD HTCLIENT = 1;

// Mouse button state in wParam of mouse messages.
constexpr WPARAM MK_LBUTTON = 0x0001;

// Class styles.
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_OWNDC = 0x0020;

// Window styles.
constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD WS_EX_APPWINDOW = 0x00040000;

// ShowWindow commands.
constexpr int SW_NORMAL = 1;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;

constexpr int GWLP_USERDATA = -21;

constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

// System colours for the class background brush (the brush handle is colour + 1).
constexpr int COLOR_WINDOWFRAME = 6;
constexpr int COLOR_APPWORKSPACE = 12;

// Registers a class; 0 when the name is taken or the windowing system cannot start.
WORD RegisterClassExA(const WNDCLASSEXA* wc);
BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance);

// The desktop draws the frame outside the client area, so the outer size asked for is the
// client size itself.
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle);

// Creates a window of a registered class and sends it WM_CREATE with a CREATESTRUCTA whose
// lpCreateParams is param. The window appears on screen once its device context has a pixel
// format (GLContext.h) and ShowWindow is called. Null on failure.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y,
                     int width, int height, HWND parent, void* menu, HINSTANCE instance,
                     void* param);
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
// Shows, minimises or restores; the first showing sends WM_SIZE with the client size.
BOOL ShowWindow(HWND window, int command);
BOOL SetForegroundWindow(HWND window);
BOOL SetFocus(HWND window);
BOOL GetClientRect(HWND window, RECT* rect);
// Places the window and gives its client area width x height (both > 0); the window gets
// WM_SIZE when the size changed.
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
BOOL SetWindowTextA(HWND window, LPCSTR text);
LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value);
LONG_PTR GetWindowLongPtrA(HWND window, int index);

// Default handling: WM_CLOSE destroys the window, WM_SYSCOMMAND SC_SCREENSAVE lets the
// screen saver start, WM_SETCURSOR shows the class cursor.
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Calls the window's procedure at once.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Queues a message; a null window posts to the thread (not dispatched). HWND_BROADCAST
// (Broadcast.h) sends it to every listening program instead.
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// Takes the desktop's pending events into the queue, then returns the first queued message
// (removing it with PM_REMOVE). FALSE at once when nothing is waiting. Filters are ignored.
BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMessage);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);

namespace plat {
// True while the screen saver and monitor power-down are held off: some shown window
// swallowed the last SC_SCREENSAVE query that the queue sends it (on showing, then every
// 30 seconds of pumping).
bool screenSaverInhibited();

// Full screen: the window covers its whole display at the desktop's resolution (no mode
// change), without its frame; off gives back the window as it was. Either way the window
// procedure then gets WM_SIZE with the new client size, as it does when a window manager
// leaves full screen on its own (its own key, or a request from a panel). FALSE when the
// window is not live or the desktop refused.
BOOL setFullScreen(HWND window, BOOL on);
// Whether the window is full screen now, as the desktop last reported it.
BOOL isFullScreen(HWND window);
} // namespace plat
