// The plug-in's own dual interface and its identifiers (class Wavetap1, type library
// WAVETAP1Lib 1.0). The slot order is frozen.
#pragma once

#include "platform/com/Unknown.h"

struct IWavetap1 : IDispatch {
    // A new string "#RRGGBB" in upper-case hexadecimal; the caller frees it.
    virtual HRESULT get_foregroundColor(BSTR* colour) = 0;
    // Seven characters: any first character, then six hexadecimal digits RRGGBB.
    virtual HRESULT put_foregroundColor(BSTR colour) = 0;

  protected:
    ~IWavetap1() = default;
};

constexpr CLSID CLSID_Wavetap1 = plat::guid("{F0B862AC-CEA2-4980-802F-C63FCB03F074}");
constexpr IID IID_IWavetap1 = plat::guid("{A32D849B-C320-4E63-9B86-12719C6910A9}");
constexpr GUID LIBID_WAVETAP1Lib = plat::guid("{92F4E648-D6A1-49D0-BDDB-E0D888C07514}");

// Dispatch id of the foregroundColor property.
constexpr DISPID DISPID_foregroundColor = 1;
