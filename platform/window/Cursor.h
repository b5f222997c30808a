// System cursors and mouse capture.
#pragma once

#include "platform/base/WinTypes.h"

#define IDC_ARROW (reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(32512)))
#define IDC_HAND (reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(32649)))

// The shared system cursor of that id (instance must be null); null for other ids.
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR id);
// Shows the cursor; returns the one shown before.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
// Keeps mouse input flowing to the window while a button is held outside it.
HWND SetCapture(HWND window);
BOOL ReleaseCapture();
HWND GetCapture();
