// The control host: the object behind the child window that holds an ActiveX control. It
// creates the control by class id, gives it a site through which the control's service
// requests reach the site the program gave the host, and hands out the control's interfaces.
#pragma once

#include "platform/com/ObjectWithSite.h"

#include <atomic>

struct IAxWinHostWindow : IUnknown {
    // Creates the control of the class named by its text id ("{6BF52A52-...}") and sites it.
    // The control's failure to accept the site is the creation's failure.
    virtual HRESULT CreateControl(LPCOLESTR classId) = 0;
    // The hosted control's interface riid; E_UNEXPECTED before a control exists.
    virtual HRESULT QueryControl(REFIID riid, void** object) = 0;

  protected:
    ~IAxWinHostWindow() = default;
};

// Answers a service request through site: its own QueryService when it is a service provider,
// else its QueryInterface. E_NOINTERFACE without a site.
HRESULT forwardService(IUnknown* site, REFGUID service, REFIID riid, void** object);

constexpr IID IID_IAxWinHostWindow = plat::guid("{B6EA2050-048A-11D1-82B9-00C04FB9942E}");

class CAxHostWindow final : public IAxWinHostWindow,
                            public IObjectWithSite,
                            public IServiceProvider {
  public:
    // A new host with one reference, covering rect (client pixels of its parent).
    static CAxHostWindow* create(const RECT& rect);

    const RECT& rect() const { return area; }

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT CreateControl(LPCOLESTR classId) override;
    HRESULT QueryControl(REFIID riid, void** object) override;

    HRESULT SetSite(IUnknown* site) override;
    HRESULT GetSite(REFIID riid, void** site) override;

    // Forwards to the site's own services, else answers from the site's QueryInterface.
    HRESULT QueryService(REFGUID service, REFIID riid, void** object) override;

  private:
    explicit CAxHostWindow(const RECT& r) : area(r) {}
    ~CAxHostWindow();

    RECT area;
    std::atomic<ULONG> count{0};
    IUnknown* site = nullptr;
    IUnknown* control = nullptr;
};
