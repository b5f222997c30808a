// tcrender: rides a song off screen into a video file (or numbered pictures), frame by frame
// on a virtual clock, as fast as the machine draws and encodes. See renderUsage().
//
// Exit codes: 0 done, 1 the song, the output or the GL failed (one line on standard error,
// nothing left behind), 2 a bad command line, 130 stopped by Ctrl+C (the file holds what was
// done and plays).
#include "render/FlashReportSink.h"
#include "render/FramePipe.h"
#include "render/OffscreenRide.h"
#include "render/PngFrames.h"
#include "render/Progress.h"
#include "render/RenderOptions.h"
#include "render/SongFeed.h"
#include "render/VideoFile.h"

#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

volatile std::sig_atomic_t stopAsked = 0;

// Whether the game's developer log was in the current folder before the game's code opened
// it (which happens as the program starts): this runs ahead of the other static objects.
struct LogFileBefore {
    bool existed;
    LogFileBefore() {
        struct stat st {};
        existed = stat("TestThis.txt", &st) == 0;
    }
};
__attribute__((init_priority(101))) LogFileBefore logFileBefore;

void onStopSignal(int) {
    stopAsked = 1;
}

// The output while it is unfinished: a fatal error that ends the process takes it away.
FrameSink* unfinished = nullptr;

void discardUnfinished() {
    if (unfinished != nullptr) {
        unfinished->discard();
        unfinished = nullptr;
    }
}

int failWith(const std::string& line) {
    std::fprintf(stderr, "tcrender: %s\n", line.c_str());
    return 1;
}

std::string absolute(const std::string& path) {
    if (path.empty() || path[0] == '/') {
        return path;
    }
    char here[4096];
    if (getcwd(here, sizeof here) == nullptr) {
        return path;
    }
    return std::string(here) + "/" + path;
}

// The folder of the running program, where the game's data lies beside it.
std::string programFolder() {
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) {
        return ".";
    }
    std::string path(self, static_cast<size_t>(n));
    return path.substr(0, path.find_last_of('/'));
}

// The audio frames of the song that play up to the start of video frame k.
int64_t audioFramesBefore(int64_t k, int fps) {
    return (k * SongFeed::kRate + fps / 2) / fps;
}

} // namespace

int main(int argc, char** argv) {
    // The game's developer log opens in the current folder as the program starts; a render
    // keeps none, so a log file made by this start goes again (its entries are dropped).
    if (!logFileBefore.existed) {
        unlink("TestThis.txt");
    }
    RenderOptions o;
    std::string error;
    if (!parseRenderOptions(argc, argv, o, error)) {
        std::fprintf(stderr, "tcrender: %s\n", error.c_str());
        return 2;
    }
    if (o.help) {
        std::fputs(renderUsage(), stdout);
        return 0;
    }
    o.song = absolute(o.song);
    o.output = absolute(o.output);
    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);
    std::string ns = "tcrender" + std::to_string(getpid());
    setenv("TONECREST_SHM_NAMESPACE", ns.c_str(), 1);

    std::unique_ptr<SongFeed> song = SongFeed::open(o.song, o.startSeconds, error);
    if (!song) {
        return failWith(error);
    }
    // The game's folder: the one the installed launcher prepared for this user, else the
    // folder tcrender lives in (the build's game folder).
    const char* gameDir = std::getenv("TONECREST_GAME_DIR");
    const std::string data =
        gameDir != nullptr && *gameDir != '\0' ? std::string(gameDir) : programFolder();
    struct stat st {};
    if (stat((data + "/data/tcdata.d").c_str(), &st) != 0) {
        return failWith("the game's data is missing: " + data + "/data/tcdata.d");
    }

    // The game's objects report their ends on standard output, which a render keeps quiet;
    // the flash report goes to the standard output the render was given.
    std::fflush(stdout);
    FILE* reportOut = o.flashReport ? fdopen(dup(STDOUT_FILENO), "w") : nullptr;
    if (std::freopen("/dev/null", "w", stdout) == nullptr) {
        return failWith("cannot silence standard output");
    }
    std::unique_ptr<FrameSink> sink;
    if (o.kind == OutputKind::PngFolder) {
        sink = PngFrames::create(o.output, o.width, o.height, error);
    } else {
        sink = VideoFile::create(o.output, o.kind, o.width, o.height, o.fps, o.quality, error);
    }
    if (!sink) {
        return failWith(error);
    }
    unfinished = sink.get();
    std::atexit(discardUnfinished);

    if (chdir(data.c_str()) != 0) {
        discardUnfinished();
        return failWith("cannot enter " + data);
    }
    auto ride = std::make_unique<OffscreenRide>();
    if (!ride->open(o, song->title(), error)) {
        ride.reset();
        discardUnfinished();
        return failWith(error);
    }

    const int64_t limit =
        o.seconds > 0 ? static_cast<int64_t>(o.seconds * o.fps + 0.5) : int64_t{-1};
    int64_t expected = limit;
    if (song->secondsLeft() > 0) {
        int64_t songFrames = static_cast<int64_t>(song->secondsLeft() * o.fps + 0.999);
        expected = limit < 0 || songFrames < limit ? songFrames : limit;
    }
    Progress progress(expected, o.fps, !o.quiet);
    std::unique_ptr<FlashReportSink> flashes;
    if (reportOut != nullptr) {
        flashes = std::make_unique<FlashReportSink>(*sink, o.width, o.height, o.fps);
    }
    auto pipe = std::make_unique<FramePipe>(flashes ? static_cast<FrameSink&>(*flashes) : *sink,
                                            o.width, o.height);
    bool ok = true;
    int64_t frames = 0;
    std::vector<float> audio;
    while (stopAsked == 0 && (limit < 0 || frames < limit)) {
        ride->drawFrame(song->levels().frequency);
        const int64_t from = audioFramesBefore(frames, o.fps);
        const int64_t to = audioFramesBefore(frames + 1, o.fps);
        if (!song->read(static_cast<long>(to - from), audio)) {
            error = song->error();
            ok = false;
            break;
        }
        if (!pipe->capture(std::move(audio))) {
            error = pipe->error();
            ok = false;
            break;
        }
        ++frames;
        progress.update(pipe->framesDone());
        // The song ended within this frame: it is the last.
        if (song->ended()) {
            break;
        }
    }
    if (ok && !pipe->finish()) {
        error = pipe->error();
        ok = false;
    }
    progress.end();
    pipe.reset();
    const long long softened = ride->framesSoftened();
    ride.reset();
    if (!ok) {
        discardUnfinished();
        return failWith(error);
    }
    if (frames == 0) {
        // Stopped before the first frame: there is nothing to keep.
        discardUnfinished();
        std::fprintf(stderr, "tcrender: stopped before the first frame\n");
        return 130;
    }
    unfinished = nullptr;
    if (reportOut != nullptr) {
        std::fputs(flashes->report().c_str(), reportOut);
        std::fprintf(reportOut, "flash guard: %s, %lld of %lld frames softened\n",
                     o.flashGuard ? "on" : "off", softened, static_cast<long long>(frames));
        std::fclose(reportOut);
    }
    if (!o.quiet) {
        std::fprintf(
            stderr, "tcrender: wrote %s: %lld frames (%.1f s) in %.1f s, %.2fx real time%s\n",
            o.output.c_str(), static_cast<long long>(frames), static_cast<double>(frames) / o.fps,
            progress.elapsed(), progress.speed(frames), stopAsked != 0 ? ", stopped early" : "");
    }
    return stopAsked != 0 ? 130 : 0;
}
