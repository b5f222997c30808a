#include "render/SongFeed.h"

#include "player/loudness/Loudness.h"

#include <algorithm>
#include <cmath>

namespace {

// UTF-8 to Latin-1, every character beyond it a '?'; malformed bytes become '?' too.
std::string toLatin1(const std::string& utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + static_cast<size_t>(extra) >= utf8.size()) {
            out += '?';
            ++i;
            continue;
        }
        unsigned long code = extra == 0 ? c : c & (0x3fu >> extra);
        for (int k = 1; k <= extra; ++k) {
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3fu);
        }
        out += code <= 0xff ? static_cast<char>(code) : '?';
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

std::string fileTitle(const std::string& path) {
    size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    return dot != std::string::npos && dot > 0 ? name.substr(0, dot) : name;
}

} // namespace

std::unique_ptr<SongFeed> SongFeed::open(const std::string& path, double startSeconds,
                                         std::string& error) {
    std::unique_ptr<SongFeed> feed(new SongFeed);
    feed->decoder = AudioDecoder::open(path, error);
    if (!feed->decoder) {
        return nullptr;
    }
    const AudioInfo& info = feed->decoder->info();
    // The player's loudness normalisation: the tags' gain, else the song measured.
    if (info.hasTagGain) {
        feed->gain = std::clamp(info.tagGainDb, -30.0, 12.0);
    } else {
        LoudnessResult loudness;
        if (!measureLoudness(path, loudness, error)) {
            return nullptr;
        }
        feed->gain = gainForLoudness(loudness);
    }
    feed->factor = static_cast<float>(std::pow(10.0, feed->gain / 20.0));
    if (startSeconds > 0 && !feed->decoder->seek(startSeconds)) {
        error = feed->decoder->error();
        return nullptr;
    }
    if (info.durationSeconds > 0) {
        feed->remaining = std::max(0.0, info.durationSeconds - startSeconds);
    }
    // The first frames: a song that yields none (or none after the start) has nothing to ride.
    // They are kept for the first read.
    feed->pending.resize(2 * 64);
    long got = feed->decoder->read(feed->pending.data(), 64);
    if (got < 0) {
        error = feed->decoder->error();
        return nullptr;
    }
    if (got == 0) {
        error = startSeconds > 0 ? path + ": the song ends before the start asked for"
                                 : path + ": the song holds no sound";
        return nullptr;
    }
    feed->pending.resize(static_cast<size_t>(got) * 2);
    std::string title = info.title.empty() ? fileTitle(path) : info.title;
    feed->latinTitle = toLatin1(title).substr(0, 199);
    return feed;
}

bool SongFeed::read(long frames, std::vector<float>& out) {
    out.assign(static_cast<size_t>(frames) * 2, 0.0f);
    long got = std::min(frames, static_cast<long>(pending.size() / 2));
    std::copy(pending.begin(), pending.begin() + 2 * got, out.begin());
    pending.erase(pending.begin(), pending.begin() + 2 * got);
    while (!songEnded && got < frames) {
        long n = decoder->read(out.data() + 2 * got, frames - got);
        if (n < 0) {
            failure = decoder->error();
            return false;
        }
        if (n == 0) {
            songEnded = true;
        }
        got += n;
    }
    sounding += got;
    readFrames += frames;
    // What the player's listener hears: the song at its gain, the frames just read heard now.
    gained.resize(out.size());
    for (size_t i = 0; i < out.size(); ++i) {
        gained[i] = out[i] * factor;
    }
    double now = static_cast<double>(readFrames) / kRate;
    heard.write(gained.data(), frames, 0, now);
    builder.update(heard, PlayState::Playing, now);
    return true;
}
