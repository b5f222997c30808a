// tcplayer: plays music files, or listens to what the desktop plays, and shows the registered
// visualizations in its now-playing pane, feeding them the spectrum of what the listener hears.
//
//   tcplayer [--listen] [FILE|FOLDER ...]
//   tcplayer --running      exit code 0 when a tcplayer runs for this user, else 1
//
// With no files it opens with the queue it had when it was last closed. --listen starts it
// listening to the desktop's output. One tcplayer runs per user: a second one hands its files
// (and --listen) to the first over the remote socket, which brings it forward, and ends.
#include "platform/com/Com.h"
#include "platform/message/RuntimeFolder.h"
#include "player/host/ControlRegistration.h"
#include "player/host/PlayerCore.h"
#include "player/host/PluginHost.h"
#include "player/listen/DesktopSource.h"
#include "player/mpris/MprisService.h"
#include "player/mpris/PlayerBusTarget.h"
#include "player/pane/NowPlayingPane.h"
#include "player/remote/RemoteClient.h"
#include "player/remote/RemoteListener.h"
#include "player/ui/Player.h"
#include "player/ui/PlayerWindow.h"
#include "player/ui/Requests.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr std::chrono::milliseconds kHandOverWait{3000};

struct Options {
    bool listen = false;
    bool running = false;           // only ask whether a player runs
    std::vector<std::string> files; // absolute: the running player has its own folder
};

struct Session {
    Player& player;
    NowPlayingPane& pane;
    PlayerRequests& requests;
    const PlayerSettings& settings;
    const Options& options;
    const std::string& configPath;
};

// Once the user has quit, the process ends within a second, whatever a worker thread is
// doing (a song on a stalled disk, a folder walk, a loudness scan): the settings are saved
// first, then the orderly shutdown has until the deadline before the process simply ends.
constexpr std::chrono::milliseconds kQuitDeadline{800};

void armQuitDeadline(int exitCode) {
    std::thread([exitCode] {
        std::this_thread::sleep_for(kQuitDeadline);
        std::fprintf(stderr, "tcplayer: still busy after quitting; ending now\n");
        std::_Exit(exitCode);
    }).detach();
}

void saveSettings(Player& player, const std::string& path) {
    if (!player.currentSettings().save(path)) {
        std::fprintf(stderr, "tcplayer: cannot save the settings to %s\n", path.c_str());
    }
}

int run(Session& s);

WMPPlayState coreState(PlayState s) {
    return s == PlayState::Playing  ? wmppsPlaying
           : s == PlayState::Paused ? wmppsPaused
                                    : wmppsStopped;
}

// -1 to go on; else the exit code (after --help, or an option tcplayer does not know).
int parse(int argc, char** argv, Options& out) {
    bool optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (!optionsEnd && arg == "--") {
            optionsEnd = true;
        } else if (!optionsEnd && arg == "--listen") {
            out.listen = true;
        } else if (!optionsEnd && arg == "--running") {
            out.running = true;
        } else if (!optionsEnd && (arg == "--help" || arg == "-h")) {
            std::printf("usage: tcplayer [--listen] [FILE|FOLDER ...]\n"
                        "       tcplayer --running\n"
                        "  --listen   listen to what the desktop plays (its output, never a "
                        "microphone)\n"
                        "  --running  exit code 0 when a tcplayer runs, else 1\n");
            return 0;
        } else if (!optionsEnd && arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "tcplayer: unknown option %s (try --help)\n", arg.c_str());
            return 2;
        } else {
            std::error_code error;
            std::filesystem::path full = std::filesystem::absolute(arg, error);
            out.files.push_back(error ? arg : full.lexically_normal().string());
        }
    }
    return -1;
}

// Hands the command line to a running player; true when one took it.
bool handToRunningPlayer(const std::string& socket, const Options& options) {
    if (socket.empty() || !remote::handOver(socket, options.files, kHandOverWait)) {
        return false;
    }
    if (options.listen) {
        RemoteClient::ask(socket, RemoteRequest::listen(), kHandOverWait);
    }
    std::printf("tcplayer: handed over to the tcplayer already running\n");
    return true;
}

