#include "render/SongFeed.h"

#include "player/loudness/Loudness.h"
#include "player/spectrum/RideCalibration.h"

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
    SongLevels levels;
    if (!wholeSongLevels(path, levels)) {
        error = path + ": cannot be decoded";
        return nullptr;
    }
    // The heard audio carries the gain; the ride calibration is relative to the song before it.
    feed->factor = static_cast<float>(std::pow(10.0, levels.gainDb / 20.0));
    feed->builder.setMapping(levels.ride.forGain(levels.gainDb));
    if (startSeconds > 0 && !feed->decoder->seek(startSeconds)) {
        error = feed->decoder->error();
        return nullptr;
    }
    if (info.durationSeconds > 0) {
        feed->remaining = std::max(0.0, info.durationSeconds - startSeconds);
    }
    if (!feed->decodeAhead(kLead, 0)) {
        error = feed->failure;
        return nullptr;
    }
    if (feed->soundTotal == 0) {
        error = startSeconds > 0 ? path + ": the song ends before the start asked for"
                                 : path + ": the song holds no sound";
        return nullptr;
    }
    std::string title = info.title.empty() ? fileTitle(path) : info.title;
    feed->latinTitle = toLatin1(title).substr(0, 199);
    return feed;
}

bool SongFeed::decodeAhead(long frames, int64_t heardAt) {
    const size_t before = waiting.size();
    const long missing = frames - static_cast<long>(before / 2);
    if (missing > 0) {
        waiting.resize(before + static_cast<size_t>(missing) * 2, 0.0f);
        long got = 0;
        while (!decoderEnded && got < missing) {
            long n = decoder->read(waiting.data() + before + 2 * got, missing - got);
            if (n < 0) {
                failure = decoder->error();
                return false;
            }
            decoderEnded = n == 0;
            got += n;
        }
        soundTotal += got;
        decoded += missing;
        // What the player's listener hears: the song at its gain, heard up to heardAt; the
        // rest waits in the device.
        gained.assign(waiting.begin() + static_cast<long>(before), waiting.end());
        for (float& v : gained) {
            v *= factor;
        }
        heard.write(gained.data(), missing, static_cast<long>(decoded - heardAt),
                    static_cast<double>(heardAt) / kRate);
    }
    builder.update(heard, PlayState::Playing, static_cast<double>(heardAt) / kRate);
    return true;
}

bool SongFeed::read(long frames, std::vector<float>& out) {
    if (!decodeAhead(frames + kLead, handedOut + frames)) {
        return false;
    }
    out.assign(waiting.begin(), waiting.begin() + 2 * frames);
    waiting.erase(waiting.begin(), waiting.begin() + 2 * frames);
    handedOut += frames;
    return true;
}
