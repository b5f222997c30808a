#include "game/safety/FlashGuard.h"

#include "game/safety/FrameCells.h"

#include <algorithm>
#include <cmath>

namespace safety {

namespace {

// A transition a whole second before now no longer counts (a hair less than a second, so that
// the sum of sixty frame times of 1/60 s drops the transition sixty frames back, as an analyser
// counting 60 frames does).
constexpr double kWindowSeconds = 1.0 - 1e-6;
constexpr int kMixSteps = 255;
// A cell's share is found to the nearest 1/64 above what it needs.
constexpr int kShareStep = 4;
// Rounds of softening a frame at most: a field shading new cells may call for more.
constexpr int kSoftenPasses = 4;
// Two rows in every row of cells, every third pixel along them: at 800 x 600 a cell of about
// 17 x 12 pixels is seen through 12 samples.
constexpr int kRowsPerCell = 2;
constexpr int kColumnStep = 3;
// Frames smaller than this many pixels are seen whole: the softening's shading across a cell
// a few pixels wide is then measured as it is shown.
constexpr int kSmallFrame = 320 * 240;

// The 8-bit sRGB value whose linear value lies nearest to linear, looked up in steps of
// 1/4096 (off by at most one level in the darkest few).
uint8_t srgbByte(float linear) {
    constexpr int kSteps = 4096;
    static const std::array<uint8_t, kSteps + 1> table = [] {
        std::array<uint8_t, kSteps + 1> t{};
        int v = 0;
        for (int i = 0; i <= kSteps; ++i) {
            const float x = static_cast<float>(i) / kSteps;
            while (v < 255 && kLinearChannel[v + 1] - x < x - kLinearChannel[v]) {
                ++v;
            }
            t[static_cast<size_t>(i)] = static_cast<uint8_t>(v);
        }
        return t;
    }();
    const float at = std::min(1.0f, std::max(0.0f, linear)) * kSteps + 0.5f;
    return table[static_cast<size_t>(at)];
}

bool smallFrame(int width, int height) {
    return width * height < kSmallFrame;
}
int rowsPerCell(int width, int height) {
    return smallFrame(width, height)
               ? std::max(kRowsPerCell, (height + kGridCells - 1) / kGridCells)
               : kRowsPerCell;
}
int columnStep(int width, int height) {
    return smallFrame(width, height) ? 1 : std::min(kColumnStep, width / kGridCells);
}

} // namespace

FlashRules FlashGuard::countingRules(const FlashRules& rules) {
    FlashRules r = rules;
    r.lumaStep = rules.lumaStep * 0.95f;
    r.darkLimit = rules.darkLimit + 0.02f;
    r.redStep = rules.redStep * 0.9f;
    r.redSaturation = rules.redSaturation - 0.02f;
    r.areaShare = rules.areaShare * 0.9f;
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
    : samplePattern(width, height, rowsPerCell(width, height), columnStep(width, height)),
      counting(countingRules(rules)), softenRules(softeningRules(rules)),
      allowedTransitions(2 * rules.maxFlashes), tracks(kCells), general(kWindowSeconds),
      red(kWindowSeconds), linearMeans(static_cast<size_t>(kCells) * 3),
      previousColours(static_cast<size_t>(kCells) * 3) {
    const SamplePattern& p = samplePattern;
    sampleU.reserve(static_cast<size_t>(p.samples()));
    sampleV.reserve(static_cast<size_t>(p.samples()));
    for (int y : p.rows()) {
        for (int x : p.columns()) {
            int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
            p.cellBounds(cellOf(y, p.height()) * kGridCells + cellOf(x, p.width()), x0, y0, x1, y1);
            sampleU.push_back(SofteningField::across(x, x0, x1));
            sampleV.push_back(SofteningField::across(y, y0, y1));
        }
    }
}

void FlashGuard::reset() {
    tracks.assign(kCells, CellTrack{});
    general = FieldHistory(kWindowSeconds);
    red = FieldHistory(kWindowSeconds);
    cellWeights.fill(0.0f);
    now = 0.0;
}

void FlashGuard::keepColours() {
    for (size_t i = 0; i < previousColours.size(); ++i) {
        previousColours[i] = srgbByte(linearMeans[i]);
    }
}

CellColour FlashGuard::measure(const std::vector<uint8_t>& samples, int cell) {
    const std::vector<int>& at = samplePattern.cellSamples(cell);
    float r = 0.0f, g = 0.0f, b = 0.0f;
    for (int i : at) {
        const uint8_t* p = &samples[static_cast<size_t>(i) * 3];
        r += linearChannel(p[0]);
        g += linearChannel(p[1]);
        b += linearChannel(p[2]);
    }
    const float n = at.empty() ? 1.0f : static_cast<float>(at.size());
    float* mean = &linearMeans[static_cast<size_t>(cell) * 3];
    mean[0] = r / n;
    mean[1] = g / n;
    mean[2] = b / n;
    return cellColour(mean[0], mean[1], mean[2], counting);
}

void FlashGuard::mixCell(int cell, const std::vector<uint8_t>& from,
                         std::vector<uint8_t>& out) const {
    for (int i : samplePattern.cellSamples(cell)) {
        const size_t at = static_cast<size_t>(i) * 3;
        std::copy_n(&from[at], 3, &out[at]);
        field.mix(cell, sampleU[static_cast<size_t>(i)], sampleV[static_cast<size_t>(i)], &out[at]);
    }
}

int FlashGuard::softenCell(int cell) {
    const std::vector<int>& at = samplePattern.cellSamples(cell);
    const CellTrack& track = tracks[static_cast<size_t>(cell)];
    const float n = at.empty() ? 1.0f : static_cast<float>(at.size());
    // Each sample's colour to mix towards.
    std::vector<float>& to = targets;
    to.resize(at.size() * 3);
    for (size_t j = 0; j < at.size(); ++j) {
        const size_t i = static_cast<size_t>(at[j]);
        field.target(cell, sampleU[i], sampleV[i], &to[j * 3]);
    }
    auto quiet = [&](int step) {
        const float t = static_cast<float>(step) / kMixSteps;
        float sum[3] = {0.0f, 0.0f, 0.0f};
        for (size_t j = 0; j < at.size(); ++j) {
            const uint8_t* d = &drawn[static_cast<size_t>(at[j]) * 3];
            for (size_t k = 0; k < 3; ++k) {
                const float shown = t * to[j * 3 + k] + (1.0f - t) * static_cast<float>(d[k]);
                sum[k] += linearChannel(static_cast<uint8_t>(std::min(255.0f, shown + 0.5f)));
            }
        }
        CellTrack::Events e =
            track.peek(cellColour(sum[0] / n, sum[1] / n, sum[2] / n, counting), softenRules);
        return e.luma == 0 && e.red == 0;
    };
    // The change is near enough monotonic in the share; the least share found by halving, in
    // steps of kShareStep. A cell that even the whole share cannot hold is left to soften()
    // to hold more, or show flat.
    auto shareOf = [](int k) { return std::min(kMixSteps, k * kShareStep); };
    if (!quiet(kMixSteps)) {
        return kMixSteps;
    }
    int lo = 0, hi = (kMixSteps + kShareStep - 1) / kShareStep;
    while (hi - lo > 1) {
        int mid = (lo + hi) / 2;
        if (quiet(shareOf(mid))) {
            hi = mid;
        } else {
            lo = mid;
        }
    }
    return shareOf(hi);
}

bool FlashGuard::markOverLimit(const CellFlags& cells, const FieldHistory& history,
                               CellFlags& hold) const {
    FieldFlags fields{};
    coveredFields(cells, counting.fieldCellsNeeded(), fields);
    // Summed-area table of the fields over their limit, so that each cell asks at once whether
    // one of the fields holding it is.
    constexpr int n = kFieldPlaces + 1;
    std::array<int, n * n> over{};
    bool any = false;
    for (int fy = 0; fy < kFieldPlaces; ++fy) {
        int row = 0;
        for (int fx = 0; fx < kFieldPlaces; ++fx) {
            int f = fy * kFieldPlaces + fx;
            bool isOver =
                fields[static_cast<size_t>(f)] != 0 && history.count(f) >= allowedTransitions;
            any = any || isOver;
            row += isOver ? 1 : 0;
            over[static_cast<size_t>((fy + 1) * n + fx + 1)] =
                over[static_cast<size_t>(fy * n + fx + 1)] + row;
        }
    }
    if (!any) {
        return false;
    }
    auto at = [&](int x, int y) { return over[static_cast<size_t>(y * n + x)]; };
    for (int c = 0; c < kCells; ++c) {
        if (cells[static_cast<size_t>(c)] == 0 || hold[static_cast<size_t>(c)] != 0) {
            continue;
        }
        int cx = c % kGridCells, cy = c / kGridCells;
        // The fields holding cell (cx, cy) start at cx - 15 .. cx and cy - 15 .. cy.
        int x0 = std::max(0, cx - kFieldCells + 1), x1 = std::min(kFieldPlaces, cx + 1);
        int y0 = std::max(0, cy - kFieldCells + 1), y1 = std::min(kFieldPlaces, cy + 1);
        if (at(x1, y1) - at(x0, y1) - at(x1, y0) + at(x0, y0) > 0) {
            hold[static_cast<size_t>(c)] = 1;
        }
    }
    return true;
}

void FlashGuard::soften(CellFlags& hold, std::vector<uint8_t>& samples) {
    drawn = samples;
    field.setColours(previousColours);
    CellFlags solved{}, flat{};
    for (int pass = 1;; ++pass) {
        for (int c = 0; c < kCells; ++c) {
            const size_t at = static_cast<size_t>(c);
            if (hold[at] != 0 && solved[at] == 0) {
                cellWeights[at] = static_cast<float>(softenCell(c)) / kMixSteps;
                solved[at] = 1;
            }
        }
        // The cells as they will be shown: each held cell and its neighbours, by the field.
        field.build(cellWeights, flat);
        CellFlags lumaCells{}, redCells{};
        for (int c = 0; c < kCells; ++c) {
            const size_t at = static_cast<size_t>(c);
            if (field.touches(c)) {
                mixCell(c, drawn, samples);
                colours[at] = measure(samples, c);
                CellTrack::Events e = tracks[at].peek(colours[at], counting);
                lumaCells[at] = e.luma != 0 ? 1 : 0;
                redCells[at] = e.red != 0 ? 1 : 0;
            }
        }
        if (pass == kSoftenPasses) {
            return;
        }
        // The field shades a held cell's neighbours too, towards colours not quite their own:
        // a cell still making a transition where a field is at its limit is held too, held
        // more when it was already, and at the last round shown flat in its own colour.
        CellFlags again{};
        bool more = markOverLimit(lumaCells, general, again);
        more = markOverLimit(redCells, red, again) || more;
        if (!more) {
            return;
        }
        for (int c = 0; c < kCells; ++c) {
            const size_t at = static_cast<size_t>(c);
            if (again[at] != 0) {
                if (hold[at] == 0) {
                    hold[at] = 1;
                } else if (pass + 1 < kSoftenPasses && cellWeights[at] < 1.0f) {
                    cellWeights[at] += (1.0f - cellWeights[at]) * 0.5f;
                } else {
                    flat[at] = 1;
                }
            }
        }
    }
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
    // The cells held: those making a transition in a field at its limit.
    CellFlags hold{};
    bool softened = markOverLimit(lumaCells, general, hold);
    softened = markOverLimit(redCells, red, hold) || softened;
    if (softened) {
        soften(hold, samples);
        ++softenedCount;
    }

    for (int c = 0; c < kCells; ++c) {
        CellTrack::Events e =
            tracks[static_cast<size_t>(c)].step(colours[static_cast<size_t>(c)], counting);
        lumaCells[static_cast<size_t>(c)] = e.luma != 0 ? 1 : 0;
        redCells[static_cast<size_t>(c)] = e.red != 0 ? 1 : 0;
    }
    const int needed = counting.fieldCellsNeeded();
    FieldFlags fields{};
    coveredFields(lumaCells, needed, fields);
    general.record(fields, now);
    coveredFields(redCells, needed, fields);
    red.record(fields, now);
    // The colours are needed only when the next frame can be softened: some field at its limit.
    if (general.largest() >= allowedTransitions || red.largest() >= allowedTransitions) {
        keepColours();
    }
    return softened;
}

} // namespace safety
