// The song as a ride hears it, one video frame at a time: decoded piece by piece (never the
// whole song in memory), the frames of each video frame handed out as they are in the file
// (for the video's sound track), and the player's levels at each frame's time, computed by
// the player's own classes as the player shows a song it plays: the whole song's loudness
// gain and ride calibration, the spectrum centred on the moment heard. A render and a live
// ride of the same song so see the same spectrum.
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
    // Frames decoded ahead of the moment heard: the spectrum's window reaches this far past it.
    static constexpr long kLead = SpectrumAnalyzer::kWindow / 2;

    // Opens path at startSeconds and finds its levels as the player would (its loudness gain
    // and ride calibration, from the whole song, decoded once ahead). Null with a one-line
    // reason when the song cannot be decoded, holds no sound, or ends before startSeconds.
    static std::unique_ptr<SongFeed> open(const std::string& path, double startSeconds,
                                          std::string& error);

    // The title the game shows: the title tag, else the file name without its extension, as
    // 8-bit Latin-1 (other characters become '?'), at most 199 bytes.
    const std::string& title() const { return latinTitle; }
    // Seconds from the start to the song's end, -1 when the file does not say.
    double secondsLeft() const { return remaining; }

    // The levels heard at the end of the audio read so far.
    const LevelFrame& levels() const { return builder.frame(); }
    // Reads the next frames stereo frames into out (interleaved, as in the file), padded with
    // silence past the song's end, and moves the moment heard on past them. False with
    // error() set when decoding fails for good.
    bool read(long frames, std::vector<float>& out);
    // Whether every frame of the song's sound has been read.
    bool ended() const { return decoderEnded && handedOut >= soundTotal; }
    const std::string& error() const { return failure; }

  private:
    SongFeed() = default;
    // Decodes until frames are waiting (silence past the end), hears the new ones, and
    // brings the levels to the moment heardAt (a frame index).
    bool decodeAhead(long frames, int64_t heardAt);

    std::unique_ptr<AudioDecoder> decoder;
    HeardAudio heard;
    LevelBuilder builder;
    std::vector<float> waiting; // decoded, not yet read, as in the file
    std::vector<float> gained;
    std::string latinTitle;
    std::string failure;
    double remaining = -1;
    float factor = 1.0f;
    int64_t handedOut = 0;  // frames read
    int64_t decoded = 0;    // frames decoded (with the silence past the end)
    int64_t soundTotal = 0; // frames of sound decoded
    bool decoderEnded = false;
};
