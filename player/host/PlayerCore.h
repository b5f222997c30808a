// The player's core as a visualization sees it through SetCore: its play state, the item's
// address and the player's version. The rest of the interface answers E_NOTIMPL with null
// outputs, which plug-ins must accept from any player.
#pragma once

#include "platform/media/Core.h"

#include <atomic>
#include <functional>
#include <string>

class PlayerCore final : public IWMPCore {
  public:
    // state() and url() are asked on the thread that calls the visualization.
    PlayerCore(std::function<WMPPlayState()> state, std::function<std::string()> url);
    // A new core starts with one reference, which the creator releases.
    ULONG references() const { return refs.load(); }

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetTypeInfoCount(UINT* count) override;
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID* ids) override;
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;

    HRESULT close() override;
    HRESULT get_URL(BSTR* url) override;
    HRESULT put_URL(BSTR) override;
    HRESULT get_openState(WMPOpenState* state) override;
    HRESULT get_playState(WMPPlayState* state) override;
    HRESULT get_controls(IWMPControls** controls) override;
    HRESULT get_settings(IWMPSettings** settings) override;
    HRESULT get_currentMedia(IWMPMedia** media) override;
    HRESULT put_currentMedia(IWMPMedia*) override;
    HRESULT get_mediaCollection(IWMPMediaCollection** collection) override;
    HRESULT get_playlistCollection(IWMPPlaylistCollection** collection) override;
    HRESULT get_versionInfo(BSTR* version) override;
    HRESULT launchURL(BSTR) override;
    HRESULT get_network(IWMPNetwork** network) override;
    HRESULT get_currentPlaylist(IWMPPlaylist** playlist) override;
    HRESULT put_currentPlaylist(IWMPPlaylist*) override;
    HRESULT get_cdromCollection(IWMPCdromCollection** collection) override;
    HRESULT get_closedCaption(IWMPClosedCaption** closedCaption) override;
    HRESULT get_isOnline(VARIANT_BOOL* online) override;
    HRESULT get_error(IWMPError** error) override;
    HRESULT get_status(BSTR* status) override;

  private:
    ~PlayerCore() = default;
    std::atomic<ULONG> refs{1};
    std::function<WMPPlayState()> stateOf;
    std::function<std::string()> urlOf;
};
