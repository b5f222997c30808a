#include "render/VideoFile.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kSongRate = 44100;

std::string avError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

} // namespace

struct VideoFile::Impl {
    std::string path;
    bool created = false;
    bool headerWritten = false;
    bool finished = false;
    AVFormatContext* format = nullptr;
    AVCodecContext* video = nullptr;
    AVCodecContext* audio = nullptr;
    AVStream* videoStream = nullptr;
    AVStream* audioStream = nullptr;
    SwsContext* scaler = nullptr;
    SwrContext* resampler = nullptr;
    AVAudioFifo* fifo = nullptr;
    AVFrame* picture = nullptr;
    AVFrame* sound = nullptr;
    AVPacket* packet = nullptr;
    int width = 0;
    int height = 0;
    int64_t framesIn = 0;
    int64_t samplesOut = 0;

    ~Impl() {
        avcodec_free_context(&video);
        avcodec_free_context(&audio);
        sws_freeContext(scaler);
        swr_free(&resampler);
        if (fifo != nullptr) {
            av_audio_fifo_free(fifo);
        }
        av_frame_free(&picture);
        av_frame_free(&sound);
        av_packet_free(&packet);
        if (format != nullptr) {
            if (format->pb != nullptr) {
                avio_closep(&format->pb);
            }
            avformat_free_context(format);
        }
    }

    // Sends frame (null drains) to codec and writes every packet it gives back.
    int encode(AVCodecContext* codec, AVStream* stream, AVFrame* frame) {
        int r = avcodec_send_frame(codec, frame);
        if (r < 0) {
            return r;
        }
        for (;;) {
            r = avcodec_receive_packet(codec, packet);
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) {
                return 0;
            }
            if (r < 0) {
                return r;
            }
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            r = av_interleaved_write_frame(format, packet);
            if (r < 0) {
                return r;
            }
            if (format->pb->error < 0) {
                return format->pb->error;
            }
        }
    }

    // Encodes whole codec frames from the fifo; with last, the rest too.
    int drainSound(bool last) {
        int size = audio->frame_size > 0 ? audio->frame_size : 1024;
        while (av_audio_fifo_size(fifo) >= size || (last && av_audio_fifo_size(fifo) > 0)) {
            int n = std::min(size, av_audio_fifo_size(fifo));
            av_frame_unref(sound);
            sound->nb_samples = n;
            sound->format = audio->sample_fmt;
            sound->sample_rate = audio->sample_rate;
            av_channel_layout_copy(&sound->ch_layout, &audio->ch_layout);
            int r = av_frame_get_buffer(sound, 0);
            if (r < 0) {
                return r;
            }
            if (av_audio_fifo_read(fifo, reinterpret_cast<void**>(sound->data), n) != n) {
                return AVERROR(EIO);
            }
            sound->pts = samplesOut;
            samplesOut += n;
            r = encode(audio, audioStream, sound);
            if (r < 0) {
                return r;
            }
        }
        return 0;
    }
};

VideoFile::VideoFile() : d(new Impl) {}

VideoFile::~VideoFile() {
    if (d && d->created && !d->finished) {
        discard();
    }
}

bool VideoFile::fail(const std::string& what, int code) {
    failure = "cannot write " + d->path + ": " + what + (code < 0 ? ": " + avError(code) : "");
    return false;
}

