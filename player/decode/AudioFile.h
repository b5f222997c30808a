// A whole music file decoded to 44.1 kHz mono floats through FFmpeg, with its title tag.
#pragma once

#include <memory>
#include <string>
#include <vector>

struct AudioFile {
    static constexpr int kRate = 44100;

    std::vector<float> samples;
    std::string title; // the title tag, or "" when the file has none

    // Null with the reason in error when the file cannot be opened or holds no audio.
    static std::unique_ptr<AudioFile> load(const std::string& path, std::string& error);
};
