#include "player/ui/Settings.h"

#include "platform/base/AtomicFile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

std::string PlayerSettings::defaultPath() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    std::string base = xdg && *xdg ? xdg : std::string(home ? home : ".") + "/.config";
    return base + "/tonecrest/tcplayer.conf";
}

PlayerSettings PlayerSettings::load(const std::string& path) {
    PlayerSettings s;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        size_t eq = line.find('=');
        if (eq == std::string::npos) {
            continue;
        }
        std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        char* end = nullptr;
        if (key == "volume") {
            double v = std::strtod(value.c_str(), &end);
            if (end != value.c_str() && v >= 0 && v <= 1) {
                s.volume = v;
            }
        } else if (key == "normalise") {
            s.normalise = value != "0";
        } else if (key == "calibration") {
            s.rideCalibration = value != "0";
        } else if (key == "visualization") {
            s.visualization = value;
        } else if (key == "song" && !value.empty()) {
            s.queue.push_back(value);
        } else if (key == "position") {
            long p = std::strtol(value.c_str(), &end, 10);
            if (end != value.c_str() && p >= -1 && p < 1000000) {
                s.queuePosition = int(p);
            }
        }
    }
    if (s.queuePosition >= int(s.queue.size())) {
        s.queuePosition = -1;
    }
    return s;
}

bool PlayerSettings::save(const std::string& path) const {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    std::ostringstream out;
    out << "volume=" << volume << "\nnormalise=" << (normalise ? 1 : 0)
        << "\ncalibration=" << (rideCalibration ? 1 : 0) << "\nvisualization=" << visualization
        << "\nposition=" << queuePosition << "\n";
    for (const std::string& song : queue) {
        if (song.find('\n') == std::string::npos) {
            out << "song=" << song << "\n";
        }
    }
    return plat::writeFileAtomically(path, out.str());
}
