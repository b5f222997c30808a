#include "game/safety/FlashTracker.h"

#include <cmath>

namespace safety {

namespace {

struct LumaCounts {
    const FlashRules& rules;
    bool operator()(float from, float to, bool, bool) const {
        // A hair below the step, so that a change of exactly 10 % computed in float counts.
        return std::fabs(to - from) >= rules.lumaStep - 1e-5f &&
               std::fmin(from, to) < rules.darkLimit;
    }
};

struct RedCounts {
    const FlashRules& rules;
    bool operator()(float from, float to, bool fromSaturated, bool toSaturated) const {
        return std::fabs(to - from) > rules.redStep && (fromSaturated || toSaturated);
    }
};

} // namespace

CellTrack::Events CellTrack::peek(const CellColour& c, const FlashRules& rules) const {
    return Events{luma.peek(c.luma, false, LumaCounts{rules}),
                  red.peek(c.red, c.saturatedRed, RedCounts{rules})};
}

CellTrack::Events CellTrack::step(const CellColour& c, const FlashRules& rules) {
    return Events{luma.step(c.luma, false, LumaCounts{rules}),
                  red.step(c.red, c.saturatedRed, RedCounts{rules})};
}

} // namespace safety
