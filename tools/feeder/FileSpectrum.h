// The spectrum of a music file over time, as the player would show it while playing it. The
// file is decoded as the time moves on, so only a few thousand samples are held at once.
#pragma once

#include "player/decode/AudioDecoder.h"
#include "player/spectrum/SpectrumAnalyzer.h"

#include <memory>
#include <string>
#include <vector>

namespace feeder {

class FileSpectrum {
  public:
    static std::unique_ptr<FileSpectrum> open(const std::string& path, std::string& error);

    const std::string& title() const { return decoder->info().title; }
    // The spectrum t seconds into the song, left and right channel; false once the song has
    // ended or cannot be decoded further (then error() says why). t normally grows from call
    // to call; an earlier t seeks back.
    bool spectrumAt(double t, unsigned char spectrum[2][1024]);
    const std::string& error() const { return decoder->error(); }

  private:
    std::unique_ptr<AudioDecoder> decoder;
    SpectrumAnalyzer analyzer;
    std::vector<float> window; // interleaved stereo frames from windowStart on
    long long windowStart = 0; // frame index of window's first frame
    bool ended = false;
};

} // namespace feeder
