#include "tests/platform/ScreenPixel.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <thread>

namespace testsupport {

unsigned long screenPixel(int x, int y, unsigned long expected) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return ~0ul;
    }
    unsigned long pixel = ~0ul;
    for (int i = 0; i < 50 && pixel != expected; ++i) {
        if (i > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        XImage* image =
            XGetImage(display, DefaultRootWindow(display), x, y, 1, 1, AllPlanes, ZPixmap);
        if (image != nullptr) {
            pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
            XDestroyImage(image);
        }
    }
    XCloseDisplay(display);
    return pixel;
}

} // namespace testsupport
