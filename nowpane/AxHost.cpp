#include "nowpane/AxHost.h"

#include "platform/com/Com.h"

#include <new>

namespace {

// The site the control gets: it answers service requests through the site the program gave
// the host. It holds that site, not the host, so the host and its control do not keep each
// other alive.
class ControlSite final : public IServiceProvider {
  public:
    explicit ControlSite(IUnknown* outer) : outer(outer) {
        if (outer != nullptr) {
            outer->AddRef();
        }
    }
    HRESULT QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (riid == IID_IUnknown || riid == IID_IServiceProvider) {
            *object = static_cast<IServiceProvider*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++count; }
    ULONG Release() override {
        ULONG left = --count;
        if (left == 0) {
            delete this;
        }
        return left;
    }
    HRESULT QueryService(REFGUID service, REFIID riid, void** object) override {
        return forwardService(outer, service, riid, object);
    }

  private:
    ~ControlSite() {
        if (outer != nullptr) {
            outer->Release();
        }
    }
    IUnknown* outer;
    std::atomic<ULONG> count{1};
};

} // namespace

HRESULT forwardService(IUnknown* site, REFGUID service, REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (site == nullptr) {
        return E_NOINTERFACE;
    }
    IServiceProvider* provider = nullptr;
    if (SUCCEEDED(
            site->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(&provider)))) {
        HRESULT hr = provider->QueryService(service, riid, object);
        provider->Release();
        return hr;
    }
    return site->QueryInterface(riid, object);
}

CAxHostWindow* CAxHostWindow::create(const RECT& rect) {
    CAxHostWindow* host = new (std::nothrow) CAxHostWindow(rect);
    if (host != nullptr) {
        host->AddRef();
    }
    return host;
}

CAxHostWindow::~CAxHostWindow() {
    if (control != nullptr) {
        IObjectWithSite* sited = nullptr;
        if (SUCCEEDED(
                control->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(&sited)))) {
            sited->SetSite(nullptr);
            sited->Release();
        }
        control->Release();
    }
    if (site != nullptr) {
        site->Release();
    }
}

HRESULT CAxHostWindow::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IAxWinHostWindow) {
        *object = static_cast<IAxWinHostWindow*>(this);
    } else if (riid == IID_IObjectWithSite) {
        *object = static_cast<IObjectWithSite*>(this);
    } else if (riid == IID_IServiceProvider) {
        *object = static_cast<IServiceProvider*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG CAxHostWindow::AddRef() {
    return ++count;
}

ULONG CAxHostWindow::Release() {
    ULONG left = --count;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT CAxHostWindow::CreateControl(LPCOLESTR classId) {
    if (control != nullptr) {
        return E_UNEXPECTED;
    }
    CLSID clsid;
    HRESULT hr = CLSIDFromString(classId, &clsid);
    if (FAILED(hr)) {
        return hr;
    }
    IUnknown* created = nullptr;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                          reinterpret_cast<void**>(&created));
    if (FAILED(hr)) {
        return hr;
    }
    IObjectWithSite* sited = nullptr;
    if (SUCCEEDED(created->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(&sited)))) {
        ControlSite* controlSite = new (std::nothrow) ControlSite(site);
        hr = controlSite != nullptr ? sited->SetSite(controlSite) : E_OUTOFMEMORY;
        if (controlSite != nullptr) {
            controlSite->Release();
        }
        sited->Release();
        if (FAILED(hr)) {
            created->Release();
            return hr;
        }
    }
    control = created;
    return S_OK;
}

HRESULT CAxHostWindow::QueryControl(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    return control == nullptr ? E_UNEXPECTED : control->QueryInterface(riid, object);
}

HRESULT CAxHostWindow::SetSite(IUnknown* newSite) {
    if (newSite != nullptr) {
        newSite->AddRef();
    }
    if (site != nullptr) {
        site->Release();
    }
    site = newSite;
    return S_OK;
}

HRESULT CAxHostWindow::GetSite(REFIID riid, void** out) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = nullptr;
    return site == nullptr ? E_FAIL : site->QueryInterface(riid, out);
}

HRESULT CAxHostWindow::QueryService(REFGUID service, REFIID riid, void** object) {
    return forwardService(site, service, riid, object);
}
