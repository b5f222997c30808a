// tcplayer: plays music files and shows the registered visualizations in its now-playing
// pane, feeding them the spectrum of what the listener hears.
//
//   tcplayer [FILE|FOLDER ...]
//
// With no arguments it opens with the queue it had when it was last closed.
#include "platform/com/Com.h"
#include "player/host/PlayerCore.h"
#include "player/host/PluginHost.h"
#include "player/pane/NowPlayingPane.h"
#include "player/ui/Player.h"
#include "player/ui/PlayerWindow.h"
#include "player/ui/Requests.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {
int run(Player& player, NowPlayingPane& pane, const PlayerSettings& settings,
        const std::vector<std::string>& files);

WMPPlayState coreState(PlayState s) {
    return s == PlayState::Playing  ? wmppsPlaying
           : s == PlayState::Paused ? wmppsPaused
                                    : wmppsStopped;
}
} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> files(argv + 1, argv + argc);
    std::string configPath = PlayerSettings::defaultPath();
    PlayerSettings settings = PlayerSettings::load(configPath);
    if (!files.empty()) {
        settings.queue.clear();
        settings.queuePosition = -1;
    }
    Player player(settings);
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
        result = run(player, pane, settings, files);
    }
    player.stop();
    if (!player.currentSettings().save(configPath)) {
        std::fprintf(stderr, "tcplayer: cannot save the settings to %s\n", configPath.c_str());
    }
    CoUninitialize();
    return result;
}

namespace {
int run(Player& player, NowPlayingPane& pane, const PlayerSettings& settings,
        const std::vector<std::string>& files) {
    std::string error;
    PlayerRequests requests;
    PlayerWindow window(player, pane, requests);
    if (!window.open(error)) {
        std::fprintf(stderr, "tcplayer: %s\n", error.c_str());
        return 1;
    }
    pane.load(settings.visualization);
    if (!files.empty()) {
        player.openFiles(files, true);
    }
    window.run();
    player.currentSettings().visualization = pane.chosenKey();
    return 0;
}
} // namespace
