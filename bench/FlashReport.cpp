// Flash report: how many flashes a second the game's frames make (WCAG 2.3.1, see
// game/safety/FlashAnalyser.h), and how many frames the flash guard softened.
//
//   flash_report ride SOURCE [--seconds S] [--view V] [--no-guard] [--save-every N PREFIX]
//                            [--save-softened PREFIX]
//   flash_report frames [--fps F] FILE.ppm...
//
// ride renders the game's own frames at 800 x 600 as the frame benchmark does (the real window
// and director, splash over, a fixed frame time of 1/60 s, a fixed random seed), feeding the
// music block from SOURCE at the frame's clock: a feeder pattern (silence, loud, beat, sweep,
// strobe, "strobe:HZ") or "file:SONG" (any file FFmpeg decodes). Each frame is read back after
// the guard, as it would be shown, and analysed; --no-guard switches the guard off.
// --save-every N PREFIX saves every Nth frame as PREFIX-FRAME.ppm; --save-softened PREFIX the
// frames the guard softened, with the frame before each. frames analyses PPM images
// (scene_shots writes them) in the order given, at F frames a second (60 unless given).
//
// Prints the report (one line a second, the worst second) and, for ride, the frames the guard
// softened. Exit status 0 when no second is over the limit, 3 when one is, 1 on errors.
#include "bench/BenchRide.h"
#include "game/menu/Menu3D.h"
#include "game/safety/FlashAnalyser.h"
#include "game/shell/GameWindow.h"
#include "game/shell/SceneDirector.h"
#include "game/shell/ViewSetup.h"
#include "game/shell/WindowRecord.h"
#include "platform/window/GLContext.h"
#include "platform/window/Window.h"
#include "shared/musicblock/CSharedMusicBlock.h"
#include "tools/feeder/FileSpectrum.h"
#include "tools/feeder/Patterns.h"

#include <GL/gl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr double kFps = 60.0;

int usage() {
    std::fprintf(stderr, "usage: flash_report ride SOURCE [--seconds S] [--view V] [--no-guard] "
                         "[--save-every N PREFIX] [--save-softened PREFIX]\n"
                         "       flash_report frames [--fps F] FILE.ppm...\n"
                         "SOURCE: silence, loud, beat, sweep, strobe, strobe:HZ or file:SONG\n");
    return 1;
}

// A binary PPM (P6, maxval 255) as RGB rows, top first; false with a reason otherwise.
bool readPpm(const std::string& path, int& w, int& h, std::vector<uint8_t>& rgb,
             std::string& error) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxval = 0;
    if (!(in >> magic >> w >> h >> maxval) || magic != "P6" || maxval != 255 || w <= 0 || h <= 0 ||
        w > 16384 || h > 16384) {
        error = path + ": not a binary PPM with 8-bit samples";
        return false;
    }
    in.get();
    rgb.resize(static_cast<size_t>(w) * h * 3);
    if (!in.read(reinterpret_cast<char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()))) {
        error = path + ": cut short";
        return false;
    }
    return true;
}

int reportOn(const safety::FlashReport& report) {
    std::fputs(safety::formatFlashReport(report).c_str(), stdout);
    return report.overLimit() ? 3 : 0;
}

int analyseFrames(int argc, char** argv) {
    double fps = kFps;
    std::vector<std::string> files;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--fps") == 0 && i + 1 < argc) {
            fps = std::atof(argv[++i]);
        } else {
            files.emplace_back(argv[i]);
        }
    }
    if (files.empty() || !(fps > 0.0)) {
        return usage();
    }
    std::unique_ptr<safety::FlashAnalyser> analyser;
    std::vector<uint8_t> rgb;
    for (const std::string& file : files) {
        int w = 0, h = 0;
        std::string error;
        if (!readPpm(file, w, h, rgb, error)) {
            std::fprintf(stderr, "flash_report: %s\n", error.c_str());
            return 1;
        }
        if (!analyser) {
            analyser = std::make_unique<safety::FlashAnalyser>(w, h, fps);
        } else if (w != analyser->width() || h != analyser->height()) {
            std::fprintf(stderr, "flash_report: %s: %d x %d, not %d x %d as the first\n",
                         file.c_str(), w, h, analyser->width(), analyser->height());
            return 1;
        }
        analyser->addFrame(rgb.data(), w * 3, safety::PixelLayout::Rgb);
    }
    return reportOn(analyser->report());
}

