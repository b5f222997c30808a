// A video file written through FFmpeg's libraries as the frames come: MP4 or Matroska with
// H.264 (yuv420p, as browsers play it) and AAC, or WebM with VP9 and Opus. The sound track
// holds exactly the sound handed in, so sound and pictures start together and, with each
// frame's share of the sound, last as long as each other. Only the encoders' and the muxer's
// buffers are held, whatever the length.
#pragma once

#include "render/FrameSink.h"
#include "render/RenderOptions.h"

#include <memory>

class VideoFile : public FrameSink {
  public:
    // Creates path (replacing a file there). quality 0..100 sets the encoders' constant
    // quality. Null with a one-line reason when the file cannot be created or an encoder is
    // missing.
    static std::unique_ptr<VideoFile> create(const std::string& path, OutputKind kind, int width,
                                             int height, int fps, int quality, std::string& error);
    ~VideoFile() override;

    bool addFrame(const uint8_t* pixels, const float* audio, long frames) override;
    bool finish() override;
    void discard() override;
    const std::string& error() const override { return failure; }

  private:
    struct Impl;
    VideoFile();
    bool fail(const std::string& what, int code);

    std::unique_ptr<Impl> d;
    std::string failure;
};
