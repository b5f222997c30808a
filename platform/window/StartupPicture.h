// A picture on the screen at once, for the moments before a program's GL window has drawn:
// making a software GL context and drawing its first frame take a few hundred milliseconds,
// a plain window and a copy of pixels a few. The picture shows in an ordinary window of its
// own, left out of the taskbar, at the place the GL window will take (a window manager frames
// and places both alike). A GL window shown meanwhile stays unmapped until its first
// SwapBuffers, which shows it, draws the frame and closes the picture, so the one follows the
// other with no empty window between them. A message box closes the picture first.
#pragma once

#include <cstdint>

// rgb: width x height pixels of 3 bytes, top row first, shown with the window's client area
// at x, y, under title. False when there is no display or the window cannot be made (nothing
// stays open).
bool ShowStartupPicture(const char* title, int x, int y, int width, int height, const uint8_t* rgb);
// Whether a picture is up.
bool StartupPictureShown();
// Closes the picture, if one is up.
void CloseStartupPicture();
