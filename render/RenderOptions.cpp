#include "render/RenderOptions.h"

#include "game/shell/Controls.h"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

bool endsWith(const std::string& s, const char* tail) {
    size_t n = std::strlen(tail);
    if (s.size() < n) {
        return false;
    }
    for (size_t i = 0; i < n; ++i) {
        if (std::tolower(static_cast<unsigned char>(s[s.size() - n + i])) != tail[i]) {
            return false;
        }
    }
    return true;
}

bool parseInt(const std::string& text, long& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0';
}

bool parseSeconds(const std::string& text, double& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return *end == '\0' && std::isfinite(value);
}

// The game's view keys and the cycle.
bool parseView(const std::string& text, int32_t& view) {
    if (text == "cycle" || text == "Cycle" || text == "CYCLE") {
        view = kViewCycle;
        return true;
    }
    if (text.size() != 1) {
        return false;
    }
    switch (std::toupper(static_cast<unsigned char>(text[0]))) {
    case 'A':
        view = kViewFrequencyBars;
        return true;
    case 'S':
        view = kViewLookAtCenter;
        return true;
    case 'D':
        view = kViewForwardNear;
        return true;
    case 'F':
        view = kViewForwardMid;
        return true;
    case 'G':
        view = kViewForwardFar;
        return true;
    case 'H':
        view = kViewBackward;
        return true;
    case 'B':
        view = kViewLookFromCenter;
        return true;
    case 'R':
        view = kViewCycle;
        return true;
    default:
        return false;
    }
}

bool parseSize(const std::string& text, int& width, int& height) {
    size_t x = text.find_first_of("xX");
    long w = 0;
    long h = 0;
    if (x == std::string::npos || !parseInt(text.substr(0, x), w) ||
        !parseInt(text.substr(x + 1), h)) {
        return false;
    }
    if (w < 16 || h < 16 || w > 65536 || h > 65536 || w % 2 != 0 || h % 2 != 0) {
        return false;
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

std::string songStem(const std::string& song) {
    size_t slash = song.find_last_of('/');
    std::string name = slash == std::string::npos ? song : song.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) {
        name.resize(dot);
    }
    return name.empty() ? "render" : name;
}

bool outputKind(const std::string& out, OutputKind& kind) {
    struct stat st {};
    if ((!out.empty() && out.back() == '/') ||
        (stat(out.c_str(), &st) == 0 && S_ISDIR(st.st_mode))) {
        kind = OutputKind::PngFolder;
    } else if (endsWith(out, ".mp4")) {
        kind = OutputKind::Mp4;
    } else if (endsWith(out, ".webm")) {
        kind = OutputKind::WebM;
    } else if (endsWith(out, ".mkv")) {
        kind = OutputKind::Matroska;
    } else {
        return false;
    }
    return true;
}

} // namespace

const char* renderUsage() {
    return "usage: tcrender SONG [-o OUT] [--size WxH] [--fps N] [--view KEY|cycle] [--start S]\n"
           "                [--seconds S] [--seed N] [--no-dragon] [--clean] [--quality Q]\n"
           "                [--quiet] [--flash-report] [--no-flash-guard]\n"
           "Rides SONG off screen into a video: OUT.mp4 (H.264 + AAC, the default, named after\n"
           "the song), OUT.webm (VP9 + Opus), OUT.mkv (H.264 + AAC), or numbered PNG frames in\n"
           "a folder. 1280x720 at 30 frames a second by default; --view takes the game's view\n"
           "keys (A S D F G H B) or cycle; --clean leaves out the title line; --quality runs\n"
           "from 0 (smallest) to 100 (best), 75 by default. The game's flash guard softens\n"
           "frames that would flash more than three times a second (--no-flash-guard: off);\n"
           "--flash-report prints the flashes of each second of the video.\n";
}

bool parseRenderOptions(int argc, char** argv, RenderOptions& o, std::string& error) {
    static const char* const withValue[] = {"-o",      "--output",  "--size", "--fps",    "--view",
                                            "--start", "--seconds", "--seed", "--quality"};
    bool outputGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string v;
        for (const char* name : withValue) {
            if (arg == name) {
                if (i + 1 >= argc) {
                    error = arg + " needs a value";
                    return false;
                }
                v = argv[++i];
            }
        }
        // A value that does not parse: the reason, with the value.
        auto bad = [&](const char* what, const char* give) {
            error = std::string(what) + " " + v + ": " + give;
            return false;
        };
        long n = 0;
        if (arg == "-h" || arg == "--help") {
            o.help = true;
            return true;
        } else if (arg == "-o" || arg == "--output") {
            o.output = v;
            outputGiven = true;
        } else if (arg == "--size") {
            if (!parseSize(v, o.width, o.height)) {
                return bad("bad size", "give WxH, two even numbers of at least 16");
            }
        } else if (arg == "--fps") {
            if (!parseInt(v, n) || n < 1 || n > kMaxFps) {
                return bad("bad frame rate", "give a whole number from 1 to 60");
            }
            o.fps = static_cast<int>(n);
        } else if (arg == "--view") {
            if (!parseView(v, o.viewPoint)) {
                return bad("unknown view", "give one of A S D F G H B, or cycle");
            }
        } else if (arg == "--start") {
            if (!parseSeconds(v, o.startSeconds) || o.startSeconds < 0) {
                return bad("bad start", "give seconds from 0");
            }
        } else if (arg == "--seconds") {
            if (!parseSeconds(v, o.seconds) || o.seconds <= 0) {
                return bad("bad length", "give a number of seconds above 0");
            }
        } else if (arg == "--seed") {
            if (!parseInt(v, n) || n < 0 || n > 0xffffffffL) {
                return bad("bad seed", "give a whole number from 0");
            }
            o.seed = static_cast<unsigned>(n);
        } else if (arg == "--quality") {
            if (!parseInt(v, n) || n < 0 || n > 100) {
                return bad("bad quality", "give a whole number from 0 to 100");
            }
            o.quality = static_cast<int>(n);
        } else if (arg == "--no-dragon") {
            o.dragon = false;
        } else if (arg == "--clean") {
            o.clean = true;
        } else if (arg == "--quiet" || arg == "-q") {
            o.quiet = true;
        } else if (arg == "--flash-report") {
            o.flashReport = true;
        } else if (arg == "--no-flash-guard") {
            o.flashGuard = false;
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            error = "unknown option " + arg + " (tcrender --help lists them)";
            return false;
        } else if (o.song.empty()) {
            o.song = arg;
        } else {
            error = "one song at a time: " + arg + " is one too many";
            return false;
        }
    }
    if (o.song.empty()) {
        error = "no song given (tcrender --help)";
        return false;
    }
    if (!outputGiven) {
        o.output = songStem(o.song) + ".mp4";
    }
    if (!outputKind(o.output, o.kind)) {
        error = "cannot tell what to write to " + o.output +
                ": end the name in .mp4, .webm or .mkv, or give a folder";
        return false;
    }
    return true;
}