// The music the ride is fed: a pattern or a song, at the frame's clock.
class Source {
  public:
    bool open(const std::string& source, std::string& error) {
        if (source.rfind("file:", 0) == 0) {
            song = feeder::FileSpectrum::open(source.substr(5), error);
            return song != nullptr;
        }
        std::string name = source.substr(0, source.find(':'));
        if (!feeder::parsePattern(name, pattern)) {
            error = "unknown source " + source;
            return false;
        }
        if (name.size() < source.size()) {
            hz = std::atof(source.c_str() + name.size() + 1);
            if (pattern != feeder::Pattern::Strobe || !(hz > 0.0)) {
                error = "a rate is for the strobe only, above 0 Hz: " + source;
                return false;
            }
        }
        return true;
    }
    // False once a song has ended.
    bool fill(double t, unsigned char spectrum[2][1024]) {
        if (song) {
            return song->spectrumAt(t, spectrum);
        }
        feeder::fill(pattern, t, spectrum, hz);
        return true;
    }

  private:
    feeder::Pattern pattern = feeder::Pattern::Silence;
    double hz = feeder::kStrobeHz;
    std::unique_ptr<feeder::FileSpectrum> song;
};

int analyseRide(int argc, char** argv) {
    if (argc < 3) {
        return usage();
    }
    Source source;
    std::string error;
    if (!source.open(argv[2], error)) {
        std::fprintf(stderr, "flash_report: %s\n", error.c_str());
        return 1;
    }
    double seconds = 60.0;
    int view = viewpoint::kCycle;
    bool guardOn = true;
    int saveEvery = 0;
    std::string savePrefix, softenedPrefix;
    for (int i = 3; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--seconds" && i + 1 < argc) {
            seconds = std::atof(argv[++i]);
        } else if (arg == "--view" && i + 1 < argc) {
            view = std::atoi(argv[++i]);
        } else if (arg == "--no-guard") {
            guardOn = false;
        } else if (arg == "--save-every" && i + 2 < argc) {
            saveEvery = std::atoi(argv[++i]);
            savePrefix = argv[++i];
        } else if (arg == "--save-softened" && i + 1 < argc) {
            softenedPrefix = argv[++i];
        } else {
            return usage();
        }
    }
    CSharedMusicBlock feeder;
    CSceneDirector* director = benchride::open("flash_report", feeder, view);
    if (director == nullptr) {
        return 1;
    }
    director->setFlashGuard(guardOn);
    if (C3DMenu* menu = director->menu3D()) {
        menu->drawSplash(1000.0f);
    }
    safety::FlashAnalyser analyser(kClientWidth, kClientHeight, kFps);
    std::vector<uint8_t> rgb(static_cast<size_t>(kClientWidth) * kClientHeight * 3), before;
    long long softened = 0;
    const float dt = static_cast<float>(1.0 / kFps);
    const long long frames = static_cast<long long>(seconds * kFps);
    double clock = 0.0;
    int status = 0;
    long long frame = 0;
    for (; frame < frames; ++frame) {
        unsigned char spectrum[2][1024];
        if (!source.fill(clock, spectrum)) {
            break;
        }
        char title[CSharedMusicBlock::kTitleBytes] = "flash report";
        feeder.Write(spectrum, title);
        clock += dt;
        director->render(dt);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, kClientWidth, kClientHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        analyser.addFrame(rgb.data(), kClientWidth * 3, safety::PixelLayout::Rgb);
        auto save = [&](const std::string& prefix, long long n, const std::vector<uint8_t>& px) {
            if (!benchride::writePpm(prefix + "-" + std::to_string(n) + ".ppm", kClientWidth,
                                     kClientHeight, px)) {
                status = 1;
            }
        };
        if (saveEvery > 0 && frame % saveEvery == 0) {
            save(savePrefix, frame, rgb);
        }
        if (!softenedPrefix.empty()) {
            if (director->flashGuard().framesSoftened() > softened && !before.empty()) {
                save(softenedPrefix, frame - 1, before);
                save(softenedPrefix, frame, rgb);
            }
            softened = director->flashGuard().framesSoftened();
            before = rgb;
        }
        SwapBuffers(windowRecord.deviceContext);
        MSG msg{};
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&msg);
        }
    }
    const safety::GLFlashGuard& guard = director->flashGuard();
    std::printf("source %s, %lld frames, guard %s: %lld frames softened\n", argv[2], frame,
                guardOn ? "on" : "off", guard.framesSoftened());
    int verdict = reportOn(analyser.report());
    sceneDirector = nullptr;
    delete director;
    destroyGameWindow(&windowRecord);
    return status != 0 ? status : verdict;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "ride") == 0) {
        return analyseRide(argc, argv);
    }
    if (argc >= 2 && std::strcmp(argv[1], "frames") == 0) {
        return analyseFrames(argc, argv);
    }
    return usage();
}
