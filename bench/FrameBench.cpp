// The game's frame at 800 x 600: the real window, scene director and ride, fed the beat
// pattern through the shared music block as tcfeed would, drawn without the 60 fps pacing.
// Run from a folder with data/ beside it (make bench does); needs a display. Every frame
// benchmark starts a fresh director with a fixed random seed, so runs repeat each other.
//
//   RideOnlyFrame  the ride alone as it was drawn before the world: clear, update, the trail
//   WorldFrame     the whole frame: one cloud impostor refresh, sky, terrain, snow, flames,
//                  pole and fountain sprays, the trail, the beat burst and the clouds, with
//                  the world fed a loud level (every emitter at its full-music strength),
//                  measured at ten stops along three minutes of ride (see worldTour)
//   FullFrame      WorldFrame with the dragon's parts too: the flock, the frequency bars on
//                  their platform, the dragon skinned on the CPU and its breath (depth-sorted)
//                  whenever its move burns; the same stops as WorldFrame
//   FullFrameUnguarded  FullFrame with the flash guard off
//   DragonCpu      the dragon's draw with its breath burning, in thread CPU time: key timer,
//                  skinning, the breath's update and depth sort and the GL calls' own cost
//   RideFrame      the whole frame as the director draws it today, with the world at rest
//   RideUpdate     the ride's update step alone (path, wave and camera)
//   EmitterUpdate  the update step of all four emitters the director updates, loud
//   Part/...       one piece of the world frame drawn alone (then glFinish), loud, with the
//                  camera the last frame left: where the world frame's time goes;
//                  Part/BurstStart is a new beat burst's first frame, along the view;
//                  Part/Text the HUD's three lines of text
//   FlashGuard/... the flash guard's own step on a finished loud world frame (the frames
//                  above include it, as the game's frame does): Count with a limit never reached
//                  (reading its samples back and counting: every frame's cost), Soften with the
//                  real limit (this loud world seen from near the dragon flashes more than three
//                  times a second, so most frames are softened too)
#include "game/assets/MFSCloud.h"
#include "game/assets/TextureFont.h"
#include "game/menu/Menu3D.h"
#include "game/safety/GLFlashGuard.h"
#include "game/shell/Controls.h"
#include "game/shell/GameWindow.h"
#include "game/shell/SceneDirector.h"
#include "game/shell/ViewSetup.h"
#include "game/shell/WindowRecord.h"
#include "game/world/WorldObjects.h"
#include "platform/window/GLContext.h"
#include "platform/window/Window.h"
#include "shared/musicblock/CSharedMusicBlock.h"
#include "tools/feeder/Patterns.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>
#include <time.h>
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
        restart();
    }
    ~Game() {
        sceneDirector = nullptr;
        delete director;
        if (ok) {
            destroyGameWindow(&windowRecord);
        }
    }

    // A fresh director with the fixed seed: the ride, the clouds and the emitters start
    // where they start in every run, whatever ran before.
    void restart() {
        sceneDirector = nullptr;
        delete director;
        director = new CSceneDirector;
        sceneDirector = director;
        director->setRandomSeed(kSeed);
        director->initialize();
        director->setRideSettings(
            RideSettings{viewpoint::kForwardNear, true, false, 0.75f, true, 0.5f});
        // The start-up splash (about 13 s) is over, as it is for all but the first seconds of
        // a ride: the director sees its end on its first frame.
        if (C3DMenu* menu = director->menu3D()) {
            menu->drawSplash(1000.0f);
        }
        clock = 0.0;
        worldFrames = 0;
    }
    // Moves the ride on by frames without drawing: the ride's update with the beat burst and
    // the dragon (which the update draws) left out, and the clouds' drift as if they were
    // drawn.
    void skip(int frames) {
        CRideTrack& track = *director->track();
        const RideFeedTargets targets = track.feedTargets();
        RideFeedTargets undrawn = targets;
        undrawn.beatBurst = nullptr;
        undrawn.dragon = nullptr;
        track.setFeedTargets(undrawn);
        for (int i = 0; i < frames; ++i) {
            update();
            for (CMFSCloud* c : director->worldObjects().clouds) {
                c->drift(kFrameSeconds);
            }
        }
        track.setFeedTargets(targets);
        glFinish();
    }

    // Writes the beat at the ride's clock, then runs and shows one frame.
    void frame() {
        feed();
        director->render(kFrameSeconds);
        SwapBuffers(windowRecord.deviceContext);
        glFinish();
        pumpMessages();
    }
    // The director's frame drawn and finished, not shown.
    void drawOnly() {
        feed();
        director->render(kFrameSeconds);
        glFinish();
    }
    void update() {
        feed();
        director->track()->updateRideFrame(kFrameSeconds, RideView{viewpoint::kForwardNear});
    }
    // The trail alone: what the ride frame was before the world existed.
    void rideOnlyFrame() {
        feed();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        director->track()->render(kFrameSeconds, RideView{viewpoint::kForwardNear});
        glFlush();
        SwapBuffers(windowRecord.deviceContext);
        glFinish();
        pumpMessages();
    }
    // The director's frame, then what the ride's music feed does for the world at a loud
    // level: the levels for the next frame, and a beat burst started every second and
    // updated (and so drawn) with this frame's camera.
    void worldFrame() {
        feed();
        director->render(kFrameSeconds);
        WorldObjects& world = director->worldObjects();
        feedWorldLevel(world, kLoudLevel);
        ++worldFrames;
        bool beat = (worldFrames / 60) % 2 == 0;
        const Vector3& d = director->track()->viewDirection;
        world.beatBurst->Burst(beat, kLoudLevel, d.x, d.y, d.z, 0);
        world.beatBurst->Update(kFrameSeconds);
        SwapBuffers(windowRecord.deviceContext);
        glFinish();
        pumpMessages();
    }
    // The four emitters the director updates (the beat burst draws from its own update and
    // is timed within WorldFrame).
    void updateEmitters() {
        WorldObjects& world = director->worldObjects();
        world.snow->Update(kFrameSeconds);
        world.potFlames->Update(kFrameSeconds);
        world.poleSpray->Update(kFrameSeconds);
        world.fountainSpray->Update(kFrameSeconds);
    }
    void quietWorld() { feedWorldLevel(director->worldObjects(), 0.0f); }
    WorldObjects& worldObjects() { return director->worldObjects(); }
    CSceneDirector& scene() { return *director; }

    // A loud ride level: snow at full density, the sky black, sprays at long life.
    static constexpr float kLoudLevel = 120.0f;
    static constexpr unsigned kSeed = 20261208u;

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
    int worldFrames = 0;
};

