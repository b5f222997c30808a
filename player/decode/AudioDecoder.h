// A music file decoded piece by piece through FFmpeg into 44.1 kHz stereo floats.
//
// Memory stays bounded whatever the file claims: the decoder holds at most the output of one
// decoded frame (never more than kMaxPendingSeconds of audio) besides FFmpeg's own state, so an
// hour-long song costs no more than a short one. Files that claim a sample rate or a channel
// count no real recording has are refused when they are opened (or when a stream changes to
// such values midway), with a reason.
//
// Not thread-safe: one thread owns a decoder. Several decoders may run on different threads.
#pragma once

#include <memory>
#include <string>
#include <vector>

struct AudioInfo {
    std::string title;  // the title tag, or "" when the file has none
    std::string artist; // the artist tag, or ""
    std::string album;  // the album tag, or ""
    int sourceRate = 0; // of the file's audio stream, before conversion
    int sourceChannels = 0;
    double durationSeconds = -1; // -1 when the file does not say
    // Gain in dB that brings the track to kLoudnessTargetLufs, from its ReplayGain or R128
    // tags; hasTagGain false when the file carries neither.
    bool hasTagGain = false;
    double tagGainDb = 0;
};

class AudioDecoder {
  public:
    static constexpr int kRate = 44100;
    static constexpr int kChannels = 2;
    static constexpr int kMaxSourceRate = 768000;
    static constexpr int kMaxSourceChannels = 32;
    static constexpr double kMaxPendingSeconds = 5.0;
    static constexpr double kLoudnessTargetLufs = -18.0;

    // Null with the reason in error ("<path>: <why>") when the file cannot be opened, holds no
    // audio stream, or its stream is out of the limits above. Only regular files are opened:
    // a named pipe, a device or a folder is refused at once (never waited on), and a file
    // without read permission is said to be one that "cannot be read".
    static std::unique_ptr<AudioDecoder> open(const std::string& path, std::string& error);
    ~AudioDecoder();
    AudioDecoder(const AudioDecoder&) = delete;
    AudioDecoder& operator=(const AudioDecoder&) = delete;

    const AudioInfo& info() const { return meta; }

    // The bytes of the picture the file carries as its cover (an attached picture, as ID3,
    // FLAC and MP4 tags hold it: PNG, JPEG, ...); "" when it has none or one larger than
    // kMaxCoverBytes. Cheap: the picture is read with the tags when the file is opened.
    static constexpr size_t kMaxCoverBytes = 16u << 20;
    std::string coverPicture() const;

    // Fills out with up to frames interleaved stereo frames (left, right), in -1..1 for a
    // file that does not clip. Returns how many were written: fewer than asked only at the
    // end of the song, 0 once it has ended, -1 when decoding fails for good (then error()
    // says why). A mono file gives the same samples in both channels.
    long read(float* out, long frames);

    // Moves to the given time (clamped at 0); the next read starts there, to within a frame.
    // False, with error() set, when the file cannot seek.
    bool seek(double seconds);

    // Seconds of audio delivered since the start (or the seek target).
    double position() const { return double(delivered) / kRate; }
    const std::string& error() const { return failure; }

  private:
    struct Impl;
    explicit AudioDecoder(std::unique_ptr<Impl> impl);

    bool refill();
    bool convertFrame();
    bool fail(const std::string& why);

    std::unique_ptr<Impl> d;
    AudioInfo meta;
    std::string path;
    std::string failure;
    std::vector<float> pending; // converted frames not yet handed out
    size_t pendingAt = 0;       // index of the first unread float in pending
    long long delivered = 0;
    long long totalOut = 0; // frames produced since open, for the "decoded nothing" check
    double skipUntil = -1;  // after a seek: drop output before this time
    bool ended = false;
};
