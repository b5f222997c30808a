#include "tests/support/AudioFiles.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cmath>
#include <vector>

namespace testsupport {

namespace {

struct Muxing {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwrContext* swr = nullptr;
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    bool opened = false;
    ~Muxing() {
        av_packet_free(&packet);
        av_frame_free(&frame);
        swr_free(&swr);
        avcodec_free_context(&codec);
        if (format) {
            if (opened) {
                avio_closep(&format->pb);
            }
            avformat_free_context(format);
        }
    }
};

bool drain(Muxing& m, AVStream* stream) {
    while (avcodec_receive_packet(m.codec, m.packet) == 0) {
        av_packet_rescale_ts(m.packet, m.codec->time_base, stream->time_base);
        m.packet->stream_index = stream->index;
        if (av_interleaved_write_frame(m.format, m.packet) < 0) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string pngPicture(int width, int height) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_PNG);
    AVCodecContext* c = codec ? avcodec_alloc_context3(codec) : nullptr;
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    std::string png;
    if (c && frame && packet) {
        c->width = width;
        c->height = height;
        c->pix_fmt = AV_PIX_FMT_RGB24;
        c->time_base = AVRational{1, 25};
        frame->width = width;
        frame->height = height;
        frame->format = AV_PIX_FMT_RGB24;
        if (avcodec_open2(c, codec, nullptr) == 0 && av_frame_get_buffer(frame, 0) == 0) {
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    uint8_t* p = frame->data[0] + y * frame->linesize[0] + 3 * x;
                    p[0] = uint8_t(x * 255 / width);
                    p[1] = uint8_t(y * 255 / height);
                    p[2] = uint8_t((x ^ y) & 0xff);
                }
            }
            if (avcodec_send_frame(c, frame) == 0 && avcodec_send_frame(c, nullptr) == 0 &&
                avcodec_receive_packet(c, packet) == 0) {
                png.assign(reinterpret_cast<const char*>(packet->data), size_t(packet->size));
            }
        }
    }
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&c);
    return png;
}

Signal sineSignal(double hz, double amplitude) {
    return [hz, amplitude](int, double t) {
        return float(amplitude * std::sin(2 * 3.14159265358979 * hz * t));
    };
}

std::string encodeAudio(const std::string& path, const EncodeFormat& format, const Signal& signal,
                        const AlbumTags& tags) {
    av_log_set_level(AV_LOG_QUIET);
    Muxing m;
    const AVCodec* codec = avcodec_find_encoder_by_name(format.encoder.c_str());
    if (!codec) {
        return "no encoder " + format.encoder;
    }
    if (avformat_alloc_output_context2(&m.format, nullptr, format.container.c_str(), path.c_str()) <
        0) {
        return "no muxer " + format.container;
    }
    AVStream* stream = avformat_new_stream(m.format, nullptr);
    m.codec = avcodec_alloc_context3(codec);
    m.codec->sample_rate = format.rate;
    av_channel_layout_default(&m.codec->ch_layout, format.channels);
    m.codec->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    m.codec->bit_rate = 128000;
    m.codec->time_base = AVRational{1, format.rate};
    m.codec->strict_std_compliance = FF_COMPLIANCE_EXPERIMENTAL;
    if (format.frameSize > 0) {
        m.codec->frame_size = format.frameSize;
    }
    if (m.format->oformat->flags & AVFMT_GLOBALHEADER) {
        m.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    if (avcodec_open2(m.codec, codec, nullptr) < 0) {
        return "cannot open encoder " + format.encoder;
    }
    avcodec_parameters_from_context(stream->codecpar, m.codec);
    stream->time_base = m.codec->time_base;
    if (!format.title.empty()) {
        av_dict_set(&m.format->metadata, "title", format.title.c_str(), 0);
    }
    if (!tags.album.empty()) {
        av_dict_set(&m.format->metadata, "album", tags.album.c_str(), 0);
    }
    AVStream* cover = nullptr;
    if (!tags.cover.empty()) {
        cover = avformat_new_stream(m.format, nullptr);
        cover->disposition |= AV_DISPOSITION_ATTACHED_PIC;
        cover->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
        bool png = tags.cover.size() > 24 && tags.cover.compare(0, 4, "\x89PNG") == 0;
        cover->codecpar->codec_id = png ? AV_CODEC_ID_PNG : AV_CODEC_ID_MJPEG;
        // Muxers record the picture's size: a PNG's is in its header, a JPEG's is left 1x1.
        auto at = [&](size_t i) { return int(uint8_t(tags.cover[i])); };
        cover->codecpar->width = png ? at(16) << 24 | at(17) << 16 | at(18) << 8 | at(19) : 1;
        cover->codecpar->height = png ? at(20) << 24 | at(21) << 16 | at(22) << 8 | at(23) : 1;
        cover->time_base = AVRational{1, 90000};
    }
    if (avio_open(&m.format->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) {
        return "cannot write " + path;
    }
    m.opened = true;
    if (avformat_write_header(m.format, nullptr) < 0) {
        return "cannot write the header";
    }
    if (cover != nullptr) {
        // The muxer takes the picture before any audio.
        if (av_new_packet(m.packet, int(tags.cover.size())) < 0) {
            return "out of memory";
        }
        std::copy(tags.cover.begin(), tags.cover.end(), m.packet->data);
        m.packet->stream_index = cover->index;
        m.packet->flags |= AV_PKT_FLAG_KEY;
        m.packet->pts = m.packet->dts = 0;
        if (av_write_frame(m.format, m.packet) < 0) {
            return "cannot write the cover";
        }
        av_packet_unref(m.packet);
    }
    AVChannelLayout inLayout{};
    av_channel_layout_default(&inLayout, format.channels);
    swr_alloc_set_opts2(&m.swr, &m.codec->ch_layout, m.codec->sample_fmt, format.rate, &inLayout,
                        AV_SAMPLE_FMT_FLT, format.rate, 0, nullptr);
    if (swr_init(m.swr) < 0) {
        return "cannot convert samples";
    }
    const int frameSize = m.codec->frame_size > 0 ? m.codec->frame_size : 1024;
    const long total = long(format.seconds * format.rate);
    std::vector<float> in(size_t(frameSize) * size_t(format.channels));
    for (long at = 0; at < total; at += frameSize) {
        int n = int(std::min<long>(frameSize, total - at));
        for (int i = 0; i < n; ++i) {
            for (int c = 0; c < format.channels; ++c) {
                in[size_t(i * format.channels + c)] = signal(c, double(at + i) / format.rate);
            }
        }
        av_frame_unref(m.frame);
        m.frame->nb_samples = n;
        m.frame->format = m.codec->sample_fmt;
        av_channel_layout_copy(&m.frame->ch_layout, &m.codec->ch_layout);
        m.frame->sample_rate = format.rate;
        if (av_frame_get_buffer(m.frame, 0) < 0) {
            return "out of memory";
        }
        const uint8_t* src = reinterpret_cast<const uint8_t*>(in.data());
        swr_convert(m.swr, m.frame->data, n, &src, n);
        m.frame->pts = at;
        if (avcodec_send_frame(m.codec, m.frame) < 0 || !drain(m, stream)) {
            return "cannot encode";
        }
    }
    avcodec_send_frame(m.codec, nullptr);
    if (!drain(m, stream) || av_write_trailer(m.format) < 0) {
        return "cannot finish the file";
    }
    return "";
}

} // namespace testsupport
