#include "nowpane/MainDlg.h"

#include "nowpane/RemoteHost.h"
#include "nowpane/Resources.h"
#include "platform/com/Com.h"

namespace {

template <class T> void release(T*& p) {
    if (p != nullptr) {
        p->Release();
        p = nullptr;
    }
}

} // namespace

void CMainDlg::onInitDialog(DialogFrame& frame) {
    // 1. The placeholder's rectangle, in the dialog's client coordinates.
    RECT rect{};
    HRESULT hr = frame.controlRect(nowpane::IDC_PLAYER_PLACEHOLDER, &rect) ? S_OK : E_FAIL;
    // 2. The host window over it.
    if (SUCCEEDED(hr)) {
        host = frame.createHostWindow(rect);
        hr = host != nullptr ? S_OK : E_FAIL;
    }
    // 3. Remote mode: the remote host object becomes the host's site.
    if (SUCCEEDED(hr) && remote) {
        IObjectWithSite* sited = nullptr;
        hr = host->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(&sited));
        if (SUCCEEDED(hr)) {
            CRemoteHost* remoteHost = CRemoteHost::create();
            hr = remoteHost != nullptr ? sited->SetSite(static_cast<IServiceProvider*>(remoteHost))
                                       : E_OUTOFMEMORY;
            release(remoteHost);
            sited->Release();
        }
    }
    // 4. The player control, and its player interface.
    if (SUCCEEDED(hr)) {
        hr = created = host->CreateControl(u"{6BF52A52-394A-11d3-B153-00C04F79FAA6}");
    }
    if (SUCCEEDED(hr)) {
        hr = host->QueryControl(IID_IWMPPlayer4, reinterpret_cast<void**>(&wmp));
    }
    // 5. "Go To Media Library" only for a remote player.
    if (SUCCEEDED(hr)) {
        VARIANT_BOOL isRemote = VARIANT_FALSE;
        hr = wmp->get_isRemote(&isRemote);
        frame.enableControl(nowpane::IDC_GOTO_LIBRARY, SUCCEEDED(hr) && isRemote != VARIANT_FALSE);
    }
    // 6. The collections, kept while the dialog lives.
    if (SUCCEEDED(hr)) {
        hr = wmp->get_mediaCollection(&media);
    }
    if (SUCCEEDED(hr)) {
        hr = wmp->get_playlistCollection(&playlists);
    }
    chain = hr;
    // 7 and 8, whatever happened above.
    showNowPlaying();
    frame.postQuit();
}

std::string CMainDlg::controlProblem() const {
    if (SUCCEEDED(created) || created == E_UNEXPECTED) {
        return ""; // created, or never tried
    }
    // A control whose class object is there failed for a reason of its own (no player).
    IClassFactory* factory = nullptr;
    if (SUCCEEDED(CoGetClassObject(CLSID_WindowsMediaPlayer, CLSCTX_INPROC_SERVER, nullptr,
                                   IID_IClassFactory, reinterpret_cast<void**>(&factory)))) {
        factory->Release();
        return "";
    }
    std::string library;
    if (FAILED(plat::classServerPath(CLSID_WindowsMediaPlayer, &library)) || library.empty()) {
        return "The player control is not registered, so NowPane cannot reach tcplayer.\n"
               "Start tcplayer once (it registers its control), or register tcplayerctl.so "
               "with regsvr32.";
    }
    return "The player control cannot be created: its registered library " + library +
           " does not load as a player control, so NowPane cannot reach tcplayer.\n"
           "Start tcplayer once (it repairs the registration), or register tcplayerctl.so "
           "with regsvr32.";
}

HRESULT CMainDlg::showNowPlaying() {
    if (wmp == nullptr) {
        return E_UNEXPECTED;
    }
    IWMPPlayerServices* services = nullptr;
    HRESULT hr = wmp->QueryInterface(IID_IWMPPlayerServices, reinterpret_cast<void**>(&services));
    if (SUCCEEDED(hr)) {
        BSTR pane = plat::bstrFromUtf8("NowPlaying");
        hr = services->setTaskPane(pane);
        SysFreeString(pane);
        services->Release();
    }
    IWMPPlayerApplication* application = nullptr;
    if (SUCCEEDED(hr)) {
        hr = wmp->get_playerApplication(&application);
    }
    if (SUCCEEDED(hr) && application != nullptr) {
        hr = application->switchToPlayerApplication();
    }
    release(application);
    return hr;
}

void CMainDlg::onCommand(DialogFrame& frame, int id) {
    switch (id) {
    case nowpane::IDOK:
    case nowpane::IDCANCEL:
        frame.endDialog(id);
        break;
    case nowpane::IDC_GOTO_LIBRARY:
        showNowPlaying();
        break;
    case nowpane::ID_APP_EXIT_QUIT:
        frame.postQuit();
        break;
    default:
        break;
    }
}

void CMainDlg::onDestroy() {
    release(playlists);
    release(media);
    release(wmp);
    release(host);
}
