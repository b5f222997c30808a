// The flash guard's decisions, frame by frame, on samples of the frames as they are drawn
// (SamplePattern). It keeps each cell's luminance and red peaks and valleys and each field's
// transitions of the last second, as the flash analyser does. When a frame would make a
// seventh transition (the start of a fourth flash) within one second in some field, it softens
// that frame: each cell that would make it is mixed with a soft picture of the frame shown
// before (each cell's mean colour then, blended across the cells), just enough to keep its
// change under the rules' step, and the mix is spread as a smooth field over the cells around
// (SofteningField), so no cell edge shows. The drawn picture stays in the mix, so the ride
// moves on; no frame is dropped or repeated, and a frame below the limit is left exactly as
// drawn.
//
// To stay on the safe side of an analyser measuring every pixel, the guard counts a little
// more than the rules (a step of 0.095, 18 on the red measure, 90 % of a quarter field) and
// softens to well under them (0.06 and 12).
//
// Used by the game's GL guard (GLFlashGuard) and by PixelFlashGuard for frames in memory.
#pragma once

#include "game/safety/FlashFields.h"
#include "game/safety/FlashRules.h"
#include "game/safety/FlashTracker.h"
#include "game/safety/SamplePattern.h"
#include "game/safety/SofteningField.h"

#include <array>
#include <cstdint>
#include <vector>

namespace safety {

class FlashGuard {
  public:
    // Frames of width x height pixels.
    FlashGuard(int width, int height, const FlashRules& rules = FlashRules{});

    const SamplePattern& pattern() const { return samplePattern; }

    // The next frame's samples as drawn (pattern().samples() x 3 RGB bytes), dt seconds after
    // the previous frame. Returns whether the frame must be softened: then softening() is the
    // mix to apply to the whole frame, and samples hold the mix. Returns false (samples
    // untouched) for a frame below the limit.
    bool guardFrame(std::vector<uint8_t>& samples, double dt);
    const SofteningField& softening() const { return field; }

    // Forgets everything seen, as at construction (a new scene, a resized window).
    void reset();

    // Frames guarded, and frames softened.
    long long frames() const { return frameCount; }
    long long softenedFrames() const { return softenedCount; }

    // The rules the guard counts with and the tighter ones it softens to.
    static FlashRules countingRules(const FlashRules& rules);
    static FlashRules softeningRules(const FlashRules& rules);

  private:
    // Cell c's colour measures; its mean linear colour goes to linearMeans.
    CellColour measure(const std::vector<uint8_t>& samples, int cell);
    // The least share of the previous frame's colours, in 255ths, that keeps cell c from a
    // transition.
    int softenCell(int cell);
    // Keeps each cell's mean colour in the frame as shown, for the next frame's mix.
    void keepColours();
    // Softens the frame's samples: the cells held, and those the softening shows still making
    // a transition, which are added to hold.
    void soften(CellFlags& hold, std::vector<uint8_t>& samples);
    // Cell c's samples, drawn, mixed by the softening field into out.
    void mixCell(int cell, const std::vector<uint8_t>& drawn, std::vector<uint8_t>& out) const;
    // Marks the cells flagged in cells that lie in a field over its limit; false when none.
    bool markOverLimit(const CellFlags& cells, const FieldHistory& history, CellFlags& hold) const;

    SamplePattern samplePattern;
    FlashRules counting;
    FlashRules softenRules;
    int allowedTransitions;
    std::vector<CellTrack> tracks;
    FieldHistory general;
    FieldHistory red;
    std::array<CellColour, kCells> colours{};
    std::array<float, kCells> cellWeights{};
    SofteningField field;
    // Each sample's place across its cell (0..1 each way), the frame's samples as drawn, and
    // the colours of a cell's samples to mix towards.
    std::vector<float> sampleU, sampleV;
    std::vector<uint8_t> drawn;
    std::vector<float> targets;
    // Each cell's mean linear colour in the frame being guarded, and in the frame shown last
    // (sRGB of the linear mean).
    std::vector<float> linearMeans;
    std::vector<uint8_t> previousColours;
    double now = 0.0;
    long long frameCount = 0;
    long long softenedCount = 0;
};

} // namespace safety
