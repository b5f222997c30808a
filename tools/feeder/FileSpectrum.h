// The spectrum of a music file over time, as the player would show it while playing it.
#pragma once

#include "player/decode/AudioFile.h"
#include "player/spectrum/SpectrumAnalyzer.h"

#include <memory>
#include <string>

namespace feeder {

class FileSpectrum {
  public:
    static std::unique_ptr<FileSpectrum> open(const std::string& path, std::string& error);

    const std::string& title() const { return audio->title; }
    // The spectrum t seconds into the song, mono in both channels; false once it has ended.
    bool spectrumAt(double t, unsigned char spectrum[2][1024]);

  private:
    std::unique_ptr<AudioFile> audio;
    SpectrumAnalyzer analyzer;
};

} // namespace feeder
