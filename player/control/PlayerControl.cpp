#include "player/control/PlayerControl.h"

#include "player/control/ControlObjects.h"

namespace {

HRESULT notOffered(void** out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = nullptr;
    return E_NOTIMPL;
}

template <class T> HRESULT notOffered(T** out) {
    return notOffered(reinterpret_cast<void**>(out));
}

HRESULT getFlag(VARIANT_BOOL value, VARIANT_BOOL* out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = value;
    return S_OK;
}

HRESULT newString(const char* text, BSTR* out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = plat::bstrFromUtf8(text);
    return *out ? S_OK : E_OUTOFMEMORY;
}

// True when the site offers remote media services whose service type is "Remote".
bool wantsRemote(IUnknown* site) {
    IServiceProvider* provider = nullptr;
    if (FAILED(site->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(&provider)))) {
        return false;
    }
    IWMPRemoteMediaServices* services = nullptr;
    HRESULT hr = provider->QueryService(IID_IWMPRemoteMediaServices, IID_IWMPRemoteMediaServices,
                                        reinterpret_cast<void**>(&services));
    provider->Release();
    if (FAILED(hr) || services == nullptr) {
        return false;
    }
    BSTR type = nullptr;
    bool remote =
        SUCCEEDED(services->GetServiceType(&type)) && plat::utf8FromBstr(type) == "Remote";
    SysFreeString(type);
    services->Release();
    return remote;
}

} // namespace

PlayerControl::PlayerControl() : ComRefCount(controlModule()) {}

PlayerControl::~PlayerControl() {
    if (site != nullptr) {
        site->Release();
    }
}

