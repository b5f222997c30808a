// The player control as a host program sees it: the player itself (IWMPPlayer4 over the core),
// its services (task panes), its full application, and the host's side of remote mode
// (IWMPRemoteMediaServices). Slot orders are the player's and must not change.
//
// A control created with a site whose IWMPRemoteMediaServices answers GetServiceType with
// "Remote" drives the running full player instead of playing inside its host.
#pragma once

#include "platform/media/Core.h"

struct IWMPDVD;
struct IWMPPlayerApplication;

struct IWMPCore2 : IWMPCore {
    virtual HRESULT get_dvd(IWMPDVD** dvd) = 0;

  protected:
    ~IWMPCore2() = default;
};

struct IWMPCore3 : IWMPCore2 {
    virtual HRESULT newPlaylist(BSTR name, BSTR url, IWMPPlaylist** playlist) = 0;
    virtual HRESULT newMedia(BSTR url, IWMPMedia** media) = 0;

  protected:
    ~IWMPCore3() = default;
};

struct IWMPPlayer4 : IWMPCore3 {
    virtual HRESULT get_enabled(VARIANT_BOOL* enabled) = 0;
    virtual HRESULT put_enabled(VARIANT_BOOL enabled) = 0;
    virtual HRESULT get_fullScreen(VARIANT_BOOL* fullScreen) = 0;
    virtual HRESULT put_fullScreen(VARIANT_BOOL fullScreen) = 0;
    virtual HRESULT get_enableContextMenu(VARIANT_BOOL* enable) = 0;
    virtual HRESULT put_enableContextMenu(VARIANT_BOOL enable) = 0;
    virtual HRESULT put_uiMode(BSTR mode) = 0;
    virtual HRESULT get_uiMode(BSTR* mode) = 0;
    virtual HRESULT get_stretchToFit(VARIANT_BOOL* stretch) = 0;
    virtual HRESULT put_stretchToFit(VARIANT_BOOL stretch) = 0;
    virtual HRESULT get_windowlessVideo(VARIANT_BOOL* windowless) = 0;
    virtual HRESULT put_windowlessVideo(VARIANT_BOOL windowless) = 0;
    // VARIANT_TRUE while the control drives the full player rather than playing itself.
    virtual HRESULT get_isRemote(VARIANT_BOOL* remote) = 0;
    virtual HRESULT get_playerApplication(IWMPPlayerApplication** application) = 0;
    virtual HRESULT openPlayer(BSTR url) = 0;

  protected:
    ~IWMPPlayer4() = default;
};

struct IWMPPlayerServices : IUnknown {
    virtual HRESULT activateUIPlugin(BSTR plugin) = 0;
    // Shows the named task pane of the full player ("NowPlaying", ...).
    virtual HRESULT setTaskPane(BSTR pane) = 0;
    virtual HRESULT setTaskPaneURL(BSTR pane, BSTR url, BSTR friendlyName) = 0;

  protected:
    ~IWMPPlayerServices() = default;
};

struct IWMPPlayerApplication : IDispatch {
    // Brings the full player's window to the front.
    virtual HRESULT switchToPlayerApplication() = 0;
    virtual HRESULT switchToControl() = 0;
    virtual HRESULT get_playerDocked(VARIANT_BOOL* docked) = 0;
    virtual HRESULT get_hasDisplay(VARIANT_BOOL* hasDisplay) = 0;

  protected:
    ~IWMPPlayerApplication() = default;
};

// Offered by a host, through its site, to a control it wants in remote mode.
struct IWMPRemoteMediaServices : IUnknown {
    virtual HRESULT GetServiceType(BSTR* type) = 0;
    virtual HRESULT GetApplicationName(BSTR* name) = 0;
    virtual HRESULT GetScriptableObject(BSTR* name, IDispatch** object) = 0;
    virtual HRESULT GetCustomUIMode(BSTR* file) = 0;

  protected:
    ~IWMPRemoteMediaServices() = default;
};

// The library's media and playlists. The first slots only: a host keeps these objects, and
// asks nothing of them here.
struct IWMPMediaCollection : IDispatch {
    virtual HRESULT add(BSTR url, IWMPMedia** item) = 0;
    virtual HRESULT getAll(IWMPPlaylist** all) = 0;
    virtual HRESULT getByName(BSTR name, IWMPPlaylist** found) = 0;

  protected:
    ~IWMPMediaCollection() = default;
};

struct IWMPPlaylistCollection : IDispatch {
    virtual HRESULT newPlaylist(BSTR name, IWMPPlaylist** playlist) = 0;
    virtual HRESULT getAll(IDispatch** all) = 0;
    virtual HRESULT getByName(BSTR name, IDispatch** found) = 0;

  protected:
    ~IWMPPlaylistCollection() = default;
};

// The player control's class.
constexpr CLSID CLSID_WindowsMediaPlayer = plat::guid("{6BF52A52-394A-11D3-B153-00C04F79FAA6}");

constexpr IID IID_IWMPCore2 = plat::guid("{BC17E5B7-7561-4C18-BB90-17D485775659}");
constexpr IID IID_IWMPCore3 = plat::guid("{7587C667-628F-499F-88E7-6A6F4E888464}");
constexpr IID IID_IWMPPlayer4 = plat::guid("{6C497D62-8919-413C-82DB-E935FB3EC584}");
constexpr IID IID_IWMPPlayerServices = plat::guid("{1D01FBDB-ADE2-4C8D-9842-C190B95C3306}");
constexpr IID IID_IWMPPlayerApplication = plat::guid("{40897764-CEAB-47BE-AD4A-8E28537F9BBF}");
constexpr IID IID_IWMPRemoteMediaServices = plat::guid("{CBB92747-741F-44FE-AB5B-F1A48F3B2A59}");
constexpr IID IID_IWMPMediaCollection = plat::guid("{8363BC22-B4B4-4B19-989D-1CD765749DD1}");
constexpr IID IID_IWMPPlaylistCollection = plat::guid("{10A13217-23A7-439B-B1C0-D847C79B7774}");
