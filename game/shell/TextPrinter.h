// Something that prints a line of on-screen text in the 640 x 480 overlay space (origin at
// the bottom left). The HUD font provides it.
#pragma once

class ITextPrinter {
  public:
    virtual ~ITextPrinter() = default;
    virtual void printLine(int x, int y, const char* text) = 0;
};
