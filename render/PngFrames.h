// Numbered PNG pictures in a folder ("frame-000001.png" on), one per frame; the sound is
// dropped. The folder is made when missing.
#pragma once

#include "render/FrameSink.h"

#include <memory>
#include <vector>

struct SwsContext;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;

class PngFrames : public FrameSink {
  public:
    // Null with a one-line reason when the folder cannot be made.
    static std::unique_ptr<PngFrames> create(const std::string& folder, int width, int height,
                                             std::string& error);
    ~PngFrames() override;

    bool addFrame(const uint8_t* pixels, const float* audio, long frames) override;
    bool finish() override { return true; }
    void discard() override;
    const std::string& error() const override { return failure; }

  private:
    PngFrames() = default;

    std::string folder;
    int width = 0;
    int height = 0;
    int count = 0;
    std::vector<std::string> written;
    SwsContext* scaler = nullptr;
    AVCodecContext* encoder = nullptr;
    AVFrame* picture = nullptr;
    AVPacket* packet = nullptr;
    std::string failure;
};
