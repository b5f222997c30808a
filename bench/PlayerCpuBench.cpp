// The player's own work while it plays: decoding, resampling, the spectrum and the pane's
// refresh at the window's frame rate (without a plug-in's drawing), as a share of one core.
//
//   player_bench [SECONDS]      (default 20; SDL_AUDIODRIVER defaults to dummy)
//
// Prints the share while playing and what measuring the song's loudness ahead cost, and ends
// with 1 when the share while playing is 5 % or more.
#include "player/pane/NowPlayingPane.h"
#include "player/ui/Player.h"
#include "player/ui/PlayerWindow.h"
#include "tests/support/AudioFiles.h"
#include "tests/support/TestPaths.h"

#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

class NoVisualizations : public VisualizationCatalog {
  public:
    std::vector<VisualizationEntry> list() override { return {}; }
    std::unique_ptr<Visualization> create(const std::string&, std::string& error) override {
        error = "none";
        return nullptr;
    }
};

} // namespace

int main(int argc, char** argv) {
    double seconds = argc > 1 ? std::atof(argv[1]) : 20.0;
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    testsupport::ScratchDir dir;
    setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
    std::string song = dir.file("song.mp3");
    std::string error = testsupport::encodeAudio(
        song, {"libmp3lame", "mp3", 44100, 2, seconds + 10, "Bench"}, [](int c, double t) {
            double beat = std::fmod(t, 0.5) < 0.1 ? 1.0 : 0.3;
            return float(0.3 * beat * std::sin(2 * 3.14159265 * (c ? 330 : 220) * t) +
                         0.1 * std::sin(2 * 3.14159265 * 3000 * t));
        });
    if (!error.empty()) {
        std::fprintf(stderr, "player_bench: %s\n", error.c_str());
        return 2;
    }
    PlayerSettings settings;
    settings.normalise = true;
    Player player(settings);
    if (!player.start(error)) {
        std::fprintf(stderr, "player_bench: %s\n", error.c_str());
        return 2;
    }
    NoVisualizations catalog;
    NowPlayingPane pane(catalog);
    Font font(14);
    pane.resize(800, 450);
    pane.load("");
    std::vector<uint32_t> window(800 * 600);

    double cpu0 = cpuSeconds();
    auto wall0 = std::chrono::steady_clock::now();
    player.openFiles({song}, true);
    // Until the loudness is known: the measurement runs ahead at the lowest priority.
    double gain = 0;
    auto frame = std::chrono::microseconds(1000000 / PlayerWindow::kFramesPerSecond);
    auto next = std::chrono::steady_clock::now();
    auto runFrame = [&] {
        player.tick(HeardAudio::nowSeconds());
        pane.frame(player, 800, 450, font);
        const PaneSurface& s = pane.surface();
        std::copy(s.pixels.begin(), s.pixels.end(), window.begin()); // the window's copy
        next += frame;
        std::this_thread::sleep_until(next);
    };
    while (player.gainDb() == 0 && gain == 0 &&
           std::chrono::steady_clock::now() - wall0 < std::chrono::seconds(10)) {
        runFrame();
        gain = player.gainDb();
    }
    double scanCpu = cpuSeconds() - cpu0;
    double cpu1 = cpuSeconds();
    auto wall1 = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - wall1 < std::chrono::duration<double>(seconds)) {
        runFrame();
    }
    double used = cpuSeconds() - cpu1;
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall1).count();
    double share = 100.0 * used / wall;
    std::printf("loudness measured ahead: %.2f s of CPU for a %.0f s song (gain %+.1f dB)\n",
                scanCpu, seconds + 10, player.gainDb());
    std::printf("playing 44.1 kHz stereo MP3 with the pane at %d fps: %.2f %% of one core "
                "over %.0f s\n",
                PlayerWindow::kFramesPerSecond, share, wall);
    pane.shutdown();
    return share < 5.0 ? 0 : 1;
}
