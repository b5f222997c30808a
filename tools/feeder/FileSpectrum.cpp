#include "tools/feeder/FileSpectrum.h"

#include <cstring>

namespace feeder {

std::unique_ptr<FileSpectrum> FileSpectrum::open(const std::string& path, std::string& error) {
    std::unique_ptr<AudioFile> audio = AudioFile::load(path, error);
    if (!audio) {
        return nullptr;
    }
    std::unique_ptr<FileSpectrum> s(new FileSpectrum);
    s->audio = std::move(audio);
    return s;
}

bool FileSpectrum::spectrumAt(double t, unsigned char spectrum[2][1024]) {
    auto at = static_cast<size_t>(t * AudioFile::kRate);
    if (at >= audio->samples.size()) {
        return false;
    }
    size_t left = audio->samples.size() - at;
    int count = left < size_t(SpectrumAnalyzer::kWindow) ? static_cast<int>(left)
                                                         : SpectrumAnalyzer::kWindow;
    analyzer.analyse(audio->samples.data() + at, count, spectrum[0]);
    std::memcpy(spectrum[1], spectrum[0], 1024);
    return true;
}

} // namespace feeder
