#include "render/PngFrames.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/error.h>
#include <libswscale/swscale.h>
}

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

std::unique_ptr<PngFrames> PngFrames::create(const std::string& folder, int width, int height,
                                             std::string& error) {
    struct stat st {};
    bool made = false;
    if (stat(folder.c_str(), &st) != 0) {
        if (mkdir(folder.c_str(), 0777) != 0) {
            error = "cannot make the folder " + folder + ": " + std::strerror(errno);
            return nullptr;
        }
        made = true;
    }
    std::unique_ptr<PngFrames> out(new PngFrames);
    out->madeFolder = made;
    out->folder = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    out->width = width;
    out->height = height;
    const AVCodec* png = avcodec_find_encoder(AV_CODEC_ID_PNG);
    if (png == nullptr) {
        error = "FFmpeg lacks the PNG encoder";
        return nullptr;
    }
    out->encoder = avcodec_alloc_context3(png);
    out->encoder->width = width;
    out->encoder->height = height;
    out->encoder->pix_fmt = AV_PIX_FMT_RGB24;
    out->encoder->time_base = AVRational{1, 25};
    out->scaler = sws_getContext(width, height, AV_PIX_FMT_BGRA, width, height, AV_PIX_FMT_RGB24,
                                 SWS_POINT, nullptr, nullptr, nullptr);
    out->picture = av_frame_alloc();
    out->packet = av_packet_alloc();
    if (out->scaler == nullptr || out->picture == nullptr || out->packet == nullptr ||
        avcodec_open2(out->encoder, png, nullptr) < 0) {
        error = "cannot start the PNG encoder";
        return nullptr;
    }
    out->picture->format = AV_PIX_FMT_RGB24;
    out->picture->width = width;
    out->picture->height = height;
    if (av_frame_get_buffer(out->picture, 0) < 0) {
        error = "out of memory";
        return nullptr;
    }
    return out;
}

PngFrames::~PngFrames() {
    avcodec_free_context(&encoder);
    sws_freeContext(scaler);
    av_frame_free(&picture);
    av_packet_free(&packet);
}

bool PngFrames::addFrame(const uint8_t* pixels, const float*, long) {
    if (av_frame_make_writable(picture) < 0) {
        failure = "out of memory";
        return false;
    }
    const int stride = width * 4;
    const uint8_t* top = pixels + static_cast<size_t>(stride) * (height - 1);
    const int strides[1] = {-stride};
    sws_scale(scaler, &top, strides, 0, height, picture->data, picture->linesize);
    picture->pts = count;
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06d.png", ++count);
    std::string path = folder + name;
    written = count;
    if (avcodec_send_frame(encoder, picture) < 0 || avcodec_receive_packet(encoder, packet) < 0) {
        failure = "cannot encode " + path;
        return false;
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        failure = "cannot write " + path + ": " + std::strerror(errno);
        av_packet_unref(packet);
        return false;
    }
    size_t n = std::fwrite(packet->data, 1, static_cast<size_t>(packet->size), f);
    bool ok = n == static_cast<size_t>(packet->size);
    int savedErrno = errno;
    ok = (std::fclose(f) == 0) && ok;
    av_packet_unref(packet);
    if (!ok) {
        failure = "cannot write " + path + ": " + std::strerror(errno != 0 ? errno : savedErrno);
        return false;
    }
    return true;
}

void PngFrames::discard() {
    for (int i = 1; i <= written; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06d.png", i);
        unlink((folder + name).c_str());
    }
    written = 0;
    if (madeFolder) {
        rmdir(folder.c_str());
        madeFolder = false;
    }
}
