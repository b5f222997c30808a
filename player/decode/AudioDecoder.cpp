#include "player/decode/AudioDecoder.h"

#include "player/decode/GainTags.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

std::string describe(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// Why path is not a regular file this process can read; "" when it is one. Nothing but a
// regular file is opened, so a named pipe or a device is refused, never waited on.
std::string notReadableFile(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        int code = errno;
        return code == ENOENT || code == ENOTDIR
                   ? std::strerror(code)
                   : "cannot be read (" + std::string(std::strerror(code)) + ")";
    }
    if (!S_ISREG(st.st_mode)) {
        return S_ISDIR(st.st_mode)    ? "is a folder, not a file"
               : S_ISFIFO(st.st_mode) ? "is a named pipe, not a file"
                                      : "is a device or socket, not a file";
    }
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return "cannot be read (" + std::string(std::strerror(errno)) + ")";
    }
    ::close(fd);
    return "";
}

// The tag of that name from the container, else from the audio stream (Ogg keeps its comments
// there); "" when neither has it.
std::string tag(AVFormatContext* format, AVStream* stream, const char* name) {
    if (AVDictionaryEntry* e = av_dict_get(format->metadata, name, nullptr, 0)) {
        return e->value;
    }
    if (AVDictionaryEntry* e = av_dict_get(stream->metadata, name, nullptr, 0)) {
        return e->value;
    }
    return "";
}

// A rate or channel count that no recording has: refused before FFmpeg allocates for it.
std::string outOfLimits(int rate, int channels) {
    if (rate <= 0 || rate > AudioDecoder::kMaxSourceRate) {
        return "sample rate " + std::to_string(rate) + " Hz is not supported (1 to " +
               std::to_string(AudioDecoder::kMaxSourceRate) + " Hz)";
    }
    if (channels <= 0 || channels > AudioDecoder::kMaxSourceChannels) {
        return std::to_string(channels) + " channels are not supported (1 to " +
               std::to_string(AudioDecoder::kMaxSourceChannels) + ")";
    }
    return "";
}

} // namespace

struct AudioDecoder::Impl {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwrContext* resampler = nullptr;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    int stream = -1;
    // What the resampler was set up for; a frame that differs sets it up again.
    int inRate = 0;
    int inFormat = -1;
    AVChannelLayout inLayout{};
    bool flushed = false; // the decoder was told the stream has ended

    ~Impl() {
        av_channel_layout_uninit(&inLayout);
        av_frame_free(&frame);
        av_packet_free(&packet);
        swr_free(&resampler);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }
};

AudioDecoder::AudioDecoder(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}
AudioDecoder::~AudioDecoder() = default;

