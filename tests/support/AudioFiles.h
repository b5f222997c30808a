// Audio files made by the tests themselves through FFmpeg's own encoders and muxers.
#pragma once

#include <functional>
#include <string>

namespace testsupport {

struct EncodeFormat {
    std::string encoder;   // FFmpeg encoder name: "libmp3lame", "flac", "libvorbis", ...
    std::string container; // muxer name: "mp3", "flac", "ogg", "ipod" (m4a), "wav", ...
    int rate = 44100;
    int channels = 2;
    double seconds = 1.0;
    std::string title;
    int frameSize = 0; // samples in each encoded frame; 0: the encoder's own choice
};

// Tags some songs carry besides their title.
struct AlbumTags {
    std::string album;
    std::string cover; // a PNG or JPEG picture's bytes, attached as the cover; "" for none
};

// Sample value (-1..1) of channel c at time t seconds.
using Signal = std::function<float(int c, double t)>;

// Writes path; "" on success, else why it failed.
std::string encodeAudio(const std::string& path, const EncodeFormat& format, const Signal& signal,
                        const AlbumTags& tags = {});

// A PNG picture of the given size in a gradient of its own (a tiny one is a few hundred bytes).
std::string pngPicture(int width, int height);

// A sine of hz at amplitude a (1 = full scale) in every channel.
Signal sineSignal(double hz, double amplitude);

} // namespace testsupport
