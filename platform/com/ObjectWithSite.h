// How a hosted object learns about its host: the host hands it a site (IObjectWithSite), and
// the object asks the site for services by id (IServiceProvider).
#pragma once

#include "platform/com/Unknown.h"

struct IServiceProvider : IUnknown {
    // The service's interface riid; E_NOINTERFACE (and *object null) when not offered.
    virtual HRESULT QueryService(REFGUID service, REFIID riid, void** object) = 0;

  protected:
    ~IServiceProvider() = default;
};

struct IObjectWithSite : IUnknown {
    // Holds a reference to site (null: lets go of the held one).
    virtual HRESULT SetSite(IUnknown* site) = 0;
    // The held site's interface riid; E_FAIL with *site null when none is held.
    virtual HRESULT GetSite(REFIID riid, void** site) = 0;

  protected:
    ~IObjectWithSite() = default;
};

constexpr IID IID_IServiceProvider = plat::guid("{6D5140C1-7436-11CE-8034-00AA006009FA}");
constexpr IID IID_IObjectWithSite = plat::guid("{FC4801A3-2BA9-11CF-A229-00AA003D7352}");
