#include "player/control/PlayerLink.h"

#include "platform/module/Module.h"
#include "platform/shell/Shell.h"

#include <cstdlib>
#include <thread>

namespace {

constexpr std::chrono::milliseconds kAnswerWait{2000};

} // namespace

PlayerLink::PlayerLink(std::string path, std::string prog)
    : socketPath(path.empty() ? remote::defaultSocketPath() : std::move(path)),
      program(prog.empty() ? playerProgram() : std::move(prog)) {}

std::string PlayerLink::playerProgram() {
    if (const char* forced = std::getenv("TONECREST_PLAYER"); forced && *forced) {
        return forced;
    }
    HMODULE self = nullptr;
    char path[4096] = "";
    static const int anchor = 0;
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(&anchor), &self) &&
        GetModuleFileNameA(self, path, sizeof path) > 0) {
        std::string full = path;
        size_t slash = full.rfind('/');
        if (slash != std::string::npos) {
            return full.substr(0, slash + 1) + "tcplayer";
        }
    }
    return "tcplayer";
}

bool PlayerLink::connect() {
    return client.connect(socketPath) && client.request(RemoteRequest::ping(), kAnswerWait);
}

bool PlayerLink::reach(std::chrono::milliseconds wait) {
    if (socketPath.empty()) {
        return false;
    }
    if (connect()) {
        return true;
    }
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.lpVerb = "open";
    info.lpFile = program.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info)) {
        return false;
    }
    auto end = std::chrono::steady_clock::now() + wait;
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (connect()) {
            return true;
        }
    }
    return false;
}

bool PlayerLink::ask(const RemoteRequest& request) {
    if (client.connected() && client.request(request, kAnswerWait)) {
        return true;
    }
    return connect() && client.request(request, kAnswerWait);
}
