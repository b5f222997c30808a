// The now-playing pane: shows the chosen visualization at the pane's size, drives it once a
// frame with the player's levels, tells it about each new item and passes it the pane's mouse
// messages. Without a visualization, or when one fails to load, the pane says so and shows
// the player's own spectrum bars.
#pragma once

#include "player/pane/Visualization.h"
#include "player/ui/Canvas.h"

#include <memory>
#include <string>
#include <vector>

class NowPlayingPane {
  public:
    explicit NowPlayingPane(VisualizationCatalog& catalog);
    ~NowPlayingPane();

    // Reads the catalog and starts the entry with this key (the first one when the key is
    // not there or empty).
    void load(const std::string& preferredKey);
    // Switches to the next entry of the list (wrapping round).
    void chooseNext();
    void choose(const std::string& key);
    const std::vector<VisualizationEntry>& entries() const { return list; }
    // The key and name of what runs; "" when nothing does.
    const std::string& chosenKey() const { return key; }
    std::string chosenName() const;
    // Why no visualization runs ("" while one does); also written to standard error, once for
    // each new reason.
    const std::string& problem() const { return failure; }

    // The pane's size in pixels (at least 1 x 1); a visualization starts at the size last set.
    void resize(int width, int height);
    // One frame: follows a rescan, a size change and a new item, then renders.
    void frame(const Player& player, int width, int height, Font& font);
    void mouse(PaneMouse message, int x, int y);
    const PaneSurface& surface() const { return pane; }
    // Stops the visualization (at quit).
    void shutdown();

  private:
    void stopCurrent();
    void report(std::string problem);
    void drawOwn(const LevelFrame& levels, Font& font);

    VisualizationCatalog& catalog;
    std::vector<VisualizationEntry> list;
    std::unique_ptr<Visualization> running;
    std::string key, failure;
    std::string reported; // the last problem written to standard error
    PaneSurface pane;
    uint64_t mediaSeen = 0;
};
