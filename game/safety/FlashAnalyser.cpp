#include "game/safety/FlashAnalyser.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace safety {

FlashAnalyser::FlashAnalyser(int width, int height, double fps, const FlashRules& rules)
    : frameWidth(width), frameHeight(height), flashRules(rules), tracks(kCells), general(fps),
      red(fps) {
    if (width < kGridCells || height < kGridCells) {
        throw std::invalid_argument("flash analyser: frames must be at least 48 x 48 pixels");
    }
    if (!(fps > 0.0)) {
        throw std::invalid_argument("flash analyser: the frame rate must be positive");
    }
    summary.fps = fps;
}

void FlashAnalyser::addFrame(const uint8_t* pixels, int rowBytes, PixelLayout layout) {
    measureCells(pixels, frameWidth, frameHeight, rowBytes, layout, flashRules, colours);
    addCells(colours);
}

void FlashAnalyser::addCells(const CellColours& cells) {
    CellFlags lumaCells{}, redCells{};
    for (size_t c = 0; c < tracks.size(); ++c) {
        CellTrack::Events e = tracks[c].step(cells[c], flashRules);
        lumaCells[c] = e.luma != 0 ? 1 : 0;
        redCells[c] = e.red != 0 ? 1 : 0;
    }
    const int needed = flashRules.fieldCellsNeeded();
    FieldFlags fields{};
    const double now = static_cast<double>(summary.frames);
    coveredFields(lumaCells, needed, fields);
    general.record(fields, now);
    coveredFields(redCells, needed, fields);
    red.record(fields, now);

    latest.generalTransitions = general.largest();
    latest.redTransitions = red.largest();
    latest.general = latest.generalTransitions / 2;
    latest.red = latest.redTransitions / 2;

    const size_t second = static_cast<size_t>(std::floor(now / summary.fps + 1e-9));
    if (summary.seconds.size() <= second) {
        summary.seconds.resize(second + 1);
    }
    FlashCount& s = summary.seconds[second];
    const bool wasOver = s.general > flashRules.maxFlashes || s.red > flashRules.maxFlashes;
    s.general = std::max(s.general, latest.general);
    s.red = std::max(s.red, latest.red);
    s.generalTransitions = std::max(s.generalTransitions, latest.generalTransitions);
    s.redTransitions = std::max(s.redTransitions, latest.redTransitions);
    if (!wasOver && (s.general > flashRules.maxFlashes || s.red > flashRules.maxFlashes)) {
        ++summary.secondsOverLimit;
    }
    if (summary.worstGeneralSecond < 0 || s.general > summary.worst.general) {
        summary.worst.general = s.general;
        summary.worstGeneralSecond = static_cast<int>(second);
    }
    if (summary.worstRedSecond < 0 || s.red > summary.worst.red) {
        summary.worst.red = s.red;
        summary.worstRedSecond = static_cast<int>(second);
    }
    summary.worst.generalTransitions =
        std::max(summary.worst.generalTransitions, s.generalTransitions);
    summary.worst.redTransitions = std::max(summary.worst.redTransitions, s.redTransitions);
    ++summary.frames;
}

std::string formatFlashReport(const FlashReport& report, const FlashRules& rules) {
    std::string out;
    char line[160];
    std::snprintf(line, sizeof line, "frames %lld at %.3g fps; flashes per second (transitions)\n",
                  report.frames, report.fps);
    out += line;
    for (size_t s = 0; s < report.seconds.size(); ++s) {
        const FlashCount& c = report.seconds[s];
        bool over = c.general > rules.maxFlashes || c.red > rules.maxFlashes;
        std::snprintf(line, sizeof line, "second %4zu: general %2d (%2d)  red %2d (%2d)%s\n", s,
                      c.general, c.generalTransitions, c.red, c.redTransitions,
                      over ? "  OVER" : "");
        out += line;
    }
    std::snprintf(line, sizeof line,
                  "worst: general %d in second %d, red %d in second %d; %d second(s) over the "
                  "limit of %d: %s\n",
                  report.worst.general, report.worstGeneralSecond, report.worst.red,
                  report.worstRedSecond, report.secondsOverLimit, rules.maxFlashes,
                  report.overLimit() ? "FAIL" : "pass");
    out += line;
    return out;
}

} // namespace safety
