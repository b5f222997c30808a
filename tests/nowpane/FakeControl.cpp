#include "tests/nowpane/FakeControl.h"

namespace {

using Step = FakeControl::Step;

// A collection or the player application: exists, counts, answers nothing else.
template <class Interface> class FakeDispatch : public FakeObject, public Interface {
  public:
    explicit FakeDispatch(CallLog& log) : FakeObject(log) {}
    HRESULT QueryInterface(REFIID riid, void** object) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return addRef(); }
    ULONG Release() override { return release(); }
    HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
};

class FakeMedia final : public FakeDispatch<IWMPMediaCollection> {
  public:
    using FakeDispatch::FakeDispatch;
    HRESULT add(BSTR, IWMPMedia**) override { return E_NOTIMPL; }
    HRESULT getAll(IWMPPlaylist**) override { return E_NOTIMPL; }
    HRESULT getByName(BSTR, IWMPPlaylist**) override { return E_NOTIMPL; }
};

class FakePlaylists final : public FakeDispatch<IWMPPlaylistCollection> {
  public:
    using FakeDispatch::FakeDispatch;
    HRESULT newPlaylist(BSTR, IWMPPlaylist**) override { return E_NOTIMPL; }
    HRESULT getAll(IDispatch**) override { return E_NOTIMPL; }
    HRESULT getByName(BSTR, IDispatch**) override { return E_NOTIMPL; }
};

class FakeApplication final : public FakeDispatch<IWMPPlayerApplication> {
  public:
    FakeApplication(FakeControl::Plan p, CallLog& log) : FakeDispatch(log), plan(p) {}
    HRESULT switchToPlayerApplication() override {
        log.steps.push_back(Step::SwitchToPlayerApplication);
        return plan.fails(Step::SwitchToPlayerApplication) ? E_FAIL : S_OK;
    }
    HRESULT switchToControl() override { return E_NOTIMPL; }
    HRESULT get_playerDocked(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT get_hasDisplay(VARIANT_BOOL*) override { return E_NOTIMPL; }

  private:
    FakeControl::Plan plan;
};

} // namespace

std::vector<Step> FakeControl::stepsUpTo(Step failing) {
    std::vector<Step> steps;
    int last = int(failing);
    for (int s = int(Step::CreateHostWindow); s <= int(Step::PlaylistCollection) && s <= last;
         ++s) {
        steps.push_back(Step(s));
    }
    if (failing > Step::QueryControl) {
        for (int s = int(Step::PlayerServices); s <= int(Step::SwitchToPlayerApplication) &&
                                                (s <= last || last < int(Step::PlayerServices));
             ++s) {
            steps.push_back(Step(s));
        }
    }
    return steps;
}

FakeHost::FakeHost(FakeControl::Plan p, CallLog& log) : FakeObject(log), plan(p) {}

FakeHost::~FakeHost() {
    if (control) {
        control->Release();
    }
    if (site) {
        site->Release();
    }
}

HRESULT FakeHost::QueryInterface(REFIID riid, void** object) {
    *object = nullptr;
    if (riid == IID_IObjectWithSite) {
        log.steps.push_back(Step::HostSiteInterface);
        if (plan.fails(Step::HostSiteInterface)) {
            return E_NOINTERFACE;
        }
        *object = static_cast<IObjectWithSite*>(this);
    } else if (riid == IID_IUnknown || riid == IID_IAxWinHostWindow) {
        *object = static_cast<IAxWinHostWindow*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT FakeHost::SetSite(IUnknown* s) {
    log.steps.push_back(Step::SetSite);
    if (plan.fails(Step::SetSite)) {
        return E_FAIL;
    }
    // The site must be the remote host object.
    IWMPRemoteMediaServices* services = nullptr;
    if (FAILED(
            s->QueryInterface(IID_IWMPRemoteMediaServices, reinterpret_cast<void**>(&services)))) {
        return E_INVALIDARG;
    }
    services->Release();
    s->AddRef();
    site = s;
    return S_OK;
}

HRESULT FakeHost::CreateControl(LPCOLESTR classId) {
    log.steps.push_back(Step::CreateControl);
    CLSID clsid;
    if (plan.fails(Step::CreateControl) || FAILED(CLSIDFromString(classId, &clsid)) ||
        clsid != CLSID_WindowsMediaPlayer) {
        return REGDB_E_CLASSNOTREG;
    }
    control = new FakePlayer4(plan, log);
    return S_OK;
}

HRESULT FakeHost::QueryControl(REFIID riid, void** object) {
    log.steps.push_back(Step::QueryControl);
    *object = nullptr;
    if (plan.fails(Step::QueryControl) || control == nullptr) {
        return E_NOINTERFACE;
    }
    return control->QueryInterface(riid, object);
}

HRESULT FakePlayer4::QueryInterface(REFIID riid, void** object) {
    *object = nullptr;
    if (riid == IID_IWMPPlayerServices) {
        log.steps.push_back(Step::PlayerServices);
        if (plan.fails(Step::PlayerServices)) {
            return E_NOINTERFACE;
        }
        *object = static_cast<IWMPPlayerServices*>(this);
    } else if (riid == IID_IUnknown || riid == IID_IWMPPlayer4) {
        *object = static_cast<IWMPPlayer4*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT FakePlayer4::get_isRemote(VARIANT_BOOL* remote) {
    log.steps.push_back(Step::IsRemote);
    if (plan.fails(Step::IsRemote)) {
        return E_FAIL;
    }
    *remote = plan.remote ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT FakePlayer4::get_mediaCollection(IWMPMediaCollection** out) {
    log.steps.push_back(Step::MediaCollection);
    *out = plan.fails(Step::MediaCollection) ? nullptr : new FakeMedia(log);
    return *out ? S_OK : E_FAIL;
}

HRESULT FakePlayer4::get_playlistCollection(IWMPPlaylistCollection** out) {
    log.steps.push_back(Step::PlaylistCollection);
    *out = plan.fails(Step::PlaylistCollection) ? nullptr : new FakePlaylists(log);
    return *out ? S_OK : E_FAIL;
}

HRESULT FakePlayer4::get_playerApplication(IWMPPlayerApplication** out) {
    log.steps.push_back(Step::PlayerApplication);
    *out = plan.fails(Step::PlayerApplication) ? nullptr : new FakeApplication(plan, log);
    return *out ? S_OK : E_FAIL;
}

HRESULT FakePlayer4::setTaskPane(BSTR pane) {
    log.steps.push_back(Step::SetTaskPane);
    log.pane = plat::utf8FromBstr(pane);
    return plan.fails(Step::SetTaskPane) ? E_FAIL : S_OK;
}
