#include "plugin/CWavetap1.h"

#include "platform/com/Dispatch.h"
#include "platform/window/GLContext.h"
#include "platform/window/Window.h"
#include "plugin/WavetapModule.h"

#include <cstdio>
#include <cstring>

namespace {

BSTR stringResource(UINT id) {
    const char* text = wavetap::loadString(id);
    if (text == nullptr || *text == '\0') {
        return nullptr;
    }
    OLECHAR wide[256];
    size_t n = 0;
    for (; text[n] != '\0' && n < 255; ++n) {
        wide[n] = static_cast<unsigned char>(text[n]);
    }
    return SysAllocStringLen(wide, static_cast<UINT>(n));
}

// Exchanges the red and blue bytes: 0x00BBGGRR <-> 0x00RRGGBB.
DWORD swapRedBlue(DWORD c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

bool isHexDigit(OLECHAR c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

unsigned hexValue(OLECHAR c) {
    return c <= u'9' ? c - u'0' : (c | 0x20) - u'a' + 10;
}

const plat::DispatchMember kDispatchMembers[] = {
    {u"foregroundColor", DISPID_foregroundColor,
     [](void* o, VARIANT* result) {
         BSTR value = nullptr;
         HRESULT hr = static_cast<CWavetap1*>(o)->get_foregroundColor(&value);
         if (SUCCEEDED(hr)) {
             result->vt = VT_BSTR;
             result->bstrVal = value;
         }
         return hr;
     },
     [](void* o, const VARIANT& value) {
         if (value.vt != VT_BSTR) {
             return DISP_E_TYPEMISMATCH;
         }
         return static_cast<CWavetap1*>(o)->put_foregroundColor(value.bstrVal);
     },
     nullptr},
};

} // namespace

CWavetap1::CWavetap1() : ComRefCount(wavetap::module()) {
    wavetap::musicBlock().Create();
}

CWavetap1::~CWavetap1() {
    if (core != nullptr) {
        core->Release();
        core = nullptr;
    }
}

// ---- IUnknown

HRESULT CWavetap1::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IWavetap1 || riid == IID_IDispatch) {
        *object = static_cast<IWavetap1*>(this);
    } else if (riid == IID_IWMPEffects || riid == IID_IWMPEffects2) {
        *object = static_cast<IWMPEffects2*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG CWavetap1::AddRef() {
    return addRef();
}

ULONG CWavetap1::Release() {
    return release();
}

// ---- IDispatch: late binding of the one property; no type information objects are offered.

HRESULT CWavetap1::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    return S_OK;
}

HRESULT CWavetap1::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info == nullptr) {
        return E_POINTER;
    }
    *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT CWavetap1::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (riid != IID_NULL) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    return plat::dispatchIdsOfNames(kDispatchMembers, 1, names, count, ids);
}

HRESULT CWavetap1::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                          VARIANT* result, EXCEPINFO*, UINT*) {
    if (riid != IID_NULL) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    return plat::dispatchInvoke(kDispatchMembers, 1, this, id, flags, params, result);
}

// ---- IWavetap1

HRESULT CWavetap1::get_foregroundColor(BSTR* colour) {
    if (colour == nullptr) {
        return E_POINTER;
    }
    char text[16];
    std::snprintf(text, sizeof text, "#%06X",
                  static_cast<unsigned>(swapRedBlue(foregroundColor) & 0xFFFFFF));
    OLECHAR wide[8];
    for (int i = 0; i < 7; ++i) {
        wide[i] = static_cast<OLECHAR>(text[i]);
    }
    *colour = SysAllocStringLen(wide, 7);
    return *colour != nullptr ? S_OK : E_FAIL;
}

