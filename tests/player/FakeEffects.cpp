// A visualization plug-in that records every call the player makes into the file named by
// FAKE_EFFECTS_LOG, one line a call, and fills its window with a colour made from the first
// spectrum cell, so the host's drawing path can be checked.
#include "platform/com/Com.h"
#include "platform/gdi/Gdi.h"
#include "platform/media/Effects.h"
#include "platform/window/GLContext.h"
#include "platform/window/Window.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void record(const std::string& line) {
    const char* path = std::getenv("FAKE_EFFECTS_LOG");
    if (FILE* f = path ? std::fopen(path, "a") : nullptr) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

std::atomic<int> liveObjects{0};

class FakeEffects final : public IWMPEffects2 {
  public:
    FakeEffects() { ++liveObjects; }
    HRESULT QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IWMPEffects || riid == IID_IWMPEffects2) {
            *out = static_cast<IWMPEffects2*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override {
        ULONG left = --refs;
        if (left == 0) {
            record("Release final");
            if (core) {
                core->Release();
            }
            --liveObjects;
            delete this;
        }
        return left;
    }
    HRESULT Render(TimedLevel*, HDC, RECT*) override { return S_OK; }
    HRESULT MediaInfo(LONG channels, LONG rate, BSTR title) override {
        std::string t;
        for (UINT i = 0; title && i < SysStringLen(title); ++i) {
            char hex[8];
            std::snprintf(hex, sizeof hex, title[i] < 0x80 && title[i] >= 0x20 ? "%c" : "<%X>",
                          unsigned(title[i]));
            t += hex;
        }
        record("MediaInfo " + std::to_string(channels) + " " + std::to_string(rate) + " " + t);
        return S_OK;
    }
    HRESULT GetCapabilities(DWORD* c) override {
        *c = 0;
        return S_OK;
    }
    HRESULT GetTitle(BSTR* t) override {
        *t = plat::bstrFromUtf8("Fake Picture");
        return S_OK;
    }
    HRESULT GetPresetTitle(LONG, BSTR*) override { return E_NOTIMPL; }
    HRESULT GetPresetCount(LONG* c) override {
        *c = 1;
        return S_OK;
    }
    HRESULT SetCurrentPreset(LONG) override { return S_OK; }
    HRESULT GetCurrentPreset(LONG* p) override {
        *p = 0;
        return S_OK;
    }
    HRESULT DisplayPropertyPage(HWND) override { return E_NOTIMPL; }
    HRESULT GoFullscreen(BOOL) override { return E_NOTIMPL; }
    HRESULT RenderFullScreen(TimedLevel*) override { return E_NOTIMPL; }
    HRESULT SetCore(IWMPCore* c) override {
        WMPPlayState state = wmppsUndefined;
        if (c) {
            c->get_playState(&state);
        }
        record(std::string("SetCore ") + (c ? "core state " + std::to_string(state) : "null"));
        if (core) {
            core->Release();
        }
        core = c;
        if (core) {
            core->AddRef();
        }
        return S_OK;
    }
    HRESULT Create(HWND w) override {
        window = w;
        RECT r{};
        GetClientRect(w, &r);
        record("Create " + std::to_string(r.right) + "x" + std::to_string(r.bottom));
        return S_OK;
    }
    HRESULT Destroy() override {
        record("Destroy");
        window = nullptr;
        return S_OK;
    }
    HRESULT NotifyNewMedia(IWMPMedia*) override { return S_OK; }
    HRESULT OnWindowMessage(UINT m, WPARAM w, LPARAM l, LRESULT*) override {
        record("OnWindowMessage " + std::to_string(m) + " " + std::to_string(w) + " " +
               std::to_string(LOWORD(uintptr_t(l))) + " " + std::to_string(HIWORD(uintptr_t(l))));
        return S_FALSE;
    }
    HRESULT RenderWindowed(TimedLevel* levels, BOOL) override {
        record("RenderWindowed state " + std::to_string(levels->state));
        if (!window) {
            return E_UNEXPECTED;
        }
        HDC dc = GetDC(window);
        RECT r{};
        GetClientRect(window, &r);
        HBRUSH brush = CreateSolidBrush(RGB(levels->frequency[0][0], 200, 10));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        ReleaseDC(window, dc);
        return S_OK;
    }

  private:
    ~FakeEffects() = default;
    std::atomic<ULONG> refs{1};
    IWMPCore* core = nullptr;
    HWND window = nullptr;
};

class Factory final : public IClassFactory {
  public:
    HRESULT QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
        if (outer) {
            return CLASS_E_NOAGGREGATION;
        }
        record("CreateInstance");
        auto* fx = new FakeEffects;
        HRESULT hr = fx->QueryInterface(riid, out);
        fx->Release();
        return hr;
    }
    HRESULT LockServer(BOOL) override { return S_OK; }
};

Factory factory;

} // namespace

extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(REFCLSID, REFIID riid,
                                                                            void** out) {
    return factory.QueryInterface(riid, out);
}

extern "C" __attribute__((visibility("default"))) HRESULT DllCanUnloadNow() {
    return liveObjects.load() == 0 ? S_OK : S_FALSE;
}