Game* game = nullptr;

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[static_cast<size_t>(p * static_cast<double>(v.size() - 1))];
}

double processSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Times each iteration on its own so the median is reported next to the mean. cpu_ms is the
// median CPU time of the whole process (the renderer's threads included) per iteration: on a
// machine that others share it tells the work apart from the waiting. prepare runs before each
// iteration, untimed.
template <class Step, class Prepare = void (*)()>
void timeEach(
    benchmark::State& state, Step step, double unit, const char* counter, Prepare prepare = [] {}) {
    std::vector<double> times, cpu;
    times.reserve(100000);
    cpu.reserve(100000);
    for (auto _ : state) {
        state.PauseTiming();
        prepare();
        state.ResumeTiming();
        double c0 = processSeconds();
        auto t0 = std::chrono::steady_clock::now();
        step();
        auto t1 = std::chrono::steady_clock::now();
        double c1 = processSeconds();
        times.push_back(std::chrono::duration<double>(t1 - t0).count() * unit);
        cpu.push_back((c1 - c0) * 1e3);
    }
    state.counters[counter] = percentile(times, 0.5);
    state.counters["p95"] = percentile(times, 0.95);
    state.counters["cpu_ms"] = percentile(cpu, 0.5);
}

void RideOnlyFrame(benchmark::State& state) {
    game->restart();
    // The trail fills in the first 250 frames; measure a full one.
    for (int i = 0; i < 300; ++i) {
        game->rideOnlyFrame();
    }
    timeEach(
        state, [] { game->rideOnlyFrame(); }, 1e3, "median_ms");
}
BENCHMARK(RideOnlyFrame)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The world frames along the ride: kTourStops stops kTourStride frames apart from a fresh
// start with the fixed seed (about three minutes of ride: circles, spirals and figure-eights,
// clouds near and far), each reached by the ride's update alone, warmed up by kStopWarmup
// frames and measured over kStopFrames. median_ms and p95 cover every measured frame;
// best_stop and worst_stop are the medians of the cheapest and dearest stop, and the medians
// of all stops go to the standard error stream. TCBENCH_FRAMES=file also writes every measured
// frame as "stop frame ms cpu_ms", one line each, to tell a dear stop from a stray frame.
constexpr int kTourStops = 10;
constexpr int kTourStride = 1080;
constexpr int kTourStart = 300; // the trail is full
constexpr int kStopWarmup = 30;
constexpr int kStopFrames = 30;

