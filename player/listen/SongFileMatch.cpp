#include "player/listen/SongFileMatch.h"

#include "player/decode/AudioDecoder.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {
constexpr double kSilentLufs = -70.0; // the absolute gate of R128
constexpr long kWindowHops = 4;       // hops in the momentary loudness's 0.4 s

double energy(double lufs) {
    return std::pow(10.0, lufs / 10.0);
}
double lufsOf(double e) {
    return 10.0 * std::log10(e);
}
} // namespace

SongFileMatch::SongFileMatch() = default;

SongFileMatch::~SongFileMatch() {
    endScan();
}

void SongFileMatch::endScan() {
    cancel.store(true);
    if (scan.joinable()) {
        scan.join();
    }
    cancel.store(false);
}

void SongFileMatch::waitScanned() {
    if (scan.joinable()) {
        scan.join();
    }
}

void SongFileMatch::begin(const std::string& file) {
    meter.reset();
    readings = 0;
    lastPosition = -1;
    lastReport = -1;
    recent.clear();
    // Only a regular file is scanned: a pipe or a device named by mistake could hold the scan
    // (and the next song's begin) for ever.
    std::error_code error;
    active = !file.empty() && std::filesystem::is_regular_file(file, error);
    if (!active || file == path) {
        return; // nothing named (a pause), or the same file again: its scan and verdict stand
    }
    isMatched = false;
    endScan();
    path = file;
    haveScan = false;
    scanDone = false;
    scan = std::thread([this, file] {
        lowerThreadPriority();
        SongLevels l;
        std::vector<float> m;
        bool ok = wholeSongLevels(file, l, &m, &cancel) && l.wholeSong;
        std::lock_guard<std::mutex> hold(lock);
        scanned = l;
        fileMomentary = std::move(m);
        scanOk = ok;
        scanDone = true;
    });
}

bool SongFileMatch::takeScan() {
    {
        std::lock_guard<std::mutex> hold(lock);
        if (!scanDone || !scanOk) {
            return false;
        }
        levels = scanned;
        momentary = std::move(fileMomentary);
        scanOk = false; // taken
    }
    haveScan = true;
    // The file's loudness, as R128 gates it absolutely, less kBelowSongDb.
    double sum = 0;
    long n = 0;
    for (float m : momentary) {
        if (m > kSilentLufs) {
            sum += energy(m);
            ++n;
        }
    }
    fileGateLufs = n > 0 ? lufsOf(sum / double(n)) - kBelowSongDb : 0;
    return true;
}

void SongFileMatch::add(const float* frames, long count, double position, double report) {
    if (!active) {
        return;
    }
    // A new report of the position that jumps from where the last one led is a seek: what was
    // heard since the last report was put at the wrong places, so what was judged from it is
    // undone, and what was heard before it is no guide to where the sound now is.
    const double expected = lastPosition + double(count) / AudioDecoder::kRate;
    if (report != lastReport) {
        if (position >= 0 && lastPosition >= 0 && std::fabs(position - expected) > kMaxLagSeconds) {
            recent.clear();
            readings = 0; // the meter's window still holds the sound from before the seek
            isMatched = reportMatched;
            volumeDb = reportVolumeDb;
        }
        lastReport = report;
        reportMatched = isMatched;
        reportVolumeDb = volumeDb;
    }
    lastPosition = position;
    meter.addInHops(frames, count, [&](double heard, long framesAfter) {
        if (position < 0 || !(heard > kSilentLufs)) {
            return;
        }
        // The meter's first readings still hold the silence from before it began: a rise
        // that would match any song's opening.
        if (++readings <= kWindowHops) {
            return;
        }
        recent.push_back({position - double(framesAfter) / AudioDecoder::kRate, heard});
        if (double(recent.size()) * kMomentaryHop > kWindowSeconds) {
            recent.pop_front();
        }
        if (haveScan || takeScan()) {
            judgeRecent();
        }
    });
}

// The file's loudness against what was heard from the reading first on, shifted by each lag in
// turn: the best correlation, and at its lag the desktop's volume as the energies tell it. A
// correlation of -2 when there were too few readings of sound to judge.
SongFileMatch::Judgement SongFileMatch::judge(size_t first) const {
    const long maxLag = std::lround(kMaxLagSeconds / kMomentaryHop);
    const double minPairs = kMatchSeconds / kMomentaryHop;
    Judgement best;
    for (long lag = -maxLag; lag <= maxLag; ++lag) {
        double n = 0, sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0, ex = 0, ey = 0;
        for (size_t k = first; k < recent.size(); ++k) {
            const Reading& r = recent[k];
            long i = std::lround(r.position / kMomentaryHop) - 1 + lag;
            if (i < kWindowHops - 1 || i >= long(momentary.size()) ||
                !(momentary[size_t(i)] > fileGateLufs)) {
                continue;
            }
            const double x = r.heard, y = momentary[size_t(i)];
            n += 1;
            sx += x;
            sy += y;
            sxx += x * x;
            syy += y * y;
            sxy += x * y;
            ex += energy(x);
            ey += energy(y);
        }
        const double vx = n * sxx - sx * sx, vy = n * syy - sy * sy;
        if (n < minPairs || vx <= 0 || vy <= 0) {
            continue;
        }
        const double r = (n * sxy - sx * sy) / std::sqrt(vx * vy);
        if (r > best.correlation) {
            best = {r, lufsOf(ex / ey)};
        }
    }
    return best;
}

// The whole window decides, or its newest kMatchSeconds alone when the desktop's volume has
// moved within it (the step breaks the whole window's likeness until it has passed); the newer
// volume wins.
void SongFileMatch::judgeRecent() {
    const size_t newest = size_t(std::lround(kMatchSeconds / kMomentaryHop));
    const Judgement whole = judge(0);
    const Judgement fresh = recent.size() > newest ? judge(recent.size() - newest) : Judgement{};
    if (fresh.correlation >= kMinCorrelation) {
        isMatched = true;
        volumeDb = fresh.volumeDb;
    } else if (whole.correlation > -2) { // else too little sound to judge: the verdict stands
        isMatched = whole.correlation >= kMinCorrelation;
        volumeDb = isMatched ? whole.volumeDb : volumeDb;
    }
}

bool SongFileMatch::matched(double& gainDb, spectrum::SpectrumMapping& ride) const {
    if (!active || !isMatched) {
        return false;
    }
    gainDb = levels.gainDb - volumeDb;
    ride = levels.ride.forGain(volumeDb);
    return true;
}
