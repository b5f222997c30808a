// The player's core interface as a plug-in sees it through SetCore. A dual interface: the
// slot order below is the player's and must not change. The objects it hands out (controls,
// settings, media, collections, network, playlists, closed captions, errors) are declared only;
// a player offers what it implements and answers E_NOTIMPL or null for the rest.
#pragma once

#include "platform/com/Unknown.h"

struct IWMPControls;
struct IWMPSettings;
struct IWMPMedia;
struct IWMPMediaCollection;
struct IWMPPlaylistCollection;
struct IWMPNetwork;
struct IWMPPlaylist;
struct IWMPCdromCollection;
struct IWMPClosedCaption;
struct IWMPError;

enum WMPOpenState {
    wmposUndefined = 0,
    wmposPlaylistChanging = 1,
    wmposPlaylistLocating = 2,
    wmposPlaylistConnecting = 3,
    wmposPlaylistLoading = 4,
    wmposPlaylistOpening = 5,
    wmposPlaylistOpenNoMedia = 6,
    wmposPlaylistChanged = 7,
    wmposMediaChanging = 8,
    wmposMediaLocating = 9,
    wmposMediaConnecting = 10,
    wmposMediaLoading = 11,
    wmposMediaOpening = 12,
    wmposMediaOpen = 13,
    wmposBeginCodecAcquisition = 14,
    wmposEndCodecAcquisition = 15,
    wmposBeginLicenseAcquisition = 16,
    wmposEndLicenseAcquisition = 17,
    wmposBeginIndividualization = 18,
    wmposEndIndividualization = 19,
    wmposMediaWaiting = 20,
    wmposOpeningUnknownURL = 21
};

enum WMPPlayState {
    wmppsUndefined = 0,
    wmppsStopped = 1,
    wmppsPaused = 2,
    wmppsPlaying = 3,
    wmppsScanForward = 4,
    wmppsScanReverse = 5,
    wmppsBuffering = 6,
    wmppsWaiting = 7,
    wmppsMediaEnded = 8,
    wmppsTransitioning = 9,
    wmppsReady = 10,
    wmppsReconnecting = 11,
    wmppsLast = 12
};

struct IWMPCore : IDispatch {
    virtual HRESULT close() = 0;
    virtual HRESULT get_URL(BSTR* url) = 0;
    virtual HRESULT put_URL(BSTR url) = 0;
    virtual HRESULT get_openState(WMPOpenState* state) = 0;
    virtual HRESULT get_playState(WMPPlayState* state) = 0;
    virtual HRESULT get_controls(IWMPControls** controls) = 0;
    virtual HRESULT get_settings(IWMPSettings** settings) = 0;
    virtual HRESULT get_currentMedia(IWMPMedia** media) = 0;
    virtual HRESULT put_currentMedia(IWMPMedia* media) = 0;
    virtual HRESULT get_mediaCollection(IWMPMediaCollection** collection) = 0;
    virtual HRESULT get_playlistCollection(IWMPPlaylistCollection** collection) = 0;
    virtual HRESULT get_versionInfo(BSTR* version) = 0;
    virtual HRESULT launchURL(BSTR url) = 0;
    virtual HRESULT get_network(IWMPNetwork** network) = 0;
    virtual HRESULT get_currentPlaylist(IWMPPlaylist** playlist) = 0;
    virtual HRESULT put_currentPlaylist(IWMPPlaylist* playlist) = 0;
    virtual HRESULT get_cdromCollection(IWMPCdromCollection** collection) = 0;
    virtual HRESULT get_closedCaption(IWMPClosedCaption** closedCaption) = 0;
    virtual HRESULT get_isOnline(VARIANT_BOOL* online) = 0;
    virtual HRESULT get_error(IWMPError** error) = 0;
    virtual HRESULT get_status(BSTR* status) = 0;

  protected:
    ~IWMPCore() = default;
};

constexpr IID IID_IWMPCore = plat::guid("{D84CCA99-CCE2-11D2-9ECC-0000F8085981}");
constexpr IID IID_IWMPMedia = plat::guid("{94D55E95-3FAC-11D3-B155-00C04F79FAA6}");
