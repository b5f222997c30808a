// tcfeed: writes the shared music block the way the player's plug-in does, from a made-up
// pattern or from an audio file, about sixty times a second.
//
//   tcfeed PATTERN [--seconds S] [--title TEXT]   PATTERN: silence, loud, beat, sweep
//   tcfeed strobe [HZ] [--seconds S] [--title TEXT]   a loud beat and silence HZ times a second
//                                                     (6 unless given)
//   tcfeed --file SONG [--title TEXT]             any file FFmpeg can decode
//
// It runs until the time is up (for ever without --seconds) or it is stopped, and creates the
// block's backing file in its working folder.
#include "platform/time/Time.h"
#include "shared/musicblock/CSharedMusicBlock.h"
#include "tools/feeder/FileSpectrum.h"
#include "tools/feeder/Patterns.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void onSignal(int) {
    stopRequested = 1;
}

int usage() {
    std::fprintf(stderr, "usage: tcfeed silence|loud|beat|sweep [--seconds S] [--title TEXT]\n"
                         "       tcfeed strobe [HZ] [--seconds S] [--title TEXT]\n"
                         "       tcfeed --file SONG [--seconds S] [--title TEXT]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    feeder::Pattern pattern = feeder::Pattern::Silence;
    std::string file, title;
    double seconds = -1;
    double strobeHz = feeder::kStrobeHz;
    bool haveSource = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--seconds" && hasValue) {
            seconds = std::atof(argv[++i]);
        } else if (arg == "--title" && hasValue) {
            title = argv[++i];
        } else if (arg == "--file" && hasValue) {
            file = argv[++i];
            haveSource = true;
        } else if (feeder::parsePattern(arg, pattern)) {
            haveSource = true;
            // The strobe's rate may follow its name.
            char* end = nullptr;
            double hz = hasValue ? std::strtod(argv[i + 1], &end) : 0.0;
            if (pattern == feeder::Pattern::Strobe && hasValue && end != argv[i + 1] &&
                *end == '\0') {
                if (!(hz > 0.0 && hz <= 60.0)) {
                    std::fprintf(stderr,
                                 "tcfeed: the strobe's rate must lie above 0 and at most 60 Hz\n");
                    return 2;
                }
                strobeHz = hz;
                ++i;
            }
        } else {
            return usage();
        }
    }
    if (!haveSource) {
        return usage();
    }
    std::unique_ptr<feeder::FileSpectrum> song;
    if (!file.empty()) {
        std::string error;
        song = feeder::FileSpectrum::open(file, error);
        if (!song) {
            std::fprintf(stderr, "tcfeed: %s\n", error.c_str());
            return 1;
        }
        if (title.empty()) {
            title = song->title();
        }
    }
    if (title.empty()) {
        title = file.empty() ? "tcfeed " + std::string(argv[1]) : file;
    }
    CSharedMusicBlock block;
    if (!block.Create()) {
        std::fprintf(stderr, "tcfeed: cannot create the music block\n");
        return 1;
    }
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    char titleBytes[CSharedMusicBlock::kTitleBytes] = {};
    std::strncpy(titleBytes, title.c_str(), sizeof titleBytes - 1);
    unsigned char spectrum[2][1024] = {};
    DWORD start = GetTickCount();
    while (stopRequested == 0) {
        double t = (GetTickCount() - start) / 1000.0;
        if (seconds >= 0 && t >= seconds) {
            break;
        }
        if (song) {
            if (!song->spectrumAt(t, spectrum)) {
                if (!song->error().empty()) {
                    std::fprintf(stderr, "tcfeed: %s\n", song->error().c_str());
                    block.Close();
                    return 1;
                }
                break; // the song has ended
            }
        } else {
            feeder::fill(pattern, t, spectrum, strobeHz);
        }
        block.Write(spectrum, titleBytes);
        Sleep(16);
    }
    block.Close();
    return 0;
}