std::unique_ptr<VideoFile> VideoFile::create(const std::string& path, OutputKind kind, int width,
                                             int height, int fps, int quality, std::string& error) {
    std::unique_ptr<VideoFile> file(new VideoFile);
    Impl& d = *file->d;
    d.path = path;
    d.width = width;
    d.height = height;
    const char* muxer = kind == OutputKind::WebM       ? "webm"
                        : kind == OutputKind::Matroska ? "matroska"
                                                       : "mp4";
    int r = avformat_alloc_output_context2(&d.format, nullptr, muxer, path.c_str());
    if (r < 0) {
        error = "cannot make a " + std::string(muxer) + " file: " + avError(r);
        return nullptr;
    }
    const bool webm = kind == OutputKind::WebM;
    const AVCodec* videoCodec = avcodec_find_encoder_by_name(webm ? "libvpx-vp9" : "libx264");
    const AVCodec* audioCodec = avcodec_find_encoder_by_name(webm ? "libopus" : "aac");
    if (videoCodec == nullptr || audioCodec == nullptr) {
        error =
            std::string("FFmpeg lacks the ") + (webm ? "VP9 or Opus" : "H.264 or AAC") + " encoder";
        return nullptr;
    }

    // Pictures: constant quality, quality 0..100 mapped onto each encoder's scale.
    d.video = avcodec_alloc_context3(videoCodec);
    d.video->width = width;
    d.video->height = height;
    d.video->time_base = AVRational{1, fps};
    d.video->framerate = AVRational{fps, 1};
    d.video->pix_fmt = AV_PIX_FMT_YUV420P;
    d.video->gop_size = 4 * fps;
    d.video->color_range = AVCOL_RANGE_MPEG;
    d.video->colorspace = AVCOL_SPC_BT709;
    d.video->color_primaries = AVCOL_PRI_BT709;
    d.video->color_trc = AVCOL_TRC_BT709;
    AVDictionary* videoOptions = nullptr;
    if (webm) {
        int crf = static_cast<int>(std::lround(50 - quality * 0.3));
        av_dict_set_int(&videoOptions, "crf", crf, 0);
        av_dict_set(&videoOptions, "b", "0", 0);
        av_dict_set(&videoOptions, "deadline", "realtime", 0);
        av_dict_set(&videoOptions, "cpu-used", "8", 0);
        av_dict_set(&videoOptions, "row-mt", "1", 0);
    } else {
        int crf = static_cast<int>(std::lround(40 - quality * 0.25));
        av_dict_set_int(&videoOptions, "crf", crf, 0);
        av_dict_set(&videoOptions, "preset", "superfast", 0);
        // Few frames held at a time (memory grows with each at large sizes): two threads, a
        // short look-ahead and one B-frame. Above 1280 x 720 the threads share each frame by
        // slices instead of taking a frame each, which keeps a 1080p render under 300 MiB at the
        // cost of about a tenth of its speed.
        av_dict_set(&videoOptions, "threads", "2", 0);
        const bool large = static_cast<long>(width) * height > 1280L * 720L;
        av_dict_set(&videoOptions, "x264-params",
                    large ? "sliced-threads=1:sync-lookahead=0:rc-lookahead=5:bframes=1"
                          : "sync-lookahead=0:rc-lookahead=5:bframes=1",
                    0);
    }
    // Sound: the song's 44.1 kHz stereo (Opus takes 48 kHz).
    d.audio = avcodec_alloc_context3(audioCodec);
    d.audio->sample_rate = webm ? 48000 : kSongRate;
    d.audio->sample_fmt =
        audioCodec->sample_fmts != nullptr ? audioCodec->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    av_channel_layout_copy(&d.audio->ch_layout, &stereo);
    d.audio->bit_rate = webm ? 160000 : 192000;
    d.audio->time_base = AVRational{1, d.audio->sample_rate};
    if (d.format->oformat->flags & AVFMT_GLOBALHEADER) {
        d.video->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        d.audio->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    r = avcodec_open2(d.video, videoCodec, &videoOptions);
    av_dict_free(&videoOptions);
    if (r < 0) {
        error = "cannot start the " + std::string(videoCodec->name) + " encoder: " + avError(r);
        return nullptr;
    }
    r = avcodec_open2(d.audio, audioCodec, nullptr);
    if (r < 0) {
        error = "cannot start the " + std::string(audioCodec->name) + " encoder: " + avError(r);
        return nullptr;
    }
    d.videoStream = avformat_new_stream(d.format, nullptr);
    d.audioStream = avformat_new_stream(d.format, nullptr);
    if (d.videoStream == nullptr || d.audioStream == nullptr ||
        avcodec_parameters_from_context(d.videoStream->codecpar, d.video) < 0 ||
        avcodec_parameters_from_context(d.audioStream->codecpar, d.audio) < 0) {
        error = "cannot set up the streams of " + path;
        return nullptr;
    }
    d.videoStream->time_base = d.video->time_base;
    d.videoStream->avg_frame_rate = d.video->framerate;
    d.audioStream->time_base = d.audio->time_base;

    d.scaler = sws_getContext(width, height, AV_PIX_FMT_BGRA, width, height, AV_PIX_FMT_YUV420P,
                              SWS_POINT, nullptr, nullptr, nullptr);
    r = swr_alloc_set_opts2(&d.resampler, &d.audio->ch_layout, d.audio->sample_fmt,
                            d.audio->sample_rate, &stereo, AV_SAMPLE_FMT_FLT, kSongRate, 0,
                            nullptr);
    if (d.scaler == nullptr || r < 0 || swr_init(d.resampler) < 0) {
        error = "cannot set up the picture or sound conversion";
        return nullptr;
    }
    d.fifo = av_audio_fifo_alloc(d.audio->sample_fmt, 2, 4 * d.audio->sample_rate);
    d.picture = av_frame_alloc();
    d.sound = av_frame_alloc();
    d.packet = av_packet_alloc();
    if (d.fifo == nullptr || d.picture == nullptr || d.sound == nullptr || d.packet == nullptr) {
        error = "out of memory";
        return nullptr;
    }
    d.picture->format = AV_PIX_FMT_YUV420P;
    d.picture->width = width;
    d.picture->height = height;
    if (av_frame_get_buffer(d.picture, 0) < 0) {
        error = "out of memory";
        return nullptr;
    }

    struct stat before {};
    bool existed = stat(path.c_str(), &before) == 0;
    if (existed && !S_ISREG(before.st_mode)) {
        error = "cannot write " + path + ": not a regular file";
        return nullptr;
    }
    r = avio_open(&d.format->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (r < 0) {
        error = "cannot write " + path + ": " + avError(r);
        return nullptr;
    }
    d.created = true;
    AVDictionary* muxOptions = nullptr;
    r = avformat_write_header(d.format, &muxOptions);
    av_dict_free(&muxOptions);
    if (r < 0) {
        file->fail("the header", r);
        error = file->failure;
        file->discard();
        return nullptr;
    }
    d.headerWritten = true;
    return file;
}

bool VideoFile::addFrame(const uint8_t* pixels, const float* audio, long frames) {
    Impl& v = *d;
    int r = av_frame_make_writable(v.picture);
    if (r < 0) {
        return fail("a picture", r);
    }
    // Bottom row first: start at the last row and step backwards.
    const int stride = v.width * 4;
    const uint8_t* top = pixels + static_cast<size_t>(stride) * (v.height - 1);
    const int strides[1] = {-stride};
    sws_scale(v.scaler, &top, strides, 0, v.height, v.picture->data, v.picture->linesize);
    v.picture->pts = v.framesIn++;
    r = v.encode(v.video, v.videoStream, v.picture);
    if (r < 0) {
        return fail("a picture", r);
    }
    if (frames > 0) {
        int outMax = swr_get_out_samples(v.resampler, static_cast<int>(frames));
        uint8_t** planes = nullptr;
        int lineSize = 0;
        r = av_samples_alloc_array_and_samples(&planes, &lineSize, 2, outMax, v.audio->sample_fmt,
                                               0);
        if (r < 0) {
            return fail("the sound", r);
        }
        const uint8_t* in[1] = {reinterpret_cast<const uint8_t*>(audio)};
        int n = swr_convert(v.resampler, planes, outMax, in, static_cast<int>(frames));
        if (n > 0) {
            av_audio_fifo_write(v.fifo, reinterpret_cast<void**>(planes), n);
        }
        av_freep(&planes[0]);
        av_freep(&planes);
        if (n < 0) {
            return fail("the sound", n);
        }
        r = v.drainSound(false);
        if (r < 0) {
            return fail("the sound", r);
        }
    }
    return true;
}

bool VideoFile::finish() {
    Impl& v = *d;
    // What the resampler still holds, then the encoders' delayed output.
    int outMax = swr_get_out_samples(v.resampler, 0);
    if (outMax > 0) {
        uint8_t** planes = nullptr;
        int lineSize = 0;
        if (av_samples_alloc_array_and_samples(&planes, &lineSize, 2, outMax, v.audio->sample_fmt,
                                               0) >= 0) {
            int n = swr_convert(v.resampler, planes, outMax, nullptr, 0);
            if (n > 0) {
                av_audio_fifo_write(v.fifo, reinterpret_cast<void**>(planes), n);
            }
            av_freep(&planes[0]);
            av_freep(&planes);
        }
    }
    int r = v.drainSound(true);
    if (r >= 0) {
        r = v.encode(v.audio, v.audioStream, nullptr);
    }
    if (r >= 0) {
        r = v.encode(v.video, v.videoStream, nullptr);
    }
    if (r >= 0) {
        r = av_write_trailer(v.format);
    }
    if (r >= 0 && v.format->pb->error < 0) {
        r = v.format->pb->error;
    }
    if (r >= 0) {
        r = avio_closep(&v.format->pb);
    }
    if (r < 0) {
        fail("the end of the file", r);
        discard();
        return false;
    }
    v.finished = true;
    return true;
}

void VideoFile::discard() {
    Impl& v = *d;
    if (v.format != nullptr && v.format->pb != nullptr) {
        avio_closep(&v.format->pb);
    }
    if (v.created) {
        unlink(v.path.c_str());
        v.created = false;
    }
    v.finished = true;
}
