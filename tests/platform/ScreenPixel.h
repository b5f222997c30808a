// Reading what the display shows, kept apart from the tests: X11's headers define macros that
// clash with GoogleTest's names.
#pragma once

namespace testsupport {

// The display's pixel at x, y of the root window as 0xRRGGBB, once it is the expected one or
// after half a second; ~0 without a display.
unsigned long screenPixel(int x, int y, unsigned long expected);

} // namespace testsupport