HRESULT PlayerControl::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IWMPCore ||
        riid == IID_IWMPCore2 || riid == IID_IWMPCore3 || riid == IID_IWMPPlayer4) {
        *object = static_cast<IWMPPlayer4*>(this);
    } else if (riid == IID_IWMPPlayerServices) {
        *object = static_cast<IWMPPlayerServices*>(this);
    } else if (riid == IID_IObjectWithSite) {
        *object = static_cast<IObjectWithSite*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT PlayerControl::SetSite(IUnknown* newSite) {
    if (site != nullptr) {
        site->Release();
        site = nullptr;
    }
    remote.reset();
    if (newSite == nullptr) {
        return S_OK;
    }
    if (wantsRemote(newSite)) {
        auto link = std::make_unique<PlayerLink>();
        if (!link->reach(kStartWait)) {
            return E_FAIL;
        }
        remote = std::move(link);
    }
    site = newSite;
    site->AddRef();
    return S_OK;
}

HRESULT PlayerControl::GetSite(REFIID riid, void** out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = nullptr;
    return site == nullptr ? E_FAIL : site->QueryInterface(riid, out);
}

HRESULT PlayerControl::activateUIPlugin(BSTR) {
    return E_NOTIMPL;
}

HRESULT PlayerControl::setTaskPane(BSTR pane) {
    if (!remote) {
        return E_UNEXPECTED;
    }
    std::string name = plat::utf8FromBstr(pane);
    if (name.empty()) {
        return E_INVALIDARG;
    }
    return remote->ask(RemoteRequest::showPane(name)) ? S_OK : E_FAIL;
}

HRESULT PlayerControl::setTaskPaneURL(BSTR, BSTR, BSTR) {
    return E_NOTIMPL;
}

HRESULT PlayerControl::close() {
    return S_OK;
}

HRESULT PlayerControl::get_URL(BSTR* url) {
    return newString("", url);
}

HRESULT PlayerControl::put_URL(BSTR url) {
    return openPlayer(url);
}

HRESULT PlayerControl::get_openState(WMPOpenState* state) {
    if (state == nullptr) {
        return E_POINTER;
    }
    *state = wmposUndefined;
    return S_OK;
}

HRESULT PlayerControl::get_playState(WMPPlayState* state) {
    if (state == nullptr) {
        return E_POINTER;
    }
    *state = wmppsUndefined;
    return S_OK;
}

HRESULT PlayerControl::get_controls(IWMPControls** out) {
    return notOffered(out);
}
HRESULT PlayerControl::get_settings(IWMPSettings** out) {
    return notOffered(out);
}
HRESULT PlayerControl::get_currentMedia(IWMPMedia** out) {
    return notOffered(out);
}
HRESULT PlayerControl::put_currentMedia(IWMPMedia*) {
    return E_NOTIMPL;
}

HRESULT PlayerControl::get_mediaCollection(IWMPMediaCollection** out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = newMediaCollection();
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT PlayerControl::get_playlistCollection(IWMPPlaylistCollection** out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = newPlaylistCollection();
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT PlayerControl::get_versionInfo(BSTR* version) {
    return newString("1.0", version);
}
HRESULT PlayerControl::launchURL(BSTR) {
    return E_NOTIMPL;
}
HRESULT PlayerControl::get_network(IWMPNetwork** out) {
    return notOffered(out);
}
HRESULT PlayerControl::get_currentPlaylist(IWMPPlaylist** out) {
    return notOffered(out);
}
HRESULT PlayerControl::put_currentPlaylist(IWMPPlaylist*) {
    return E_NOTIMPL;
}
HRESULT PlayerControl::get_cdromCollection(IWMPCdromCollection** out) {
    return notOffered(out);
}
HRESULT PlayerControl::get_closedCaption(IWMPClosedCaption** out) {
    return notOffered(out);
}
HRESULT PlayerControl::get_isOnline(VARIANT_BOOL* online) {
    return getFlag(VARIANT_FALSE, online);
}
HRESULT PlayerControl::get_error(IWMPError** out) {
    return notOffered(out);
}
HRESULT PlayerControl::get_status(BSTR* status) {
    return newString(remote ? "Connected to tcplayer" : "", status);
}
HRESULT PlayerControl::get_dvd(IWMPDVD** out) {
    return notOffered(out);
}
HRESULT PlayerControl::newPlaylist(BSTR, BSTR, IWMPPlaylist** out) {
    return notOffered(out);
}
HRESULT PlayerControl::newMedia(BSTR, IWMPMedia** out) {
    return notOffered(out);
}

HRESULT PlayerControl::get_enabled(VARIANT_BOOL* out) {
    return getFlag(enabled, out);
}
HRESULT PlayerControl::put_enabled(VARIANT_BOOL value) {
    enabled = value;
    return S_OK;
}
HRESULT PlayerControl::get_fullScreen(VARIANT_BOOL* out) {
    return getFlag(VARIANT_FALSE, out);
}
HRESULT PlayerControl::put_fullScreen(VARIANT_BOOL) {
    return E_NOTIMPL;
}
HRESULT PlayerControl::get_enableContextMenu(VARIANT_BOOL* out) {
    return getFlag(contextMenu, out);
}
HRESULT PlayerControl::put_enableContextMenu(VARIANT_BOOL value) {
    contextMenu = value;
    return S_OK;
}
HRESULT PlayerControl::put_uiMode(BSTR) {
    return E_NOTIMPL;
}
HRESULT PlayerControl::get_uiMode(BSTR* mode) {
    return newString("full", mode);
}
HRESULT PlayerControl::get_stretchToFit(VARIANT_BOOL* out) {
    return getFlag(stretch, out);
}
HRESULT PlayerControl::put_stretchToFit(VARIANT_BOOL value) {
    stretch = value;
    return S_OK;
}
HRESULT PlayerControl::get_windowlessVideo(VARIANT_BOOL* out) {
    return getFlag(windowless, out);
}
HRESULT PlayerControl::put_windowlessVideo(VARIANT_BOOL value) {
    windowless = value;
    return S_OK;
}

HRESULT PlayerControl::get_isRemote(VARIANT_BOOL* out) {
    return getFlag(remote ? VARIANT_TRUE : VARIANT_FALSE, out);
}

HRESULT PlayerControl::get_playerApplication(IWMPPlayerApplication** out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = nullptr;
    if (!remote) {
        return E_UNEXPECTED;
    }
    *out = newPlayerApplication(this);
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT PlayerControl::openPlayer(BSTR url) {
    if (!remote) {
        return E_UNEXPECTED;
    }
    std::string path = plat::utf8FromBstr(url);
    if (!path.empty() && !remote->ask(RemoteRequest::open({path}))) {
        return E_FAIL;
    }
    return remote->ask(RemoteRequest::foreground()) ? S_OK : E_FAIL;
}
