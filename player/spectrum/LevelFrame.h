// What the player shows its visualizations each frame, laid out as the media SDK's TimedLevel
// record: the two channels' spectrum, their waveform, the play state and a time stamp.
#pragma once

#include "player/spectrum/HeardAudio.h"
#include "player/spectrum/SpectrumAnalyzer.h"

#include <cstdint>

enum class PlayState : int32_t { Stopped = 0, Paused = 1, Playing = 2 };

struct LevelFrame {
    unsigned char frequency[2][1024]; // left, right; cell 0 lowest, levels 0..255
    unsigned char waveform[2][1024];  // samples as 0..255, 128 silence
    int32_t state;                    // a PlayState
    int64_t timeStamp;                // of the frame heard, in 100 ns units since the start
};

// Fills LevelFrames from what the listener hears. While the audio is not playing the last
// spectrum and waveform stay as they were (only the state changes), so a visualization that
// watches for change sees none.
//
// The spectrum is centred on the moment heard: its window reaches half a window past it where
// those frames have been handed to the device already (a file playing), and ends at the last
// frame there is otherwise (the desktop's output, heard as it arrives).
class LevelBuilder {
  public:
    LevelBuilder();
    // Brings frame up to time now (seconds of HeardAudio::nowSeconds()): the moment the frame
    // will be seen, which may lie a little after the moment it is built.
    void update(const HeardAudio& audio, PlayState state, double now);
    const LevelFrame& frame() const { return current; }
    // The decibel mapping of the spectrum from the next update on.
    void setMapping(const spectrum::SpectrumMapping& m) { analyzer.setMapping(m); }
    const spectrum::SpectrumMapping& mapping() const { return analyzer.mapping(); }

  private:
    SpectrumAnalyzer analyzer;
    float window[SpectrumAnalyzer::kWindow * 2];
    LevelFrame current;
};
