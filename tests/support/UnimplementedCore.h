// A base for test doubles of the player's core or control: IDispatch and every IWMPCore
// method answer E_NOTIMPL, so a double writes only the calls its test cares about.
#pragma once

#include "platform/media/Core.h"

namespace testsupport {

template <class Interface> struct UnimplementedCore : Interface {
    HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT close() override { return E_NOTIMPL; }
    HRESULT get_URL(BSTR*) override { return E_NOTIMPL; }
    HRESULT put_URL(BSTR) override { return E_NOTIMPL; }
    HRESULT get_openState(WMPOpenState*) override { return E_NOTIMPL; }
    HRESULT get_playState(WMPPlayState*) override { return E_NOTIMPL; }
    HRESULT get_controls(IWMPControls**) override { return E_NOTIMPL; }
    HRESULT get_settings(IWMPSettings**) override { return E_NOTIMPL; }
    HRESULT get_currentMedia(IWMPMedia**) override { return E_NOTIMPL; }
    HRESULT put_currentMedia(IWMPMedia*) override { return E_NOTIMPL; }
    HRESULT get_mediaCollection(IWMPMediaCollection**) override { return E_NOTIMPL; }
    HRESULT get_playlistCollection(IWMPPlaylistCollection**) override { return E_NOTIMPL; }
    HRESULT get_versionInfo(BSTR*) override { return E_NOTIMPL; }
    HRESULT launchURL(BSTR) override { return E_NOTIMPL; }
    HRESULT get_network(IWMPNetwork**) override { return E_NOTIMPL; }
    HRESULT get_currentPlaylist(IWMPPlaylist**) override { return E_NOTIMPL; }
    HRESULT put_currentPlaylist(IWMPPlaylist*) override { return E_NOTIMPL; }
    HRESULT get_cdromCollection(IWMPCdromCollection**) override { return E_NOTIMPL; }
    HRESULT get_closedCaption(IWMPClosedCaption**) override { return E_NOTIMPL; }
    HRESULT get_isOnline(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT get_error(IWMPError**) override { return E_NOTIMPL; }
    HRESULT get_status(BSTR*) override { return E_NOTIMPL; }
};

} // namespace testsupport
