#include "game/safety/FlashRules.h"

#include <array>
#include <cmath>

namespace safety {

int FlashRules::fieldCellsNeeded() const {
    int n = static_cast<int>(std::ceil(areaShare * kFieldCells * kFieldCells - 1e-4f));
    return n < 1 ? 1 : n;
}

namespace {

std::array<float, 256> makeLinearTable() {
    std::array<float, 256> t{};
    for (int i = 0; i < 256; ++i) {
        double c = i / 255.0;
        t[static_cast<size_t>(i)] =
            static_cast<float>(c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
    }
    return t;
}

} // namespace

float linearChannel(uint8_t value) {
    static const std::array<float, 256> table = makeLinearTable();
    return table[value];
}

CellColour cellColour(float r, float g, float b, const FlashRules& rules) {
    CellColour c;
    c.luma = 0.2126f * r + 0.7152f * g + 0.0722f * b;
    float red = (r - g - b) * 320.0f;
    c.red = red > 0.0f ? red : 0.0f;
    float sum = r + g + b;
    c.saturatedRed = sum > 0.0f && r >= rules.redSaturation * sum;
    return c;
}

} // namespace safety
