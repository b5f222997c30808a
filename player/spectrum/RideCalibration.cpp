#include "player/spectrum/RideCalibration.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace spectrum {

namespace {
constexpr long kWindow = SpectrumAnalyzer::kWindow;
constexpr long kFirstHop = long(RideProfile::kHopSeconds * 44100);

// The value at quantile q (0..1) of values, which it reorders.
double quantile(std::vector<double>& values, double q) {
    if (values.empty()) {
        return 0;
    }
    size_t at = std::min(values.size() - 1, size_t(q * double(values.size())));
    std::nth_element(values.begin(), values.begin() + long(at), values.end());
    return values[at];
}
// The top between low and high at which level(top) comes to L (levels fall as the top rises).
template <class Level> double topFor(const Level& level, double L, double low, double high) {
    for (int i = 0; i < 24; ++i) {
        double mid = 0.5 * (low + high);
        (level(mid) > L ? low : high) = mid;
    }
    return 0.5 * (low + high);
}
} // namespace

RideProfile::RideProfile(Memory m)
    : memory(m), tilt(SpectrumAnalyzer::kBands), recent(size_t(kWindow) * 2, 0.0f), hop(kFirstHop) {
    SpectrumMapping tilted{0, kRangeDb, kTiltDbPerOctave};
    for (int k = 0; k < SpectrumAnalyzer::kBands; ++k) {
        tilt[size_t(k)] = float(tilted.tiltAt(k));
    }
}

void RideProfile::clear() {
    std::fill(recent.begin(), recent.end(), 0.0f);
    recentAt = sinceHop = 0;
    hop = kFirstHop;
    fed = 0;
    histograms.clear();
    sounding.clear();
}

void RideProfile::add(const float* frames, long count) {
    fed += count;
    while (count > 0) {
        long n = std::min({count, hop - sinceHop, kWindow - recentAt});
        std::memcpy(&recent[size_t(recentAt) * 2], frames, size_t(n) * 2 * sizeof(float));
        frames += n * 2;
        count -= n;
        recentAt = (recentAt + n) % kWindow;
        sinceHop += n;
        if (sinceHop == hop) {
            sinceHop = 0;
            analyseWindow();
        }
    }
}

void RideProfile::analyseWindow() {
    // The window in time order: the ring from its oldest frame.
    size_t split = size_t(recentAt) * 2;
    std::memcpy(window, recent.data() + split, (recent.size() - split) * sizeof(float));
    std::memcpy(window + (recent.size() - split), recent.data(), split * sizeof(float));
    double energy = 0;
    for (float s : window) {
        energy += double(s) * s;
    }
    double rmsDb = 10.0 * std::log10(energy / double(kWindow * 2) + 1e-30);

    size_t at = histograms.size();
    histograms.resize(at + kBins, 0);
    uint16_t* h = &histograms[at];
    for (int c = 0; c < 2; ++c) {
        analyzer.decibelsInterleaved(window, kWindow, c, db);
        for (int k = 0; k < SpectrumAnalyzer::kBands; ++k) {
            int bin = int(std::floor(db[k] + tilt[size_t(k)] - kLowestDb));
            ++h[std::clamp(bin, 0, kBins - 1)];
        }
    }
    sounding.push_back(rmsDb > kSilentDb ? 1 : 0);

    size_t frames = sounding.size();
    if (memory == Memory::Recent) {
        size_t keep = size_t(kRecentSeconds / kHopSeconds);
        if (frames > keep) {
            size_t drop = frames - keep;
            histograms.erase(histograms.begin(), histograms.begin() + long(drop * kBins));
            sounding.erase(sounding.begin(), sounding.begin() + long(drop));
        }
    } else if (frames >= size_t(kMaxFrames)) {
        // Keep every other frame and analyse half as often from here on.
        for (size_t i = 0; i < frames / 2; ++i) {
            std::memmove(&histograms[i * kBins], &histograms[2 * i * kBins],
                         kBins * sizeof(uint16_t));
            sounding[i] = sounding[2 * i];
        }
        histograms.resize(frames / 2 * kBins);
        sounding.resize(frames / 2);
        hop *= 2;
    }
}

double RideProfile::soundingSeconds() const {
    long n = long(std::count(sounding.begin(), sounding.end(), 1));
    return double(n) * double(hop) / 44100.0;
}