// Tries the hand-over again until the player holding the socket's lock answers, or for
// kHandOverWait.
bool handToRunningPlayerWhenItListens(const std::string& socket, const Options& options) {
    auto deadline = std::chrono::steady_clock::now() + kHandOverWait;
    do {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (handToRunningPlayer(socket, options)) {
            return true;
        }
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

void postRemote(PlayerRequests& requests, const RemoteRequest& r) {
    switch (r.kind) {
    case RemoteRequest::Kind::Ping:
        break;
    case RemoteRequest::Kind::ShowPane:
        if (r.pane == "NowPlaying") {
            requests.post({PlayerRequest::ShowNowPlaying, {}});
        }
        break;
    case RemoteRequest::Kind::Foreground:
        requests.post({PlayerRequest::BringToFront, {}});
        break;
    case RemoteRequest::Kind::Open:
        requests.post({PlayerRequest::OpenFiles, r.files});
        break;
    case RemoteRequest::Kind::Queue:
        requests.post({PlayerRequest::QueueFiles, r.files});
        break;
    case RemoteRequest::Kind::Listen:
        requests.post({PlayerRequest::Listen, {}});
        break;
    }
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (int code = parse(argc, argv, options); code >= 0) {
        return code;
    }
    std::string socket = remote::defaultSocketPath();
    if (options.running) {
        return !socket.empty() && RemoteClient::ask(socket, RemoteRequest::ping(), kHandOverWait)
                   ? 0
                   : 1;
    }
    if (handToRunningPlayer(socket, options)) {
        return 0;
    }
    PlayerRequests requests;
    RemoteListener remoteControl;
    if (!socket.empty()) {
        std::string error;
        switch (remoteControl.start(
            socket, [&requests](const RemoteRequest& r) { postRemote(requests, r); }, error)) {
        case RemoteServer::Result::Listening:
            break;
        case RemoteServer::Result::AlreadyRunning:
            // Another tcplayer starting at the same moment took the lock before listening:
            // it answers as soon as it listens.
            if (handToRunningPlayerWhenItListens(socket, options)) {
                return 0;
            }
            std::fprintf(stderr, "tcplayer: another tcplayer holds %s but does not answer\n",
                         socket.c_str());
            return 1;
        case RemoteServer::Result::Failed:
            std::fprintf(stderr, "tcplayer: no remote control (%s)\n", error.c_str());
            break;
        }
    }

    // NowPane reaches this player through the player control; make sure it can find it.
    if (std::string error; !ensurePlayerControlRegistered(playerControlBesideProgram(), error)) {
        std::fprintf(stderr, "tcplayer: %s\n", error.c_str());
    }

    std::string configPath = PlayerSettings::defaultPath();
    PlayerSettings settings = PlayerSettings::load(configPath);
    if (!options.files.empty()) {
        settings.queue.clear();
        settings.queuePosition = -1;
    }
    Player player(settings);
    if (std::string warning = plat::runtimeFolderWarning(); !warning.empty()) {
        player.tell(warning);
    }
    std::string error;
    if (!player.start(error)) {
        std::fprintf(stderr, "tcplayer: %s\n", error.c_str());
        return 1;
    }
    CoInitialize(nullptr);
    auto* core = new PlayerCore([&player] { return coreState(player.state()); },
                                [&player] { return player.queue().currentPath(); });
    int result = 0;
    {
        PluginCatalog catalog(core);
        core->Release(); // the catalog holds it
        NowPlayingPane pane(catalog);
        Session session{player, pane, requests, settings, options, configPath};
        result = run(session);
    }
    remoteControl.stop();
    player.stop();
    CoUninitialize();
    return result;
}

namespace {

int run(Session& s) {
    std::string error;
    PlayerWindow window(s.player, s.pane, s.requests);
    if (!window.open(error)) {
        std::fprintf(stderr, "tcplayer: %s\n", error.c_str());
        return 1;
    }
    DesktopSource::Options listening;
    listening.onStatus = [](const std::string& line) {
        std::fprintf(stderr, "tcplayer: %s\n", line.c_str());
    };
    DesktopSource desktop(listening);
    window.setDesktopSource(&desktop);
    // The desktop's media keys and panels reach the player over the session bus.
    mpris::PlayerBusTarget busTarget(s.player, window, s.requests);
    mpris::MprisService bus(busTarget);
    if (std::string why; !bus.start("", why)) {
        std::fprintf(stderr, "tcplayer: media keys and panels cannot reach tcplayer: %s\n",
                     why.c_str());
    }
    window.setFrameHook([&bus] { bus.poll(); });
    s.pane.load(s.settings.visualization);
    if (s.options.listen) {
        window.listen(true); // files given as well are queued, not played
    }
    if (!s.options.files.empty()) {
        s.player.openFiles(s.options.files, !s.options.listen);
    }
    window.run();
    s.player.currentSettings().visualization = s.pane.chosenKey();
    saveSettings(s.player, s.configPath);
    armQuitDeadline(0);
    s.player.setListeningSource(nullptr);
    desktop.stop();
    return 0;
}

} // namespace
