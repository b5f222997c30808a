// Hosting the registered visualization plug-ins exactly as the media player does: listed from
// the Effects keys of the registry, created by class id through CoCreateInstance, given the
// player's core (SetCore) and the pane's window (Create), told about each new item
// (MediaInfo), asked to draw every frame (RenderWindowed) into the pane's device context,
// handed the pane's mouse messages (OnWindowMessage), and ended with Destroy, SetCore(null)
// and Release.
//
// The thread that creates the catalog must have called CoInitialize; every call happens on it.
#pragma once

#include "platform/com/Bstr.h"
#include "platform/com/Guid.h"
#include "platform/message/Broadcast.h"
#include "player/pane/Visualization.h"

#include <memory>
#include <string>

struct IWMPCore;
class PlayerCore;

// The title a plug-in receives for an item: the UTF-8 title as UTF-16, with every character
// beyond Latin-1 replaced by '?', since plug-ins that keep 8-bit text take the low byte of each
// code unit. The caller frees it with SysFreeString.
BSTR pluginTitle(const std::string& utf8);

class PluginCatalog : public VisualizationCatalog {
  public:
    // core is handed to every visualization created (one reference is added per holder).
    explicit PluginCatalog(IWMPCore* core);
    ~PluginCatalog() override;

    std::vector<VisualizationEntry> list() override;
    std::unique_ptr<Visualization> create(const std::string& key, std::string& error) override;
    bool rescanRequested() override;

  private:
    IWMPCore* core;
    plat::BroadcastListener listener;
    UINT rescanMessage = 0;
};
