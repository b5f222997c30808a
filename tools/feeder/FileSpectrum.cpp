#include "tools/feeder/FileSpectrum.h"

#include <algorithm>

namespace feeder {

namespace {
constexpr long kWindow = SpectrumAnalyzer::kWindow;
constexpr int kCh = AudioDecoder::kChannels;
} // namespace

std::unique_ptr<FileSpectrum> FileSpectrum::open(const std::string& path, std::string& error) {
    std::unique_ptr<AudioDecoder> decoder = AudioDecoder::open(path, error);
    if (!decoder) {
        return nullptr;
    }
    std::unique_ptr<FileSpectrum> s(new FileSpectrum);
    s->decoder = std::move(decoder);
    return s;
}

bool FileSpectrum::spectrumAt(double t, unsigned char spectrum[2][1024]) {
    auto at = static_cast<long long>(std::max(0.0, t) * AudioDecoder::kRate);
    if (at < windowStart) {
        if (!decoder->seek(double(at) / AudioDecoder::kRate)) {
            return false;
        }
        window.clear();
        windowStart = at;
        ended = false;
    }
    // Drop what lies before the window, then decode until it is full or the song ends.
    long long drop = std::min<long long>(at - windowStart, (long long)window.size() / kCh);
    window.erase(window.begin(), window.begin() + long(drop * kCh));
    windowStart += drop;
    float chunk[1024 * kCh];
    while (!ended && (windowStart + (long long)window.size() / kCh < at + kWindow)) {
        long got = decoder->read(chunk, 1024);
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            ended = true;
        }
        window.insert(window.end(), chunk, chunk + got * kCh);
        long long skip = std::min<long long>(at - windowStart, (long long)window.size() / kCh);
        window.erase(window.begin(), window.begin() + long(skip * kCh));
        windowStart += skip;
    }
    long have = long(window.size()) / kCh;
    if (at >= windowStart + have) {
        return false;
    }
    analyzer.analyseInterleaved(window.data(), std::min(have, kWindow), 0, spectrum[0]);
    analyzer.analyseInterleaved(window.data(), std::min(have, kWindow), 1, spectrum[1]);
    return true;
}

} // namespace feeder
