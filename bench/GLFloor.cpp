// What software GL costs before the game draws anything of its own: the game's window (its
// pixel format, context and allocator settings, as the game makes them), paced as the game's
// frame is (5 ms sleeps until more than 16 ms have passed), each frame clearing colour and
// depth and filling the whole window LAYERS times with one 512 x 512 bilinear texture, no
// blending, then swapping. Prints the frame rate, the process's CPU (every thread, Mesa's
// rendering threads too) as a share of one core and per frame over SECONDS after a 2 s
// start, and the resident memory at the end: the floor under scripts/paced-cpu's figures.
//
//   gl_floor [LAYERS [SECONDS]]     LAYERS: 0 (clear and swap only) to 16, default 1
//
// Needs a display (scripts/paced-cpu's Xvfb, or xvfb-run).
#include "game/shell/FrameTimer.h"
#include "game/shell/GameWindow.h"
#include "game/shell/ViewSetup.h"
#include "game/shell/WindowRecord.h"
#include "platform/window/GLContext.h"
#include "platform/window/Window.h"

#include <GL/gl.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double rssMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::atof(line.c_str() + 6) / 1024.0;
        }
    }
    return 0.0;
}

GLuint makeTexture() {
    constexpr int kSide = 512;
    std::vector<unsigned char> pixels(static_cast<size_t>(kSide) * kSide * 4);
    unsigned seed = 1;
    for (unsigned char& b : pixels) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<unsigned char>(seed >> 24);
    }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kSide, kSide, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels.data());
    return texture;
}

} // namespace

int main(int argc, char** argv) {
    const int layers = argc > 1 ? std::atoi(argv[1]) : 1;
    const double seconds = argc > 2 ? std::atof(argv[2]) : 10.0;
    if (layers < 0 || layers > 16 || seconds <= 0.0) {
        std::fprintf(stderr, "usage: gl_floor [LAYERS (0 to 16) [SECONDS]]\n");
        return 2;
    }
    static char instanceToken;
    KeyDownTable keys{};
    AppInstanceInfo appInfo{};
    prepareWindowRecord(&keys, &appInfo, reinterpret_cast<HINSTANCE>(&instanceToken));
    if (!registerWindowClass(&appInfo) || !createGameWindow(&windowRecord)) {
        std::fprintf(stderr, "gl_floor: no GL window\n");
        return 1;
    }
    reshapeView(kClientWidth, kClientHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    makeTexture();

    CFrameTimer timer;
    timer.initTimer();
    constexpr double kStartSeconds = 2.0;
    double started = 0.0, wall = 0.0, cpu0 = 0.0;
    long frames = 0;
    for (;;) {
        // The game's own pacing; the frame times add up to the wall time.
        const double dt = paceFrame(&timer, nullptr, 0);
        if (started < kStartSeconds) {
            started += dt;
            cpu0 = cpuSeconds();
        } else if ((wall += dt) >= seconds) {
            break;
        }
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (int i = 0; i < layers; ++i) {
            glBegin(GL_QUADS);
            glTexCoord2f(0, 0);
            glVertex2f(-1, -1);
            glTexCoord2f(1, 0);
            glVertex2f(1, -1);
            glTexCoord2f(1, 1);
            glVertex2f(1, 1);
            glTexCoord2f(0, 1);
            glVertex2f(-1, 1);
            glEnd();
        }
        SwapBuffers(windowRecord.deviceContext);
        MSG msg{};
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&msg);
        }
        frames += started >= kStartSeconds ? 1 : 0;
    }
    const double cpu = cpuSeconds() - cpu0;
    std::printf("layers %d: fps %.1f cpu %.1f %% of a core, %.2f ms a frame, rss %.1f MiB\n",
                layers, static_cast<double>(frames) / wall, cpu / wall * 100.0,
                frames > 0 ? cpu / static_cast<double>(frames) * 1000.0 : 0.0, rssMiB());
    destroyGameWindow(&windowRecord);
    return 0;
}
