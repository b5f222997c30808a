// The spectrum cell the analyser gives a pure tone handed to it straight, with no sound server
// in between: a tone that went through the desktop's output must land in the same cell.
#pragma once

#include "player/spectrum/SpectrumAnalyzer.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace testsupport {

inline int directToneCell(double hz) {
    std::vector<float> tone(SpectrumAnalyzer::kWindow);
    for (size_t i = 0; i < tone.size(); ++i) {
        tone[i] = 0.5f * float(std::sin(2 * M_PI * hz * double(i) / 44100.0));
    }
    SpectrumAnalyzer analyser;
    unsigned char cells[SpectrumAnalyzer::kBands];
    analyser.analyse(tone.data(), SpectrumAnalyzer::kWindow, cells);
    return int(std::max_element(cells, cells + SpectrumAnalyzer::kBands) - cells);
}

// The cell a tone shows in: the middle of the run of cells at the spectrum's peak (a loud
// tone under a song's ride calibration fills its neighbours to 255 too).
inline int toneCell(const unsigned char* cells) {
    const unsigned char* peak = std::max_element(cells, cells + SpectrumAnalyzer::kBands);
    const unsigned char* end = peak;
    while (end + 1 < cells + SpectrumAnalyzer::kBands && end[1] == *peak) {
        ++end;
    }
    return int((peak - cells) + (end - peak) / 2);
}

} // namespace testsupport
