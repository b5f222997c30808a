#include "game/menu/FlashGuardFile.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace flashguardfile {

namespace {

// The value of a "flash_guard=" line, blanks around the name, the sign and the value allowed.
bool readSwitch(const char* line, bool& on) {
    auto skipBlanks = [](const char*& p) {
        while (*p == ' ' || *p == '\t') {
            ++p;
        }
    };
    const char* p = line;
    skipBlanks(p);
    if (std::strncmp(p, "flash_guard", 11) != 0) {
        return false;
    }
    p += 11;
    skipBlanks(p);
    if (*p != '=') {
        return false;
    }
    ++p;
    skipBlanks(p);
    on = std::strncmp(p, "off", 3) != 0;
    return true;
}

} // namespace

State load(const char* path) {
    State state;
    std::FILE* f = std::fopen(path, "r");
    if (f == nullptr) {
        return state;
    }
    state.exists = true;
    char line[256];
    while (std::fgets(line, sizeof line, f) != nullptr) {
        bool on = true;
        if (readSwitch(line, on)) {
            state.guardOn = on;
        }
    }
    std::fclose(f);
    return state;
}

bool save(const char* path, bool guardOn) {
    const std::string temporary = std::string(path) + ".new";
    std::FILE* f = std::fopen(temporary.c_str(), "w");
    if (f == nullptr) {
        return false;
    }
    bool ok = std::fprintf(f,
                           "# Tonecrest flash guard: on keeps the ride to at most three flashes "
                           "a second.\nflash_guard=%s\n",
                           guardOn ? "on" : "off") > 0;
    ok = std::fclose(f) == 0 && ok;
    if (!ok || std::rename(temporary.c_str(), path) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace flashguardfile
