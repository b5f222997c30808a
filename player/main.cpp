// tcplayer: plays music files and shows the registered visualizations in its now-playing
// pane, feeding them the spectrum of what the listener hears.
//
//   tcplayer [FILE|FOLDER ...]
//
// With no arguments it opens with the queue it had when it was last closed.
#include "player/pane/NowPlayingPane.h"
#include "player/ui/Player.h"
#include "player/ui/PlayerWindow.h"
#include "player/ui/Requests.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {
// Until plug-ins are hosted: no visualization is registered.
class NoVisualizations : public VisualizationCatalog {
  public:
    std::vector<VisualizationEntry> list() override { return {}; }
    std::unique_ptr<Visualization> create(const std::string&, std::string& error) override {
        error = "not registered";
        return nullptr;
    }
};
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
    NoVisualizations catalog;
    NowPlayingPane pane(catalog);
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
    player.stop();
    if (!player.currentSettings().save(configPath)) {
        std::fprintf(stderr, "tcplayer: cannot save the settings to %s\n", configPath.c_str());
    }
    return 0;
}
