// The game's one window: its class, its creation with an OpenGL context, its teardown and
// its window procedure.
#pragma once

#include "game/shell/WindowRecord.h"

// Toggled by F2: draw the frame rate.
extern BOOL showFps;

// BOOL (*)(int): the driver's swap-interval entry, when it has one.
using SwapIntervalProc = BOOL (*)(int);
extern SwapIntervalProc swapIntervalEXT;

// Registers the "Tonecrest" class; on failure shows "RegisterClassEx Failed!" and returns
// false.
bool registerWindowClass(AppInstanceInfo* info);
// Creates the window, its device context, pixel format and current GL context, shows it and
// reshapes the view. Any failure undoes what was done and returns false.
bool createGameWindow(WindowRecord* record);
// Releases the context, the device context and the window, each only when set.
bool destroyGameWindow(WindowRecord* record);
// Turns off waiting for the vertical retrace when the driver allows it.
void disableVSync();

LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