std::unique_ptr<AudioDecoder> AudioDecoder::open(const std::string& path, std::string& error) {
    // Reasons go to the caller; FFmpeg's own chatter about damaged files stays quiet.
    av_log_set_level(AV_LOG_QUIET);
    auto d = std::make_unique<Impl>();
    if (d->packet == nullptr || d->frame == nullptr) {
        error = path + ": out of memory";
        return nullptr;
    }
    // A named pipe or a device would block FFmpeg's open for good, and a file that cannot be
    // read is not a damaged song: both are told apart before FFmpeg sees them.
    if (std::string why = notReadableFile(path); !why.empty()) {
        error = path + ": " + why;
        return nullptr;
    }
    int rc = avformat_open_input(&d->format, path.c_str(), nullptr, nullptr);
    if (rc < 0) {
        error = path + (rc == AVERROR(ENOENT) ? ": " + describe(rc)
                        : rc == AVERROR(EACCES) || rc == AVERROR(EPERM)
                            ? ": cannot be read (" + describe(rc) + ")"
                            : ": not an audio file (" + describe(rc) + ")");
        return nullptr;
    }
    if ((rc = avformat_find_stream_info(d->format, nullptr)) < 0) {
        error = path + ": " + describe(rc);
        return nullptr;
    }
    const AVCodec* codec = nullptr;
    d->stream = av_find_best_stream(d->format, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (d->stream < 0 || codec == nullptr) {
        error = path + (d->stream == AVERROR_DECODER_NOT_FOUND ? ": no decoder for its audio"
                                                               : ": no audio stream");
        return nullptr;
    }
    AVStream* stream = d->format->streams[d->stream];
    const AVCodecParameters* par = stream->codecpar;
    std::string limits = outOfLimits(par->sample_rate, par->ch_layout.nb_channels);
    if (!limits.empty()) {
        error = path + ": " + limits;
        return nullptr;
    }
    d->codec = avcodec_alloc_context3(codec);
    if (d->codec == nullptr || avcodec_parameters_to_context(d->codec, par) < 0) {
        error = path + ": cannot set up its decoder";
        return nullptr;
    }
    if ((rc = avcodec_open2(d->codec, codec, nullptr)) < 0) {
        error = path + ": " + describe(rc);
        return nullptr;
    }
    // Everything but the audio stream is skipped by the demuxer.
    for (unsigned i = 0; i < d->format->nb_streams; ++i) {
        if (int(i) != d->stream) {
            d->format->streams[i]->discard = AVDISCARD_ALL;
        }
    }
    std::unique_ptr<AudioDecoder> decoder(new AudioDecoder(std::move(d)));
    Impl& x = *decoder->d;
    AudioInfo& m = decoder->meta;
    decoder->path = path;
    m.title = tag(x.format, stream, "title");
    m.artist = tag(x.format, stream, "artist");
    m.album = tag(x.format, stream, "album");
    m.sourceRate = par->sample_rate;
    m.sourceChannels = par->ch_layout.nb_channels;
    if (x.format->duration > 0) {
        m.durationSeconds = double(x.format->duration) / AV_TIME_BASE;
    } else if (stream->duration > 0) {
        m.durationSeconds = double(stream->duration) * av_q2d(stream->time_base);
    }
    m.hasTagGain =
        gainFromTags(tag(x.format, stream, "REPLAYGAIN_TRACK_GAIN"),
                     tag(x.format, stream, "R128_TRACK_GAIN"), kLoudnessTargetLufs, m.tagGainDb);
    return decoder;
}

std::string AudioDecoder::coverPicture() const {
    for (unsigned i = 0; i < d->format->nb_streams; ++i) {
        const AVStream* s = d->format->streams[i];
        const AVPacket& picture = s->attached_pic;
        if ((s->disposition & AV_DISPOSITION_ATTACHED_PIC) != 0 && picture.data != nullptr &&
            picture.size > 0 && size_t(picture.size) <= kMaxCoverBytes) {
            return std::string(reinterpret_cast<const char*>(picture.data), size_t(picture.size));
        }
    }
    return "";
}

bool AudioDecoder::fail(const std::string& why) {
    failure = path + ": " + why;
    return false;
}

// Converts the decoded frame in d->frame to the output format and appends it to pending.
bool AudioDecoder::convertFrame() {
    AVFrame* f = d->frame;
    int channels = f->ch_layout.nb_channels;
    std::string limits = outOfLimits(f->sample_rate, channels);
    if (!limits.empty()) {
        return fail(limits);
    }
    if (d->resampler == nullptr || f->sample_rate != d->inRate || f->format != d->inFormat ||
        av_channel_layout_compare(&f->ch_layout, &d->inLayout) != 0) {
        AVChannelLayout in{};
        if (f->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
            av_channel_layout_default(&in, channels);
        } else if (av_channel_layout_copy(&in, &f->ch_layout) < 0) {
            return fail("out of memory");
        }
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        swr_free(&d->resampler);
        int rc = swr_alloc_set_opts2(&d->resampler, &stereo, AV_SAMPLE_FMT_FLT, kRate, &in,
                                     AVSampleFormat(f->format), f->sample_rate, 0, nullptr);
        av_channel_layout_uninit(&in);
        // A mono file's one channel is its centre, which the converter would give each side
        // 3 dB down; the player plays it at its own level on both sides instead.
        if (rc >= 0 && channels == 1) {
            const double bothSides[2] = {1.0, 1.0}; // [output channel][input channel]
            rc = swr_set_matrix(d->resampler, bothSides, 1);
        }
        if (rc < 0 || swr_init(d->resampler) < 0) {
            swr_free(&d->resampler);
            return fail("cannot convert its samples (" + std::to_string(channels) +
                        " channels at " + std::to_string(f->sample_rate) + " Hz)");
        }
        d->inRate = f->sample_rate;
        d->inFormat = f->format;
        av_channel_layout_uninit(&d->inLayout);
        av_channel_layout_copy(&d->inLayout, &f->ch_layout);
    }
    int room = swr_get_out_samples(d->resampler, f->nb_samples);
    if (room <= 0) {
        return true;
    }
    if (room > kMaxPendingSeconds * kRate) {
        return fail("a decoded frame holds more than " + std::to_string(int(kMaxPendingSeconds)) +
                    " seconds of audio");
    }
    // Drop what was handed out already, so pending holds one frame's output at most.
    pending.erase(pending.begin(), pending.begin() + long(pendingAt));
    pendingAt = 0;
    size_t at = pending.size();
    pending.resize(at + size_t(room) * kChannels);
    auto* dest = reinterpret_cast<uint8_t*>(pending.data() + at);
    int got = swr_convert(d->resampler, &dest, room, const_cast<const uint8_t**>(f->extended_data),
                          f->nb_samples);
    pending.resize(at + size_t(std::max(got, 0)) * kChannels);
    totalOut += std::max(got, 0);
    if (skipUntil >= 0 && got > 0) {
        // After a seek the decoder restarts at a key frame before the target.
        AVStream* s = d->format->streams[d->stream];
        int64_t pts = f->best_effort_timestamp;
        double start = pts == AV_NOPTS_VALUE ? skipUntil : double(pts) * av_q2d(s->time_base);
        long drop = std::clamp(long((skipUntil - start) * kRate), 0L, long(got));
        pendingAt = at + size_t(drop) * kChannels;
        skipUntil = -1;
    }
    return true;
}

// Decodes until pending holds something, the song ends or decoding fails.
bool AudioDecoder::refill() {
    while (pendingAt >= pending.size()) {
        int rc = avcodec_receive_frame(d->codec, d->frame);
        if (rc == 0) {
            bool ok = convertFrame();
            av_frame_unref(d->frame);
            if (!ok) {
                return false;
            }
            continue;
        }
        if (rc == AVERROR_EOF) {
            ended = true;
            return true;
        }
        if (rc != AVERROR(EAGAIN)) {
            return fail(describe(rc));
        }
        if (d->flushed) {
            ended = true;
            return true;
        }
        rc = av_read_frame(d->format, d->packet);
        if (rc < 0) {
            // End of file or a read error: let the decoder give out what it holds.
            avcodec_send_packet(d->codec, nullptr);
            d->flushed = true;
            continue;
        }
        if (d->packet->stream_index == d->stream) {
            // A damaged packet is skipped; the decoder resynchronises on the next one.
            avcodec_send_packet(d->codec, d->packet);
        }
        av_packet_unref(d->packet);
    }
    return true;
}

long AudioDecoder::read(float* out, long frames) {
    if (!failure.empty()) {
        return -1;
    }
    long done = 0;
    while (done < frames) {
        if (pendingAt >= pending.size()) {
            if (ended) {
                break;
            }
            if (!refill()) {
                return -1;
            }
            continue;
        }
        long have = long(pending.size() - pendingAt) / kChannels;
        long n = std::min(have, frames - done);
        std::memcpy(out + done * kChannels, pending.data() + pendingAt,
                    size_t(n) * kChannels * sizeof(float));
        pendingAt += size_t(n) * kChannels;
        done += n;
    }
    delivered += done;
    if (done == 0 && ended && totalOut == 0) {
        fail("no audio could be decoded");
        return -1;
    }
    return done;
}

bool AudioDecoder::seek(double seconds) {
    if (!failure.empty()) {
        return false;
    }
    seconds = std::max(0.0, seconds);
    if (meta.durationSeconds > 0) {
        seconds = std::min(seconds, meta.durationSeconds);
    }
    int64_t target = int64_t(seconds * AV_TIME_BASE);
    int rc = avformat_seek_file(d->format, -1, INT64_MIN, target, target, AVSEEK_FLAG_BACKWARD);
    if (rc < 0) {
        return fail("cannot seek: " + describe(rc));
    }
    avcodec_flush_buffers(d->codec);
    swr_free(&d->resampler); // its buffered samples belong to the old place
    pending.clear();
    pendingAt = 0;
    ended = false;
    d->flushed = false;
    skipUntil = seconds;
    delivered = (long long)(seconds * kRate);
    return true;
}
