// Numbered PNG pictures in a folder ("frame-000001.png" on), one per frame; the sound is
// dropped. The folder is made when missing; discard removes the pictures and a folder made.
#pragma once

#include "render/FrameSink.h"

#include <memory>

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
    int written = 0; // frames whose file was begun
    bool madeFolder = false;
    SwsContext* scaler = nullptr;
    AVCodecContext* encoder = nullptr;
    AVFrame* picture = nullptr;
    AVPacket* packet = nullptr;
    std::string failure;
};
