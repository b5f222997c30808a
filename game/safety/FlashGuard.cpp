#include "game/safety/FlashGuard.h"

#include <algorithm>
#include <cmath>

namespace safety {

namespace {

// A transition a whole second before now no longer counts (a hair less than a second, so that
// the sum of sixty frame times of 1/60 s drops the transition sixty frames back, as an analyser
// counting 60 frames does).
constexpr double kWindowSeconds = 1.0 - 1e-6;
constexpr int kMixSteps = 255;

} // namespace

FlashRules FlashGuard::countingRules(const FlashRules& rules) {
    FlashRules r = rules;
    r.lumaStep = rules.lumaStep * 0.95f;
    r.darkLimit = rules.darkLimit + 0.02f;
    r.redStep = rules.redStep * 0.9f;
    r.redSaturation = rules.redSaturation - 0.02f;
    r.areaShare = rules.areaShare * 0.95f;
    return r;
}

FlashRules FlashGuard::softeningRules(const FlashRules& rules) {
    FlashRules r = countingRules(rules);
    r.lumaStep = rules.lumaStep * 0.6f;
    r.darkLimit = rules.darkLimit + 0.05f;
    r.redStep = rules.redStep * 0.6f;
    r.redSaturation = rules.redSaturation - 0.05f;
    return r;
}

FlashGuard::FlashGuard(int width, int height, const FlashRules& rules)
    : samplePattern(width, height), counting(countingRules(rules)),
      softening(softeningRules(rules)), allowedTransitions(2 * rules.maxFlashes), tracks(kCells),
      general(kWindowSeconds), red(kWindowSeconds), lumaAnchor(static_cast<size_t>(kCells) * 3),
      redAnchor(static_cast<size_t>(kCells) * 3), mixColour(static_cast<size_t>(kCells) * 3) {}

void FlashGuard::reset() {
    tracks.assign(kCells, CellTrack{});
    general = FieldHistory(kWindowSeconds);
    red = FieldHistory(kWindowSeconds);
    cellWeights.fill(0.0f);
    now = 0.0;
}

CellColour FlashGuard::measure(const std::vector<uint8_t>& samples, int cell) const {
    const std::vector<int>& at = samplePattern.cellSamples(cell);
    float r = 0.0f, g = 0.0f, b = 0.0f;
    for (int i : at) {
        const uint8_t* p = &samples[static_cast<size_t>(i) * 3];
        r += linearChannel(p[0]);
        g += linearChannel(p[1]);
        b += linearChannel(p[2]);
    }
    float n = at.empty() ? 1.0f : static_cast<float>(at.size());
    return cellColour(r / n, g / n, b / n, counting);
}

void FlashGuard::meanColour(const std::vector<uint8_t>& samples, int cell, float* rgb) const {
    const std::vector<int>& at = samplePattern.cellSamples(cell);
    float sum[3] = {0.0f, 0.0f, 0.0f};
    for (int i : at) {
        for (size_t k = 0; k < 3; ++k) {
            sum[k] += samples[static_cast<size_t>(i) * 3 + k];
        }
    }
    float n = at.empty() ? 1.0f : static_cast<float>(at.size());
    for (size_t k = 0; k < 3; ++k) {
        rgb[k] = sum[k] / n;
    }
}

void FlashGuard::mix(int cell, float t, const std::vector<uint8_t>& drawn,
                     std::vector<uint8_t>& out) const {
    const float* a = anchor(cell);
    for (int i : samplePattern.cellSamples(cell)) {
        for (size_t k = 0; k < 3; ++k) {
            size_t at = static_cast<size_t>(i) * 3 + k;
            float v = t * a[k] + (1.0f - t) * drawn[at];
            out[at] = static_cast<uint8_t>(std::lround(v));
        }
    }
}

float FlashGuard::softenCell(int cell, const std::vector<uint8_t>& drawn) {
    std::vector<uint8_t> trial = drawn;
    auto quiet = [&](int step) {
        mix(cell, static_cast<float>(step) / kMixSteps, drawn, trial);
        CellTrack::Events e =
            tracks[static_cast<size_t>(cell)].peek(measure(trial, cell), softening);
        return e.luma == 0 && e.red == 0;
    };
    // The change is near enough monotonic in the share; the least share found by halving is
    // checked, and the flat anchor colour taken when it falls short.
    int lo = 0, hi = kMixSteps;
    if (!quiet(hi)) {
        return 1.0f;
    }
    while (hi - lo > 1) {
        int mid = (lo + hi) / 2;
        if (quiet(mid)) {
            hi = mid;
        } else {
            lo = mid;
        }
    }
    return static_cast<float>(hi) / kMixSteps;
}

bool FlashGuard::guardFrame(std::vector<uint8_t>& samples, double dt) {
    ++frameCount;
    now += dt;
    general.advance(now);
    red.advance(now);
    cellWeights.fill(0.0f);

    CellFlags lumaCells{}, redCells{};
    for (int c = 0; c < kCells; ++c) {
        colours[static_cast<size_t>(c)] = measure(samples, c);
        CellTrack::Events e =
            tracks[static_cast<size_t>(c)].peek(colours[static_cast<size_t>(c)], counting);
        lumaCells[static_cast<size_t>(c)] = e.luma != 0 ? 1 : 0;
        redCells[static_cast<size_t>(c)] = e.red != 0 ? 1 : 0;
    }
    const int needed = counting.fieldCellsNeeded();
    FieldFlags fields{};
    // Per cell: 1 held for its luminance, 2 for its red alone.
    CellFlags hold{};
    bool softened = false;
    auto markOverLimit = [&](const CellFlags& cells, const FieldHistory& history, uint8_t why) {
        coveredFields(cells, needed, fields);
        for (int f = 0; f < kFields; ++f) {
            if (fields[static_cast<size_t>(f)] != 0 && history.count(f) >= allowedTransitions) {
                forEachCellIn(f, cells, [&](int c) {
                    uint8_t& h = hold[static_cast<size_t>(c)];
                    h = h == 0 ? why : h;
                });
                softened = true;
            }
        }
    };
    markOverLimit(lumaCells, general, 1);
    markOverLimit(redCells, red, 2);
    if (softened) {
        const std::vector<uint8_t> drawn = samples;
        for (int c = 0; c < kCells; ++c) {
            if (hold[static_cast<size_t>(c)] != 0) {
                const std::vector<float>& from =
                    hold[static_cast<size_t>(c)] == 1 ? lumaAnchor : redAnchor;
                std::copy_n(&from[static_cast<size_t>(c) * 3], 3,
                            &mixColour[static_cast<size_t>(c) * 3]);
                float t = softenCell(c, drawn);
                cellWeights[static_cast<size_t>(c)] = t;
                mix(c, t, drawn, samples);
                colours[static_cast<size_t>(c)] = measure(samples, c);
            }
        }
        ++softenedCount;
    }

    for (int c = 0; c < kCells; ++c) {
        CellTrack& track = tracks[static_cast<size_t>(c)];
        const CellColour& colour = colours[static_cast<size_t>(c)];
        CellTrack::Events e = track.step(colour, counting);
        lumaCells[static_cast<size_t>(c)] = e.luma != 0 ? 1 : 0;
        redCells[static_cast<size_t>(c)] = e.red != 0 ? 1 : 0;
        // A new peak or valley: the colour a later softening holds the cell near.
        bool lumaTurn = track.luma.reference() == colour.luma;
        bool redTurn = track.red.reference() == colour.red;
        if (lumaTurn || redTurn) {
            float mean[3];
            meanColour(samples, c, mean);
            if (lumaTurn) {
                std::copy_n(mean, 3, &lumaAnchor[static_cast<size_t>(c) * 3]);
            }
            if (redTurn) {
                std::copy_n(mean, 3, &redAnchor[static_cast<size_t>(c) * 3]);
            }
        }
    }
    coveredFields(lumaCells, needed, fields);
    general.record(fields, now);
    coveredFields(redCells, needed, fields);
    red.record(fields, now);
    return softened;
}

} // namespace safety
