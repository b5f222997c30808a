#include "game/shell/Hud.h"

#include "game/assets/TextureFont.h"
#include "game/shell/Controls.h"

#include <cstdio>

void CHud::drawTitleLine(float dt, const char* mediaTitle, ITextPrinter& out) {
    titleTimer += dt;
    if (titleTimer >= kTextRefresh) {
        titleTimer = 0.0f;
        // The block's title need not end in a NUL: at most 199 bytes are shown.
        std::snprintf(title, sizeof title, "Title: %.199s",
                      mediaTitle != nullptr ? mediaTitle : "");
        title[kBufferSize - 1] = '\0';
    }
    out.printLine(hudlayout::kTitleX, hudlayout::kTitleY, title);
}

void CHud::drawStatusLines(float dt, CControls& controls, float smoothing, float speed,
                           ShownStatus& shown, ITextPrinter& out) {
    statusTimer += dt;
    auto speedPercent = static_cast<int32_t>(speed * 100.0f);
    auto smoothingPercent = static_cast<int32_t>(smoothing * 100.0f);
    if (controls.statusRefresh) {
        controls.statusRefresh = false;
        displayTimer = kStatusSeconds;
    }
    bool unchanged = controls.viewPoint == shown.viewPoint && controls.headTilt == shown.headTilt &&
                     smoothingPercent == shown.smoothingPercent &&
                     speedPercent == shown.speedPercent;
    if (unchanged) {
        displayTimer -= dt;
    } else {
        displayTimer = kStatusSeconds;
    }
    if (displayTimer <= 0.0f) {
        displayTimer = 0.0f;
        return;
    }
    const char* name = viewPointName(controls.viewPoint);
    const char* tilt = controls.headTilt ? "ON" : "OFF";
    if (statusTimer >= kTextRefresh) {
        statusTimer = 0.0f;
        std::snprintf(status1, sizeof status1, "ViewPoint: %s; HeadTilt %s", name, tilt);
        std::snprintf(status2, sizeof status2, "Speed: %d%%;  Roughness: %d%%", speedPercent,
                      smoothingPercent);
        status1[kBufferSize - 1] = '\0';
        status2[kBufferSize - 1] = '\0';
    }
    shown.viewPoint = controls.viewPoint;
    shown.headTilt = controls.headTilt;
    shown.smoothingPercent = smoothingPercent;
    shown.speedPercent = speedPercent;
    out.printLine(hudlayout::kStatus1X, hudlayout::kStatus1Y, status1);
    out.printLine(hudlayout::kStatus2X, hudlayout::kStatus2Y, status2);
}

void CHud::drawFrameRate(float dt, int32_t& frameCounter, ITextPrinter& out) {
    rateTimer += dt;
    if (rateTimer >= kRateRefresh) {
        // rateTimer is at least half a second here, so the division is safe. The rate is
        // truncated; a thousandth of a frame keeps a rate that the summed frame times put a
        // hair under a whole number (60 frames a second reading 59.9999) at that number.
        fps = static_cast<int32_t>(static_cast<float>(frameCounter) / rateTimer + 0.001f);
        rateTimer = 0.0f;
        frameCounter = 0;
        std::snprintf(rate, sizeof rate, "FPS: %d", fps);
        rate[kBufferSize - 1] = '\0';
    }
    out.printLine(hudlayout::kFrameRateX, hudlayout::kFrameRateY, rate);
}

void FontPrinter::printLine(int x, int y, const char* text) {
    if (font != nullptr) {
        font->print(x, y, text, 0, 1, 0);
    }
}
