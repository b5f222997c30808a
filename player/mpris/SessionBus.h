// The session bus as tcplayer finds it, and the names under which tcplayer appears there as a
// media player.
#pragma once

#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>

namespace mpris {

constexpr const char* kOwnBusName = "org.mpris.MediaPlayer2.tcplayer";
constexpr const char* kObjectPath = "/org/mpris/MediaPlayer2";
constexpr const char* kRootInterface = "org.mpris.MediaPlayer2";
constexpr const char* kPlayerInterface = "org.mpris.MediaPlayer2.Player";

// True for tcplayer's own name, with or without an instance suffix (".instance123"), so that
// listening to the desktop never takes tcplayer for one of the desktop's players.
inline bool isOwnBusName(const std::string& name) {
    size_t n = std::strlen(kOwnBusName);
    return name.compare(0, n, kOwnBusName) == 0 && (name.size() == n || name[n] == '.');
}

// The session bus's address without starting one: DBUS_SESSION_BUS_ADDRESS, else the usual
// socket in the runtime folder, else "".
inline std::string sessionBusAddress() {
    if (const char* a = std::getenv("DBUS_SESSION_BUS_ADDRESS"); a && *a) {
        return a;
    }
    if (const char* rt = std::getenv("XDG_RUNTIME_DIR"); rt && *rt) {
        std::string path = std::string(rt) + "/bus";
        struct stat st;
        if (stat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode)) {
            return "unix:path=" + path;
        }
    }
    return "";
}

} // namespace mpris
