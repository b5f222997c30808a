// What the now-playing pane drives: one visualization at a time, drawing into the pane's own
// pixel surface. The plug-in host implements these for the registered plug-ins; tests
// implement them with fakes.
#pragma once

#include "player/spectrum/LevelFrame.h"
#include "player/ui/Player.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The pane's pixels (0x00RRGGBB, rows from the top), owned by the pane; its size changes with
// the window, between frames only.
struct PaneSurface {
    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;
};

// Mouse messages forwarded to a visualization, with the Win32 message numbers.
enum class PaneMouse : unsigned { Move = 0x0200, LeftDown = 0x0201, LeftUp = 0x0202 };

class Visualization {
  public:
    virtual ~Visualization() = default;
    // Starts the visualization on the pane; false with the reason when it cannot run.
    virtual bool start(PaneSurface& pane, std::string& error) = 0;
    virtual void mediaInfo(const MediaDescription& media) = 0;
    // Draws one frame of levels into the pane.
    virtual void render(const LevelFrame& levels) = 0;
    // x, y in pane coordinates.
    virtual void mouse(PaneMouse message, int x, int y) = 0;
    // Ends it; the object is deleted right after.
    virtual void stop() = 0;
    // Its own title once started, "" when it has none.
    virtual std::string title() const { return ""; }
};

// The visualizations that can be chosen, by the name the user sees, each with a key that is
// remembered in the settings.
struct VisualizationEntry {
    std::string key;
    std::string name;
};

class VisualizationCatalog {
  public:
    virtual ~VisualizationCatalog() = default;
    // Reads the list again (at start and when a plug-in was added or removed).
    virtual std::vector<VisualizationEntry> list() = 0;
    // A new instance of the entry with that key; null with the reason when it cannot load.
    virtual std::unique_ptr<Visualization> create(const std::string& key, std::string& error) = 0;
    // True once since the last call when the list may have changed (the rescan broadcast).
    virtual bool rescanRequested() { return false; }
};
