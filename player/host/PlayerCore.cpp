#include "player/host/PlayerCore.h"

namespace {
template <typename T> HRESULT none(T** out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = nullptr;
    return E_NOTIMPL;
}
} // namespace

PlayerCore::PlayerCore(std::function<WMPPlayState()> state, std::function<std::string()> url)
    : stateOf(std::move(state)), urlOf(std::move(url)) {}

HRESULT PlayerCore::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IWMPCore) {
        *object = static_cast<IWMPCore*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG PlayerCore::AddRef() {
    return ++refs;
}

ULONG PlayerCore::Release() {
    ULONG left = --refs;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT PlayerCore::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    return S_OK;
}
HRESULT PlayerCore::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    return none(info);
}
HRESULT PlayerCore::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID* ids) {
    if (ids) {
        *ids = DISPID_UNKNOWN;
    }
    return E_NOTIMPL;
}
HRESULT PlayerCore::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
}

HRESULT PlayerCore::close() {
    return E_NOTIMPL;
}
HRESULT PlayerCore::get_URL(BSTR* url) {
    if (url == nullptr) {
        return E_POINTER;
    }
    *url = plat::bstrFromUtf8(urlOf());
    return *url ? S_OK : E_OUTOFMEMORY;
}
HRESULT PlayerCore::put_URL(BSTR) {
    return E_NOTIMPL;
}
HRESULT PlayerCore::get_openState(WMPOpenState* state) {
    if (state == nullptr) {
        return E_POINTER;
    }
    *state = urlOf().empty() ? wmposPlaylistOpenNoMedia : wmposMediaOpen;
    return S_OK;
}
HRESULT PlayerCore::get_playState(WMPPlayState* state) {
    if (state == nullptr) {
        return E_POINTER;
    }
    *state = stateOf();
    return S_OK;
}
HRESULT PlayerCore::get_controls(IWMPControls** controls) {
    return none(controls);
}
HRESULT PlayerCore::get_settings(IWMPSettings** settings) {
    return none(settings);
}
HRESULT PlayerCore::get_currentMedia(IWMPMedia** media) {
    return none(media);
}
HRESULT PlayerCore::put_currentMedia(IWMPMedia*) {
    return E_NOTIMPL;
}
HRESULT PlayerCore::get_mediaCollection(IWMPMediaCollection** collection) {
    return none(collection);
}
HRESULT PlayerCore::get_playlistCollection(IWMPPlaylistCollection** collection) {
    return none(collection);
}
HRESULT PlayerCore::get_versionInfo(BSTR* version) {
    if (version == nullptr) {
        return E_POINTER;
    }
    *version = plat::bstrFromUtf8("tcplayer 1.0");
    return *version ? S_OK : E_OUTOFMEMORY;
}
HRESULT PlayerCore::launchURL(BSTR) {
    return E_NOTIMPL;
}
HRESULT PlayerCore::get_network(IWMPNetwork** network) {
    return none(network);
}
HRESULT PlayerCore::get_currentPlaylist(IWMPPlaylist** playlist) {
    return none(playlist);
}
HRESULT PlayerCore::put_currentPlaylist(IWMPPlaylist*) {
    return E_NOTIMPL;
}
HRESULT PlayerCore::get_cdromCollection(IWMPCdromCollection** collection) {
    return none(collection);
}
HRESULT PlayerCore::get_closedCaption(IWMPClosedCaption** closedCaption) {
    return none(closedCaption);
}
HRESULT PlayerCore::get_isOnline(VARIANT_BOOL* online) {
    if (online == nullptr) {
        return E_POINTER;
    }
    *online = VARIANT_FALSE;
    return S_OK;
}
HRESULT PlayerCore::get_error(IWMPError** error) {
    return none(error);
}
HRESULT PlayerCore::get_status(BSTR* status) {
    if (status == nullptr) {
        return E_POINTER;
    }
    *status = plat::bstrFromUtf8(stateOf() == wmppsPlaying ? "Playing" : "");
    return *status ? S_OK : E_OUTOFMEMORY;
}