// Frames to skip before the warm-up of a stop.
int skipBeforeStop(int stop) {
    return stop == 0 ? kTourStart - kStopWarmup : kTourStride - kStopWarmup - kStopFrames;
}

void worldTour(benchmark::State& state, bool dragonParts, const char* name) {
    game->restart();
    game->scene().showDragonParts(dragonParts);
    std::vector<double> times, cpu, stopTimes, stopMedians;
    int stop = 0, inStop = 0;
    for (auto _ : state) {
        if (inStop == 0) {
            state.PauseTiming();
            game->skip(skipBeforeStop(stop));
            for (int i = 0; i < kStopWarmup; ++i) {
                game->worldFrame();
            }
            state.ResumeTiming();
        }
        double c0 = processSeconds();
        auto t0 = std::chrono::steady_clock::now();
        game->worldFrame();
        auto t1 = std::chrono::steady_clock::now();
        double c1 = processSeconds();
        double ms = std::chrono::duration<double>(t1 - t0).count() * 1e3;
        times.push_back(ms);
        cpu.push_back((c1 - c0) * 1e3);
        stopTimes.push_back(ms);
        if (++inStop == kStopFrames) {
            stopMedians.push_back(percentile(stopTimes, 0.5));
            stopTimes.clear();
            inStop = 0;
            ++stop;
        }
    }
    game->quietWorld();
    if (const char* path = std::getenv("TCBENCH_FRAMES")) {
        if (FILE* out = std::fopen(path, "w")) {
            for (size_t i = 0; i < times.size(); ++i) {
                std::fprintf(out, "%zu %zu %.3f %.3f\n", i / kStopFrames, i % kStopFrames, times[i],
                             cpu[i]);
            }
            std::fclose(out);
        }
    }
    state.counters["median_ms"] = percentile(times, 0.5);
    state.counters["p95"] = percentile(times, 0.95);
    state.counters["cpu_ms"] = percentile(cpu, 0.5);
    state.counters["best_stop"] = percentile(stopMedians, 0.0);
    state.counters["worst_stop"] = percentile(stopMedians, 1.0);
    std::fprintf(stderr, "%s stop medians (ms):", name);
    for (double m : stopMedians) {
        std::fprintf(stderr, " %.1f", m);
    }
    std::fprintf(stderr, "\n");
}

void WorldFrame(benchmark::State& state) {
    worldTour(state, false, "WorldFrame");
}
BENCHMARK(WorldFrame)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kTourStops* kStopFrames)
    ->UseRealTime();

void FullFrame(benchmark::State& state) {
    worldTour(state, true, "FullFrame");
}
BENCHMARK(FullFrame)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kTourStops* kStopFrames)
    ->UseRealTime();

// The same tour with the flash guard off: the difference to FullFrame is what the guard adds
// to a frame of a loud ride, softening included.
void FullFrameUnguarded(benchmark::State& state) {
    game->scene().setFlashGuard(false);
    worldTour(state, true, "FullFrameUnguarded");
    game->scene().setFlashGuard(true);
}
BENCHMARK(FullFrameUnguarded)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(kTourStops* kStopFrames)
    ->UseRealTime();

