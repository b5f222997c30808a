// The lines of text over the ride: the media title, the two status lines shown for five
// seconds after any change of the ride settings, and the frame rate. Each text is formatted
// into its own fixed buffer at most every quarter second (the frame rate every half second)
// and drawn every frame, in the 640 x 480 text space.
#pragma once

#include "game/shell/TextPrinter.h"

#include <cstdint>

class CControls;

// The status values last shown, kept by the scene director.
struct ShownStatus {
    int32_t smoothingPercent = -1;
    int32_t speedPercent = -1;
    int32_t viewPoint = 0;
    bool headTilt = false;
};

class CHud {
  public:
    static constexpr int kBufferSize = 300;
    static constexpr float kTextRefresh = 0.25f;
    static constexpr float kRateRefresh = 0.5f;
    static constexpr float kStatusSeconds = 5.0f;

    // "Title: %s" at (10, 5); the title is read up to its first NUL or 199 bytes.
    void drawTitleLine(float dt, const char* title, ITextPrinter& out);
    // The two status lines at (125, 460) and (125, 445) while their five seconds run. Takes
    // and clears the controls' statusRefresh; updates shown.
    void drawStatusLines(float dt, CControls& controls, float smoothing, float speed,
                         ShownStatus& shown, ITextPrinter& out);
    // "FPS: %d" at hudlayout's frame-rate place, below the status lines: the frames counted since
    // the last update over the time it took; resets frameCounter at each update.
    void drawFrameRate(float dt, int32_t& frameCounter, ITextPrinter& out);

    const char* titleLine() const { return title; }
    const char* statusLine1() const { return status1; }
    const char* statusLine2() const { return status2; }
    const char* frameRateLine() const { return rate; }
    float statusDisplayTime() const { return displayTimer; }
    int32_t framesPerSecond() const { return fps; }

  private:
    char title[kBufferSize] = {};
    char status1[kBufferSize] = {};
    char status2[kBufferSize] = {};
    char rate[kBufferSize] = {};
    float titleTimer = 0.0f;
    float statusTimer = 0.0f;
    float displayTimer = 0.0f;
    float rateTimer = 0.0f;
    int32_t fps = 0;
};

class CTextureFont;

// Prints HUD lines with the font: glyph set 0, in the 640 x 480 space, added (not blended).
class FontPrinter : public ITextPrinter {
  public:
    explicit FontPrinter(CTextureFont* f) : font(f) {}
    void printLine(int x, int y, const char* text) override;

  private:
    CTextureFont* font;
};
