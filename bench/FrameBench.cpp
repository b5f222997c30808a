// The game's frame at 800 x 600: the real window, scene director and ride, fed the beat
// pattern through the shared music block as tcfeed would, drawn without the 60 fps pacing.
// Run from a folder with data/ beside it (make bench does); needs a display.
//
//   RideFrame   one whole frame: update and draw, then the buffer swap and glFinish
//   RideUpdate  the ride's update step alone (path, wave and camera)
#include "game/shell/Controls.h"
#include "game/shell/GameWindow.h"
#include "game/shell/SceneDirector.h"
#include "game/shell/ViewSetup.h"
#include "game/shell/WindowRecord.h"
#include "platform/window/GLContext.h"
#include "platform/window/Window.h"
#include "shared/musicblock/CSharedMusicBlock.h"
#include "tools/feeder/Patterns.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr float kFrameSeconds = 1.0f / 60.0f;

// The game's window and director, set up as the game's entry does, and a writer on the
// music block playing the beat pattern at the frame's clock.
class Game {
  public:
    Game() {
        static char instanceToken;
        prepareWindowRecord(&keys, &appInfo, reinterpret_cast<HINSTANCE>(&instanceToken));
        ok = registerWindowClass(&appInfo) && createGameWindow(&windowRecord) && feeder.Create();
        if (!ok) {
            return;
        }
        mainWindowHandle = windowRecord.window;
        reshapeView(kClientWidth, kClientHeight);
        director = new CSceneDirector;
        sceneDirector = director;
        director->initialize();
        director->setRideSettings(
            RideSettings{viewpoint::kForwardNear, true, false, 0.75f, true, 0.5f});
    }
    ~Game() {
        sceneDirector = nullptr;
        delete director;
        if (ok) {
            destroyGameWindow(&windowRecord);
        }
    }

    // Writes the beat at the ride's clock, then runs and shows one frame.
    void frame() {
        feed();
        director->render(kFrameSeconds);
        SwapBuffers(windowRecord.deviceContext);
        glFinish();
        pumpMessages();
    }
    void update() {
        feed();
        director->track()->updateRideFrame(kFrameSeconds, RideView{viewpoint::kForwardNear});
    }

    bool ok = false;

  private:
    void feed() {
        unsigned char spectrum[2][1024];
        feeder::fill(feeder::Pattern::Beat, clock, spectrum);
        char title[CSharedMusicBlock::kTitleBytes] = "bench beat";
        feeder.Write(spectrum, title);
        clock += kFrameSeconds;
    }
    static void pumpMessages() {
        MSG msg{};
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&msg);
        }
    }

    KeyDownTable keys{};
    AppInstanceInfo appInfo{};
    CSceneDirector* director = nullptr;
    CSharedMusicBlock feeder;
    double clock = 0.0;
};

Game* game = nullptr;

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// Times each iteration on its own so the median is reported next to the mean.
template <class Step>
void timeEach(benchmark::State& state, Step step, double unit, const char* counter) {
    std::vector<double> times;
    times.reserve(100000);
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        step();
        auto t1 = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double>(t1 - t0).count() * unit);
    }
    state.counters[counter] = median(times);
}

void RideFrame(benchmark::State& state) {
    // The trail fills in the first 250 frames; measure a full one.
    for (int i = 0; i < 300; ++i) {
        game->frame();
    }
    timeEach(
        state, [] { game->frame(); }, 1e3, "median_ms");
}
BENCHMARK(RideFrame)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void RideUpdate(benchmark::State& state) {
    timeEach(
        state, [] { game->update(); }, 1e6, "median_us");
}
BENCHMARK(RideUpdate)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
    // A block of its own, so a running game or player is not disturbed.
    std::string ns = "tcbench" + std::to_string(getpid());
    setenv("TONECREST_SHM_NAMESPACE", ns.c_str(), 1);
    benchmark::Initialize(&argc, argv);
    game = new Game;
    if (!game->ok) {
        std::fprintf(stderr, "frame_bench: no window, GL context or music block\n");
        delete game;
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    delete game;
    benchmark::Shutdown();
    return 0;
}
