#include "nowpane/RemoteHost.h"

#include "nowpane/Resources.h"

#include <new>

CRemoteHost* CRemoteHost::create() {
    CRemoteHost* host = new (std::nothrow) CRemoteHost();
    if (host != nullptr) {
        host->AddRef();
    }
    return host;
}

HRESULT CRemoteHost::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IServiceProvider) {
        *object = static_cast<IServiceProvider*>(this);
    } else if (riid == IID_IWMPRemoteMediaServices) {
        *object = static_cast<IWMPRemoteMediaServices*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG CRemoteHost::AddRef() {
    return ++count;
}

ULONG CRemoteHost::Release() {
    ULONG left = --count;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT CRemoteHost::QueryService(REFGUID, REFIID riid, void** object) {
    return QueryInterface(riid, object);
}

HRESULT CRemoteHost::GetServiceType(BSTR* type) {
    if (type == nullptr) {
        return E_POINTER;
    }
    *type = plat::bstrFromUtf8("Remote");
    return *type ? S_OK : E_OUTOFMEMORY;
}

HRESULT CRemoteHost::GetApplicationName(BSTR* name) {
    if (name == nullptr) {
        return E_POINTER;
    }
    const char* text = nowpane::loadString(nowpane::IDS_PROJNAME);
    *name = text ? plat::bstrFromUtf8(text) : nullptr;
    return *name ? S_OK : E_FAIL;
}

HRESULT CRemoteHost::GetScriptableObject(BSTR* name, IDispatch** object) {
    if (name != nullptr) {
        *name = nullptr;
    }
    if (object != nullptr) {
        *object = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT CRemoteHost::GetCustomUIMode(BSTR*) {
    return E_NOTIMPL;
}
