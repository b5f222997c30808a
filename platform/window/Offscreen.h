// Drawing with no screen: after useOffscreenDisplay, every window the process makes is never
// shown on any display, present or not. Its GL surface is a pbuffer of Mesa's EGL (SDL's
// offscreen driver), so the window calls, pixel formats, GL contexts and reading pixels back
// work as for a visible window, on software GL and on a GPU alike. Call before the first
// window; the choice holds for the rest of the process.
#pragma once

void useOffscreenDisplay();
// Whether useOffscreenDisplay was called.
bool offscreenDisplay();