HRESULT CWavetap1::put_foregroundColor(BSTR colour) {
    if (colour == nullptr) {
        return E_POINTER;
    }
    // The first character is not examined: "#00FF80" and "x00FF80" are the same colour.
    if (SysStringLen(colour) != 7) {
        return E_INVALIDARG;
    }
    DWORD rgb = 0;
    for (int i = 1; i < 7; ++i) {
        if (!isHexDigit(colour[i])) {
            return E_INVALIDARG;
        }
        rgb = rgb * 16 + hexValue(colour[i]);
    }
    foregroundColor = swapRedBlue(rgb);
    return S_OK;
}

// ---- IWMPEffects

HRESULT CWavetap1::MediaInfo(LONG, LONG, BSTR text) {
    // The low byte of each UTF-16 unit, up to the NUL or the 198th character.
    int n = 0;
    UINT length = SysStringLen(text);
    for (; static_cast<UINT>(n) < length && n < kTitleChars && text[n] != 0; ++n) {
        title[n] = static_cast<char>(text[n] & 0xFF);
    }
    title[n] = '\0';
    return S_OK;
}

HRESULT CWavetap1::GetCapabilities(DWORD* capabilities) {
    if (capabilities == nullptr) {
        return E_POINTER;
    }
    *capabilities = 0;
    return S_OK;
}

HRESULT CWavetap1::GetTitle(BSTR* text) {
    if (text == nullptr) {
        return E_POINTER;
    }
    *text = stringResource(101);
    return *text != nullptr ? S_OK : E_FAIL;
}

HRESULT CWavetap1::GetPresetTitle(LONG preset, BSTR* text) {
    if (text == nullptr) {
        return E_POINTER;
    }
    if (preset != 0) {
        return E_INVALIDARG;
    }
    *text = stringResource(102);
    return *text != nullptr ? S_OK : E_FAIL;
}

HRESULT CWavetap1::GetPresetCount(LONG* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 1;
    return S_OK;
}

HRESULT CWavetap1::SetCurrentPreset(LONG preset) {
    if (preset < 0 || preset >= 1) {
        return E_INVALIDARG;
    }
    currentPreset = preset;
    return S_OK;
}

HRESULT CWavetap1::GetCurrentPreset(LONG* preset) {
    if (preset == nullptr) {
        return E_POINTER;
    }
    *preset = currentPreset;
    return S_OK;
}

HRESULT CWavetap1::DisplayPropertyPage(HWND) {
    return E_NOTIMPL;
}

HRESULT CWavetap1::GoFullscreen(BOOL) {
    return E_NOTIMPL;
}

HRESULT CWavetap1::RenderFullScreen(TimedLevel*) {
    return E_NOTIMPL;
}

// ---- IWMPEffects2

HRESULT CWavetap1::SetCore(IWMPCore* newCore) {
    if (core != nullptr) {
        core->Release();
    }
    core = newCore;
    if (core != nullptr) {
        core->AddRef();
    }
    return S_OK;
}

HRESULT CWavetap1::Create(HWND parent) {
    window = parent;
    return S_OK;
}

HRESULT CWavetap1::Destroy() {
    window = nullptr;
    return S_OK;
}

HRESULT CWavetap1::NotifyNewMedia(IWMPMedia*) {
    return S_OK;
}

HRESULT CWavetap1::RenderWindowed(TimedLevel* levels, BOOL) {
    // The block is written on every call, first of all, whatever else happens; without a
    // level record from the player it gets silence.
    static const TimedLevel silence{};
    wavetap::musicBlock().Write(levels != nullptr ? levels : &silence, title);
    if (window == nullptr) {
        return E_UNEXPECTED;
    }
    HDC dc = GetDC(window);
    if (dc == nullptr) {
        return E_FAIL;
    }
    RECT client{0, 0, 0, 0};
    if (!GetClientRect(window, &client)) {
        ReleaseDC(window, dc);
        return E_FAIL;
    }
    static_cast<IWMPEffects2*>(this)->Render(levels, dc, &client);
    ReleaseDC(window, dc);
    return S_OK;
}
