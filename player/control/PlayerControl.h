// The player control: the in-process class a host program creates under
// CLSID_WindowsMediaPlayer. It plays nothing itself. Given a site whose remote media services
// say "Remote", it connects to the running tcplayer (starting it when none runs) and drives it:
// setTaskPane shows one of its panes, the player application's switchToPlayerApplication
// brings its window forward.
//
// Contract:
// - SetSite with a remote site fails (E_FAIL, site not kept) when no player can be reached;
//   a host then treats the control's creation as failed.
// - Without a remote site the control is not remote (isRemote false) and everything that
//   needs the player answers E_UNEXPECTED.
#pragma once

#include "platform/com/ComModule.h"
#include "platform/com/ObjectWithSite.h"
#include "platform/media/Player.h"
#include "player/control/NoDispatch.h"
#include "player/control/PlayerLink.h"

#include <memory>

// The module whose counts DllCanUnloadNow reports.
plat::ComModule& controlModule();

class PlayerControl final : public plat::ComRefCount,
                            public NoDispatch<IWMPPlayer4>,
                            public IWMPPlayerServices,
                            public IObjectWithSite {
  public:
    // How long SetSite waits for a player it had to start.
    static constexpr std::chrono::milliseconds kStartWait{10000};

    PlayerControl();
    ~PlayerControl() override;

    // The link to the player once remote, else null.
    PlayerLink* link() { return remote.get(); }

    // IUnknown (one identity for every table).
    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override { return addRef(); }
    ULONG Release() override { return release(); }

    // IObjectWithSite
    HRESULT SetSite(IUnknown* site) override;
    HRESULT GetSite(REFIID riid, void** site) override;

    // IWMPPlayerServices
    HRESULT activateUIPlugin(BSTR plugin) override;
    HRESULT setTaskPane(BSTR pane) override;
    HRESULT setTaskPaneURL(BSTR pane, BSTR url, BSTR friendlyName) override;

    // IWMPCore
    HRESULT close() override;
    HRESULT get_URL(BSTR* url) override;
    HRESULT put_URL(BSTR url) override;
    HRESULT get_openState(WMPOpenState* state) override;
    HRESULT get_playState(WMPPlayState* state) override;
    HRESULT get_controls(IWMPControls** controls) override;
    HRESULT get_settings(IWMPSettings** settings) override;
    HRESULT get_currentMedia(IWMPMedia** media) override;
    HRESULT put_currentMedia(IWMPMedia* media) override;
    HRESULT get_mediaCollection(IWMPMediaCollection** collection) override;
    HRESULT get_playlistCollection(IWMPPlaylistCollection** collection) override;
    HRESULT get_versionInfo(BSTR* version) override;
    HRESULT launchURL(BSTR url) override;
    HRESULT get_network(IWMPNetwork** network) override;
    HRESULT get_currentPlaylist(IWMPPlaylist** playlist) override;
    HRESULT put_currentPlaylist(IWMPPlaylist* playlist) override;
    HRESULT get_cdromCollection(IWMPCdromCollection** collection) override;
    HRESULT get_closedCaption(IWMPClosedCaption** closedCaption) override;
    HRESULT get_isOnline(VARIANT_BOOL* online) override;
    HRESULT get_error(IWMPError** error) override;
    HRESULT get_status(BSTR* status) override;
    // IWMPCore2, IWMPCore3
    HRESULT get_dvd(IWMPDVD** dvd) override;
    HRESULT newPlaylist(BSTR name, BSTR url, IWMPPlaylist** playlist) override;
    HRESULT newMedia(BSTR url, IWMPMedia** media) override;
    // IWMPPlayer4
    HRESULT get_enabled(VARIANT_BOOL* enabled) override;
    HRESULT put_enabled(VARIANT_BOOL enabled) override;
    HRESULT get_fullScreen(VARIANT_BOOL* fullScreen) override;
    HRESULT put_fullScreen(VARIANT_BOOL fullScreen) override;
    HRESULT get_enableContextMenu(VARIANT_BOOL* enable) override;
    HRESULT put_enableContextMenu(VARIANT_BOOL enable) override;
    HRESULT put_uiMode(BSTR mode) override;
    HRESULT get_uiMode(BSTR* mode) override;
    HRESULT get_stretchToFit(VARIANT_BOOL* stretch) override;
    HRESULT put_stretchToFit(VARIANT_BOOL stretch) override;
    HRESULT get_windowlessVideo(VARIANT_BOOL* windowless) override;
    HRESULT put_windowlessVideo(VARIANT_BOOL windowless) override;
    HRESULT get_isRemote(VARIANT_BOOL* isRemote) override;
    HRESULT get_playerApplication(IWMPPlayerApplication** application) override;
    HRESULT openPlayer(BSTR url) override;

  private:
    IUnknown* site = nullptr;
    std::unique_ptr<PlayerLink> remote;
    VARIANT_BOOL enabled = VARIANT_TRUE;
    VARIANT_BOOL contextMenu = VARIANT_TRUE;
    VARIANT_BOOL stretch = VARIANT_FALSE;
    VARIANT_BOOL windowless = VARIANT_FALSE;
};
