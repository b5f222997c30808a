#include "platform/window/Icon.h"

#include "platform/base/PathMap.h"
#include "platform/window/WindowInternal.h"

#include <unistd.h>

#include <climits>
#include <map>

struct HICON__ {
    SDL_Surface* surface = nullptr;
};

namespace {

std::string programName() {
    char buf[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) {
        return std::string();
    }
    buf[n] = '\0';
    std::string path(buf);
    return path.substr(path.rfind('/') + 1);
}

// The icons loaded so far, freed when the process ends.
class IconCache {
  public:
    ~IconCache() {
        for (auto& entry : icons) {
            SDL_FreeSurface(entry.second->surface);
            delete entry.second;
        }
    }
    std::map<int, HICON> icons;
};

std::map<int, HICON>& loadedIcons() {
    static IconCache cache;
    return cache.icons;
}

} // namespace

namespace plat {

std::string iconFile(int resource) {
    return executableFolder() + "/icons/" + programName() + "-" + std::to_string(resource) + ".bmp";
}

void applyClassIcon(HWND w) {
    if (w != nullptr && w->sdl != nullptr && w->classIcon != nullptr &&
        w->classIcon->surface != nullptr) {
        SDL_SetWindowIcon(w->sdl, w->classIcon->surface);
    }
}

} // namespace plat

HICON LoadIconA(HINSTANCE, LPCSTR name) {
    auto id = reinterpret_cast<uintptr_t>(name);
    if (id == 0 || id > 0xFFFF) {
        return nullptr;
    }
    int resource = static_cast<int>(id);
    auto found = loadedIcons().find(resource);
    if (found != loadedIcons().end()) {
        return found->second;
    }
    SDL_Surface* surface = SDL_LoadBMP(plat::iconFile(resource).c_str());
    if (surface == nullptr) {
        return nullptr;
    }
    HICON icon = new HICON__{surface};
    loadedIcons()[resource] = icon;
    return icon;
}
