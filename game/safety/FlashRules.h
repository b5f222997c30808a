// The thresholds of the three-flashes rule (general flashes, red flashes and the area they
// must cover) and the colour measures they are taken on: relative luminance from sRGB and the
// red measure. Frames are cut into a grid of kGridCells x kGridCells cells; a field of view of
// 10 degrees is kFieldCells x kFieldCells cells, a third of the frame each way (341 x 256 at
// 1024 x 768), so it scales with the frame's size.
#pragma once

#include <cstdint>

namespace safety {

constexpr int kGridCells = 48;
constexpr int kFieldCells = 16;
constexpr int kFieldPlaces = kGridCells - kFieldCells + 1; // field positions each way

struct FlashRules {
    // A general transition: relative luminance changes by at least lumaStep between a peak
    // and a valley, and the darker of the two is below darkLimit.
    float lumaStep = 0.10f;
    float darkLimit = 0.80f;
    // A red transition: the red measure max(0, (R - G - B) x 320) changes by more than redStep,
    // and one of the two states is saturated red, R / (R + G + B) at least redSaturation
    // (R, G, B linear, 0 to 1).
    float redStep = 20.0f;
    float redSaturation = 0.80f;
    // A transition counts where the cells making it at the same frame cover at least this
    // share of some field.
    float areaShare = 0.25f;
    // A flash is a pair of opposing transitions; at most this many flashes in any one second.
    int maxFlashes = 3;

    // Cells of a field that must make a transition together.
    int fieldCellsNeeded() const;
};

// Linear values (0..1) of the 8-bit sRGB channel values.
extern const float kLinearChannel[256];
inline float linearChannel(uint8_t value) {
    return kLinearChannel[value];
}

// The colour measures of one cell, from its mean linear R, G and B.
struct CellColour {
    float luma = 0.0f; // relative luminance, 0..1
    float red = 0.0f;  // max(0, (R - G - B) x 320)
    bool saturatedRed = false;
};
CellColour cellColour(float r, float g, float b, const FlashRules& rules);

} // namespace safety
