// Something that prints a line of on-screen text in the 640 x 480 overlay space (origin at
// the bottom left). The HUD font provides it.
#pragma once

#include <cstring>

// Where the HUD's lines stand in that space. Glyphs are 16 units high and 10 apart. The two
// status lines keep their places; the frame rate and the one-second toggle text sit one line
// below the second status line, clear of both, since either may show while the status lines
// do (a toggle always brings the status lines up for five seconds).
namespace hudlayout {
constexpr int kTitleX = 10, kTitleY = 5;
constexpr int kStatus1X = 125, kStatus1Y = 460;
constexpr int kStatus2X = 125, kStatus2Y = 445;
constexpr int kFrameRateX = 80, kFrameRateY = 430;
constexpr int kToggleTextX = 200, kToggleTextY = 430;
} // namespace hudlayout

class ITextPrinter {
  public:
    virtual ~ITextPrinter() = default;
    virtual void printLine(int x, int y, const char* text) = 0;
};

// Keeps up to kLines lines (each cut to kLength - 1 bytes) to print later, in order.
class DeferredPrinter : public ITextPrinter {
  public:
    static constexpr int kLines = 4;
    static constexpr int kLength = 64;

    void printLine(int x, int y, const char* text) override {
        if (count >= kLines || text == nullptr) {
            return;
        }
        Line& l = lines[count++];
        l.x = x;
        l.y = y;
        std::strncpy(l.text, text, kLength - 1);
        l.text[kLength - 1] = '\0';
    }
    // Prints the kept lines to out (when given) and forgets them.
    void flush(ITextPrinter* out) {
        for (int i = 0; i < count && out != nullptr; ++i) {
            out->printLine(lines[i].x, lines[i].y, lines[i].text);
        }
        count = 0;
    }
    int size() const { return count; }

  private:
    struct Line {
        int x = 0;
        int y = 0;
        char text[kLength] = {};
    };
    Line lines[kLines];
    int count = 0;
};
