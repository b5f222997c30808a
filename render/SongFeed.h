// The song as a ride hears it, one video frame at a time: decoded piece by piece (never the
// whole song in memory), the frames of each video frame handed out as they are in the file
// (for the video's sound track), and the player's levels at each frame's time, computed by
// the player's own classes from the song as the player plays it (at its loudness-normalised
// gain). A render and a live ride of the same song so see the same spectrum.
#pragma once

#include "player/decode/AudioDecoder.h"
#include "player/spectrum/HeardAudio.h"
#include "player/spectrum/LevelFrame.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class SongFeed {
  public:
    static constexpr int kRate = AudioDecoder::kRate;

    // Opens path at startSeconds and finds its gain as the player would (its ReplayGain or
    // R128 tags, else measured). Null with a one-line reason when the song cannot be decoded,
    // holds no sound, or starts after its end.
    static std::unique_ptr<SongFeed> open(const std::string& path, double startSeconds,
                                          std::string& error);

    // The title the game shows: the title tag, else the file name without its extension, as
    // 8-bit Latin-1 (other characters become '?'), at most 199 bytes.
    const std::string& title() const { return latinTitle; }
    // Seconds from the start to the song's end, -1 when the file does not say.
    double secondsLeft() const { return remaining; }
    double gainDb() const { return gain; }

    // The levels heard at the end of the audio read so far.
    const LevelFrame& levels() const { return builder.frame(); }
    // Reads the next frames stereo frames into out (interleaved, as in the file), padded with
    // silence past the song's end, and moves the heard audio on past them. False with error()
    // set when decoding fails for good.
    bool read(long frames, std::vector<float>& out);
    // Whether the song has ended within what was read.
    bool ended() const { return songEnded; }
    // Frames read before the song ended (all of them while it has not).
    int64_t soundFrames() const { return sounding; }
    const std::string& error() const { return failure; }

  private:
    SongFeed() = default;

    std::unique_ptr<AudioDecoder> decoder;
    HeardAudio heard;
    LevelBuilder builder;
    std::vector<float> gained;
    std::vector<float> pending; // decoded, not yet read
    std::string latinTitle;
    std::string failure;
    double remaining = -1;
    double gain = 0;
    float factor = 1.0f;
    int64_t readFrames = 0;
    int64_t sounding = 0;
    bool songEnded = false;
};
