// Renders the game's frame at 800 x 600 as the frame benchmark does (the real window, director
// and ride, the music block fed a pattern at the frame's clock, a fixed frame time) and saves
// the frames given as PPM images: for comparing what is drawn before and after a change to the
// drawing. The random numbers start from a fixed seed, so two runs draw the same frames.
//
//   scene_shots OUT_PREFIX PATTERN VIEWPOINT FRAME... [--plain] [--no-splash]
//
// PATTERN is a feeder pattern (silence, loud, beat, sweep); VIEWPOINT a view point code;
// --plain turns off the drawing shortcuts (the black sky's clear, the one-pass terrain, the
// clouds' billboards cut to their footprints, their off-screen captures, the coarse layers of
// the breath, the rails and the beat burst) so that the frames show what the plain drawing gives;
// --no-splash ends the start-up splash on the first frame, as the frame benchmark does.
#include "bench/BenchRide.h"
#include "game/menu/Menu3D.h"
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
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

bool savePpm(const std::string& path, int w, int h) {
    std::vector<unsigned char> px(static_cast<size_t>(w) * h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, px.data());
    return benchride::writePpm(path, w, h, px);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(
            stderr,
            "usage: scene_shots OUT_PREFIX PATTERN VIEWPOINT FRAME... [--plain] [--no-splash]\n");
        return 2;
    }
    std::string prefix = argv[1];
    feeder::Pattern pattern{};
    if (!feeder::parsePattern(argv[2], pattern)) {
        std::fprintf(stderr, "scene_shots: unknown pattern %s\n", argv[2]);
        return 2;
    }
    int view = std::atoi(argv[3]);
    std::set<int> shots;
    bool plain = false;
    bool noSplash = false;
    for (int i = 4; i < argc; ++i) {
        if (std::strcmp(argv[i], "--plain") == 0) {
            plain = true;
        } else if (std::strcmp(argv[i], "--no-splash") == 0) {
            noSplash = true;
        } else {
            shots.insert(std::atoi(argv[i]));
        }
    }
    CSharedMusicBlock feeder;
    CSceneDirector* director = benchride::open("scene_shots", feeder, view);
    if (director == nullptr) {
        return 1;
    }
    if (noSplash) {
        // Ends the start-up splash on the first frame, as the frame benchmark does.
        if (C3DMenu* menu = director->menu3D()) {
            menu->drawSplash(1000.0f);
        }
    }
    if (plain) {
        director->worldObjects().skybox->allowBlackClear = false;
        director->worldObjects().skybox->allowBehind = false;
        director->captureEveryFrame = true;
        director->worldObjects().terrain->allowOnePass = false;
        for (CMFSCloud* cloud : director->worldObjects().clouds) {
            cloud->trimToFootprint = false;
            cloud->allowOffscreen = false;
            cloud->reuseCapture = false;
        }
        director->dragonObjects().breath->layer.allow = false;
        director->track()->railLayer.allow = false;
        director->worldObjects().beatBurst->layer.allow = false;
    }
    const float dt = 1.0f / 60.0f;
    double clock = 0.0;
    int last = shots.empty() ? 0 : *shots.rbegin();
    int status = 0;
    for (int frame = 1; frame <= last; ++frame) {
        unsigned char spectrum[2][1024];
        feeder::fill(pattern, clock, spectrum);
        char title[CSharedMusicBlock::kTitleBytes] = "scene shots";
        feeder.Write(spectrum, title);
        clock += dt;
        director->render(dt);
        if (shots.count(frame) != 0 &&
            !savePpm(prefix + "-" + std::to_string(frame) + ".ppm", kClientWidth, kClientHeight)) {
            status = 1;
        }
        SwapBuffers(windowRecord.deviceContext);
        MSG msg{};
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&msg);
        }
    }
    sceneDirector = nullptr;
    delete director;
    destroyGameWindow(&windowRecord);
    return status;
}
