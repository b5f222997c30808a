// The object NowPane gives the control host as its site, so that the player control runs in
// remote mode: it answers any service request with its own QueryInterface and offers the
// remote media services ("Remote", named "LibraryDesk").
#pragma once

#include "platform/com/ObjectWithSite.h"
#include "platform/media/Player.h"

#include <atomic>

class CRemoteHost final : public IServiceProvider, public IWMPRemoteMediaServices {
  public:
    // A new host object with one reference.
    static CRemoteHost* create();

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT QueryService(REFGUID service, REFIID riid, void** object) override;

    HRESULT GetServiceType(BSTR* type) override;
    HRESULT GetApplicationName(BSTR* name) override;
    HRESULT GetScriptableObject(BSTR* name, IDispatch** object) override;
    HRESULT GetCustomUIMode(BSTR* file) override;

  private:
    CRemoteHost() = default;
    ~CRemoteHost() = default;
    std::atomic<ULONG> count{0};
};
