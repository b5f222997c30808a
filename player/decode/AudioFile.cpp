#include "player/decode/AudioFile.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace {

// Owns the FFmpeg objects of one decode and frees them in any case.
struct Decoder {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwrContext* resampler = nullptr;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();

    ~Decoder() {
        av_frame_free(&frame);
        av_packet_free(&packet);
        swr_free(&resampler);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }
};

std::string describe(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

void appendFrame(Decoder& d, std::vector<float>& out) {
    int room = swr_get_out_samples(d.resampler, d.frame->nb_samples);
    if (room <= 0) {
        return;
    }
    size_t at = out.size();
    out.resize(at + size_t(room));
    auto* dest = reinterpret_cast<uint8_t*>(out.data() + at);
    int got = swr_convert(d.resampler, &dest, room, const_cast<const uint8_t**>(d.frame->extended_data),
                          d.frame->nb_samples);
    out.resize(at + size_t(got > 0 ? got : 0));
}

void drain(Decoder& d, std::vector<float>& out) {
    while (avcodec_receive_frame(d.codec, d.frame) == 0) {
        appendFrame(d, out);
    }
}

} // namespace

std::unique_ptr<AudioFile> AudioFile::load(const std::string& path, std::string& error) {
    Decoder d;
    int rc = avformat_open_input(&d.format, path.c_str(), nullptr, nullptr);
    if (rc < 0) {
        error = path + ": " + describe(rc);
        return nullptr;
    }
    if ((rc = avformat_find_stream_info(d.format, nullptr)) < 0) {
        error = path + ": " + describe(rc);
        return nullptr;
    }
    const AVCodec* codec = nullptr;
    int stream = av_find_best_stream(d.format, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (stream < 0 || codec == nullptr) {
        error = path + ": no audio stream";
        return nullptr;
    }
    d.codec = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(d.codec, d.format->streams[stream]->codecpar);
    if ((rc = avcodec_open2(d.codec, codec, nullptr)) < 0) {
        error = path + ": " + describe(rc);
        return nullptr;
    }
    AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
    if (swr_alloc_set_opts2(&d.resampler, &mono, AV_SAMPLE_FMT_FLT, kRate, &d.codec->ch_layout,
                            d.codec->sample_fmt, d.codec->sample_rate, 0, nullptr) < 0 ||
        swr_init(d.resampler) < 0) {
        error = path + ": cannot convert its samples";
        return nullptr;
    }
    auto file = std::make_unique<AudioFile>();
    if (AVDictionaryEntry* tag = av_dict_get(d.format->metadata, "title", nullptr, 0)) {
        file->title = tag->value;
    }
    while (av_read_frame(d.format, d.packet) >= 0) {
        if (d.packet->stream_index == stream && avcodec_send_packet(d.codec, d.packet) == 0) {
            drain(d, file->samples);
        }
        av_packet_unref(d.packet);
    }
    avcodec_send_packet(d.codec, nullptr);
    drain(d, file->samples);
    if (file->samples.empty()) {
        error = path + ": no samples could be decoded";
        return nullptr;
    }
    return file;
}