std::vector<double> RideProfile::smoothedLevels(const SpectrumMapping& m, double seconds,
                                                size_t newest) const {
    double byteOf[kBins];
    for (int b = 0; b < kBins; ++b) {
        double v = kLowestDb + b + 0.5;
        byteOf[b] = std::clamp((v - m.topDb + m.rangeDb) / m.rangeDb * 255.0, 0.0, 255.0);
    }
    const size_t frames = sounding.size();
    const double cells = 2.0 * SpectrumAnalyzer::kBands;
    const size_t span = std::max<size_t>(1, size_t(std::lround(seconds * 44100.0 / double(hop))));
    const size_t from = frames - std::min(frames, newest);
    std::vector<double> level(frames), out;
    out.reserve(frames - from);
    double sum = 0;
    for (size_t f = from - std::min(from, span); f < frames; ++f) {
        const uint16_t* h = &histograms[f * kBins];
        double total = 0;
        for (int b = 0; b < kBins; ++b) {
            total += h[b] * byteOf[b];
        }
        level[f] = total / cells;
        sum += level[f];
        if (f >= span) {
            sum -= level[f - span];
        }
        if (sounding[f] && f >= from) {
            out.push_back(sum / double(std::min(f + 1, span)));
        }
    }
    return out;
}

RideLevels RideProfile::levels(const SpectrumMapping& m) const {
    std::vector<double> v = smoothedLevels(m);
    RideLevels r;
    if (v.empty()) {
        return r;
    }
    for (double L : v) {
        (L < kQuietBelowL ? r.quiet : L > kLoudAboveL ? r.loud : r.middle) += 1.0;
    }
    r.quiet /= double(v.size());
    r.middle /= double(v.size());
    r.loud /= double(v.size());
    r.p10 = quantile(v, 0.1);
    r.p50 = quantile(v, 0.5);
    r.p90 = quantile(v, 0.9);
    return r;
}

SpectrumMapping calibrate(const RideProfile& profile, const SpectrumMapping* prior) {
    const double sound = profile.soundingSeconds();
    if (sound < kMinSoundingSeconds) {
        return prior ? *prior : defaultRideMapping();
    }
    double live = profile.sourceRate > 0 ? std::min(1.0, profile.sourceRate / 44100.0) : 1.0;
    SpectrumMapping m{0, kRangeDb * std::max(0.25, live), kTiltDbPerOctave};
    // The level at quantile q of the profile's one-second means under top. A running
    // profile's median is the louder of its whole memory's and its newer half's, so a song
    // that has grown louder than its quiet opening is not held to the opening.
    auto levelAt = [&](double top, double q) {
        m.topDb = top;
        std::vector<double> v = profile.smoothedLevels(m);
        if (q != 0.5 || profile.memory != RideProfile::Memory::Recent) {
            return quantile(v, q);
        }
        std::vector<double> newer(v.begin() + long(v.size() / 2), v.end());
        return std::max(quantile(v, q), quantile(newer, q));
    };
    auto solve = [&](double q, double L) {
        return topFor([&](double top) { return levelAt(top, q); }, L, -120, 60);
    };
    double top = solve(0.9, kLoudL);
    double median = levelAt(top, 0.5);
    if (median > kMedianHighL) {
        top = solve(0.5, kMedianHighL);
    } else if (median < kMedianLowL) {
        top = solve(0.5, kMedianLowL);
    }
    m.topDb = top;
    if (prior) {
        double trust = std::min(1.0, sound / kTrustSeconds);
        m.topDb = trust * top + (1.0 - trust) * prior->topDb;
    }
    return m;
}

double newestLimitTop(const RideProfile& profile, SpectrumMapping m) {
    const double top = m.topDb;
    if (profile.sounding.empty() || !profile.sounding.back()) {
        return top;
    }
    auto newest = [&](double at) {
        m.topDb = at;
        return profile.smoothedLevels(m, kNewestSeconds, 1).back();
    };
    const double now = newest(top);
    // Under the lowest bound, as most of the time, the whole memory need not be looked at.
    if (now <= kNewestHighL) {
        return top;
    }
    m.topDb = top;
    const std::vector<double> v = profile.smoothedLevels(m);
    const size_t passage = size_t(std::lround(kPassageSeconds / RideProfile::kHopSeconds));
    double limit = kNewestHighL;
    if (v.size() > passage) {
        limit = std::max(limit, *std::max_element(v.begin(), v.end() - long(passage)));
    }
    return now > limit ? topFor(newest, limit, top, top + 60) : top;
}

SpectrumMapping defaultRideMapping() {
    return {-12.0, kRangeDb, kTiltDbPerOctave};
}

} // namespace spectrum