void RideFrame(benchmark::State& state) {
    for (int i = 0; i < 60; ++i) {
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

void EmitterUpdate(benchmark::State& state) {
    feedWorldLevel(game->worldObjects(), Game::kLoudLevel);
    timeEach(
        state, [] { game->updateEmitters(); }, 1e6, "median_us");
    game->quietWorld();
}
BENCHMARK(EmitterUpdate)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

// One piece of the world drawn alone, after a loud world frame placed the camera.
// TCBENCH_STOP=n first moves a fresh ride to the world tour's stop n.
template <class Draw> void part(benchmark::State& state, Draw draw) {
    if (const char* stopText = std::getenv("TCBENCH_STOP")) {
        int stop = std::atoi(stopText);
        game->restart();
        game->skip(kTourStart + stop * kTourStride - 30);
    }
    for (int i = 0; i < 30; ++i) {
        game->worldFrame();
    }
    feedWorldLevel(game->worldObjects(), Game::kLoudLevel);
    // Each draw meets a cleared depth buffer, as in the frame: on its own last depth the
    // depth test would turn most of it away.
    timeEach(
        state,
        [&] {
            draw(game->worldObjects());
            glFinish();
        },
        1e3, "median_ms",
        [] {
            glClear(GL_DEPTH_BUFFER_BIT);
            glFinish();
        });
    game->quietWorld();
}

void Part(benchmark::State& state, int which) {
    part(state, [which](WorldObjects& w) {
        switch (which) {
        case 0:
            w.skybox->Render();
            break;
        case 1:
            glPushMatrix();
            glTranslatef(-2000.0f, 142.0f, -2000.0f);
            w.terrain->Draw();
            glPopMatrix();
            break;
        case 2:
            w.clouds[0]->inRange = true;
            w.clouds[0]->renderImpostor();
            break;
        case 3:
            w.snow->Render();
            break;
        case 4:
            glPushMatrix();
            glTranslatef(1000.0f, 0.0f, 0.0f);
            w.potFlames->IsInView();
            w.potFlames->Render();
            glTranslatef(-2000.0f, 0.0f, 0.0f);
            w.potFlames->IsInView();
            w.potFlames->Render();
            glPopMatrix();
            break;
        case 5:
            glPushMatrix();
            glTranslatef(-700.0f, 10.0f, -1100.0f);
            w.poleSpray->Render();
            glPopMatrix();
            break;
        case 6:
            glPushMatrix();
            glTranslatef(0.0f, -25.0f, 0.0f);
            w.fountainSpray->IsInView();
            w.fountainSpray->Render();
            glPopMatrix();
            break;
        case 7:
            for (CMFSCloud* c : w.clouds) {
                glPushMatrix();
                glTranslatef(c->worldPosition.x, c->worldPosition.y, c->worldPosition.z);
                if (c->isInRange()) {
                    c->drawCloud(0.0f);
                }
                glPopMatrix();
            }
            break;
        case 8:
            if (!w.beatBurst->running) {
                w.beatBurst->elapsedTime = w.beatBurst->duration;
                w.beatBurst->Burst(true, Game::kLoudLevel, 0.0f, 0.0f, -1.0f, 0);
            }
            w.beatBurst->Update(1.0f / 60.0f);
            break;
        case 9: {
            // A new burst's first frame, along the camera's view.
            const Vector3& d = game->scene().track()->viewDirection;
            w.beatBurst->elapsedTime = w.beatBurst->duration;
            w.beatBurst->running = false;
            w.beatBurst->Burst(true, Game::kLoudLevel, d.x, d.y, d.z, 0);
            w.beatBurst->Update(1.0f / 60.0f);
            break;
        }
        case 10:
            // The HUD's title and status lines, as the ride shows them after a change.
            hudFont->print(10, 5, "Title: Tonecrest Demo Tune", 0, 1, 0);
            hudFont->print(125, 460, "ViewPoint: Forward Near; HeadTilt OFF", 0, 1, 0);
            hudFont->print(125, 445, "Speed: 50%;  Roughness: 75%", 0, 1, 0);
            break;
        default:
            break;
        }
    });
}
BENCHMARK_CAPTURE(Part, Sky, 0)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(Part, Terrain, 1)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(Part, Impostor, 2)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(Part, Snow, 3)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(Part, PotFlames, 4)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(Part, PoleSpray, 5)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(Part, Fountain, 6)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(Part, Clouds, 7)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(Part, BeatBurst, 8)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(Part, BurstStart, 9)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(Part, Text, 10)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void FlashGuard(benchmark::State& state, int maxFlashes) {
    for (int i = 0; i < 30; ++i) {
        game->worldFrame();
    }
    // A guard of its own, timed alone on each new frame; the director's own is off meanwhile.
    safety::FlashRules rules;
    rules.maxFlashes = maxFlashes;
    safety::GLFlashGuard guard(rules);
    game->scene().setFlashGuard(false);
    timeEach(
        state,
        [&] {
            guard.guardBackBuffer(kFrameSeconds);
            glFinish();
        },
        1e3, "median_ms", [] { game->drawOnly(); });
    state.counters["softened"] = static_cast<double>(guard.framesSoftened());
    game->scene().setFlashGuard(true);
}
BENCHMARK_CAPTURE(FlashGuard, Count, 1000)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(FlashGuard, Soften, 3)->Unit(benchmark::kMillisecond)->MinTime(2.0);

double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The first move burns between keys 10 and 25: the key is held at 12 so that every draw
// skins, updates and sorts the breath.
void DragonCpu(benchmark::State& state) {
    game->scene().showDragonParts(true);
    for (int i = 0; i < 30; ++i) {
        game->frame();
    }
    CBoneModel& dragon = *game->scene().dragonModel();
    dragon.setCombination(0);
    dragon.setMusicLevel(1.0f);
    std::vector<double> times;
    for (auto _ : state) {
        dragon.key = 12.0f;
        dragon.fraction = 0.0f;
        glPushMatrix();
        glTranslatef(0.0f, 0.0f, -150.0f);
        double t0 = threadSeconds();
        dragon.drawBoneModel(kFrameSeconds);
        double t1 = threadSeconds();
        glPopMatrix();
        glFinish();
        times.push_back((t1 - t0) * 1e3);
    }
    state.counters["median_ms"] = percentile(times, 0.5);
    state.counters["p95"] = percentile(times, 0.95);
}
BENCHMARK(DragonCpu)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The dragon drawn and finished, in wall time, 125 units ahead and flying away from the
// camera as in the Forward Near view:
// move 0 with its breath burning (key 12), or move 1, which never burns.
void DragonDraw(benchmark::State& state, int move) {
    CBoneModel& dragon = *game->scene().dragonModel();
    dragon.setCombination(move);
    dragon.setMusicLevel(1.0f);
    timeEach(
        state,
        [&] {
            dragon.key = 12.0f;
            dragon.fraction = 0.0f;
            glPushMatrix();
            glLoadIdentity();
            glTranslatef(0.0f, -20.0f, -125.0f);
            glRotatef(180.0f, 0.0f, 1.0f, 0.0f); // flying away from the camera
            dragon.drawBoneModel(kFrameSeconds);
            glPopMatrix();
            glFinish();
        },
        1e3, "median_ms");
}
// The flock and the frequency bars drawn alone, loud, with the camera the last frame left.
void DragonPart(benchmark::State& state, int which) {
    // The parts are looked up on each draw: with TCBENCH_STOP, part() starts a new director.
    part(state, [which](WorldObjects&) {
        const CSceneDirector::DragonParts& parts = game->scene().dragonObjects();
        if (which == 0) {
            parts.flock->Update(kFrameSeconds);
            parts.flock->Render();
        } else {
            parts.bars->Draw(kFrameSeconds);
        }
    });
}
BENCHMARK_CAPTURE(DragonPart, Flock, 0)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK_CAPTURE(DragonPart, Bars, 1)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();

BENCHMARK_CAPTURE(DragonDraw, Breathing, 0)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->UseRealTime();
BENCHMARK_CAPTURE(DragonDraw, Quiet, 1)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();

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
