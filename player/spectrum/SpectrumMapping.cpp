#include "player/spectrum/SpectrumMapping.h"

#include <algorithm>
#include <cmath>

namespace spectrum {

double SpectrumMapping::tiltAt(int cell) const {
    if (tiltDbPerOctave == 0.0) {
        return 0.0;
    }
    return tiltDbPerOctave * std::log2(std::max(cell, 1) * kCellHz / 1000.0);
}

unsigned char SpectrumMapping::levelOf(int cell, double db) const {
    double v = (db + tiltAt(cell) - topDb + rangeDb) / rangeDb * 255.0;
    return static_cast<unsigned char>(std::lround(std::clamp(v, 0.0, 255.0)));
}

void MappingTable::set(const SpectrumMapping& m) {
    scale = float(255.0 / m.rangeDb);
    for (int k = 0; k < kCells; ++k) {
        offset[k] = float((m.tiltAt(k) - m.topDb + m.rangeDb) * 255.0 / m.rangeDb);
    }
}

unsigned char MappingTable::level(int cell, double db) const {
    double v = offset[cell] + scale * db;
    return static_cast<unsigned char>(std::lround(std::clamp(v, 0.0, 255.0)));
}

} // namespace spectrum
