#include "render/FlashReportSink.h"

FlashReportSink::FlashReportSink(FrameSink& n, int w, int h, int fps)
    : next(n), analyser(w, h, static_cast<double>(fps)), width(w) {}

bool FlashReportSink::addFrame(const uint8_t* pixels, const float* audio, long frames) {
    // The rows arrive bottom first: turned upside down, a frame flashes just the same.
    analyser.addFrame(pixels, width * 4, safety::PixelLayout::Bgra);
    return next.addFrame(pixels, audio, frames);
}

std::string FlashReportSink::report() const {
    return safety::formatFlashReport(analyser.report());
}
