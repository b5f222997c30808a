// Flash analyser: reads a sequence of frames at a known frame rate and reports the flashes of
// each second, general and red, following WCAG 2.3.1 ("Three Flashes or Below Threshold"):
//
//   - relative luminance from sRGB (linearised, 0.2126 R + 0.7152 G + 0.0722 B);
//   - a general transition is a change of at least 0.1 between a peak and a valley of a cell's
//     luminance where the darker state is below 0.8; a red transition a change of more than 20
//     in max(0, (R - G - B) x 320) with a saturated red (R / (R + G + B) >= 0.8) at one end;
//   - a transition counts where the cells making it at the same frame cover at least 25 % of a
//     10-degree field (341 x 256 at 1024 x 768: a third of the frame each way, anywhere);
//   - a flash is a pair of opposing transitions; the count of a second is the most flashes of
//     any one field in any one-second period ending within that second.
//
// Pure C++, no GL: feed it frames from anywhere (the game, tcrender, image files).
//
//   safety::FlashAnalyser analyser(width, height, 60.0);
//   for (each frame) analyser.addFrame(pixels, rowBytes, safety::PixelLayout::Rgb);
//   std::fputs(safety::formatFlashReport(analyser.report()).c_str(), stdout);
#pragma once

#include "game/safety/FlashFields.h"
#include "game/safety/FlashRules.h"
#include "game/safety/FlashTracker.h"
#include "game/safety/FrameCells.h"

#include <cstdint>
#include <string>
#include <vector>

namespace safety {

// Flashes are whole pairs of transitions: 7 transitions in a second are 3 flashes, with a
// fourth begun.
struct FlashCount {
    int general = 0;
    int red = 0;
    int generalTransitions = 0;
    int redTransitions = 0;
};

struct FlashReport {
    double fps = 0.0;
    long long frames = 0;
    // Second s covers frames s x fps up to (s + 1) x fps; its counts are the most of any
    // one-second period ending within it.
    std::vector<FlashCount> seconds;
    // The most of any second, and the first second that had it (-1 before any frame).
    FlashCount worst;
    int worstGeneralSecond = -1;
    int worstRedSecond = -1;
    // Seconds with more general or more red flashes than the rules allow.
    int secondsOverLimit = 0;
    // Whether some second has more flashes than maxFlashes.
    bool overLimit() const { return secondsOverLimit > 0; }
};

class FlashAnalyser {
  public:
    // Frames of width x height pixels (each at least kGridCells) arriving fps times a second.
    // Throws std::invalid_argument for a smaller frame or a frame rate that is not positive.
    FlashAnalyser(int width, int height, double fps, const FlashRules& rules = FlashRules{});

    // The next frame: height rows of width pixels of 8-bit sRGB, rowBytes apart.
    void addFrame(const uint8_t* pixels, int rowBytes, PixelLayout layout);
    // The next frame, as cell colours measured elsewhere (measureCells).
    void addCells(const CellColours& cells);

    const FlashReport& report() const { return summary; }
    // The counts of the one-second period ending at the last frame.
    FlashCount current() const { return latest; }
    int width() const { return frameWidth; }
    int height() const { return frameHeight; }
    const FlashRules& rules() const { return flashRules; }

  private:
    int frameWidth, frameHeight;
    FlashRules flashRules;
    std::vector<CellTrack> tracks;
    FieldHistory general;
    FieldHistory red;
    CellColours colours{};
    FlashReport summary;
    FlashCount latest;
};

// The report as text: one line per second, then the worst second and the verdict.
std::string formatFlashReport(const FlashReport& report, const FlashRules& rules = FlashRules{});

} // namespace safety
