// A sink that hands every frame on to another and measures its flashes on the way (the
// flash analyser of game/safety), for a report of the render when it is done.
#pragma once

#include "game/safety/FlashAnalyser.h"
#include "render/FrameSink.h"

class FlashReportSink : public FrameSink {
  public:
    // Frames of width x height (at least the analyser's grid) at fps, for next.
    FlashReportSink(FrameSink& next, int width, int height, int fps);

    bool addFrame(const uint8_t* pixels, const float* audio, long frames) override;
    bool finish() override { return next.finish(); }
    void discard() override { next.discard(); }
    const std::string& error() const override { return next.error(); }

    // The report as text (one line a second, the worst second and the verdict). Call after
    // the last frame, from the thread that fed the sink or once it has stopped.
    std::string report() const;

  private:
    FrameSink& next;
    safety::FlashAnalyser analyser;
    int width;
};
