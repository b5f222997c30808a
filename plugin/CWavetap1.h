// The visualization plug-in's one class. On every windowed render it copies the player's
// spectrum and the current title into the shared music block, then draws its spectrum figure
// and instructions; a click on "Click Here" starts the game.
//
// The implementation is split by concern: CWavetap1.cpp (COM identity, properties, the
// player's calls), CWavetap1Render.cpp (the figure and the text), CWavetap1Launch.cpp (mouse
// handling of the hot area and the start of the game).
#pragma once

#include "platform/com/ComModule.h"
#include "platform/media/Effects.h"
#include "platform/window/Cursor.h"
#include "plugin/IWavetap1.h"

using COLORREF = DWORD;

class CWavetap1 final : public plat::ComRefCount, public IWavetap1, public IWMPEffects2 {
  public:
    static constexpr int kTitleBytes = 200;
    static constexpr int kTitleChars = 198;

    CWavetap1();
    ~CWavetap1() override;

    // IUnknown (both tables)
    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;

    // IDispatch
    HRESULT GetTypeInfoCount(UINT* count) override;
    HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                          DISPID* ids) override;
    HRESULT Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                   VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

    // IWavetap1
    HRESULT get_foregroundColor(BSTR* colour) override;
    HRESULT put_foregroundColor(BSTR colour) override;

    // IWMPEffects
    HRESULT Render(TimedLevel* levels, HDC dc, RECT* rect) override;
    HRESULT MediaInfo(LONG channelCount, LONG sampleRate, BSTR title) override;
    HRESULT GetCapabilities(DWORD* capabilities) override;
    HRESULT GetTitle(BSTR* title) override;
    HRESULT GetPresetTitle(LONG preset, BSTR* title) override;
    HRESULT GetPresetCount(LONG* count) override;
    HRESULT SetCurrentPreset(LONG preset) override;
    HRESULT GetCurrentPreset(LONG* preset) override;
    HRESULT DisplayPropertyPage(HWND owner) override;
    HRESULT GoFullscreen(BOOL fullScreen) override;
    HRESULT RenderFullScreen(TimedLevel* levels) override;

    // IWMPEffects2
    HRESULT SetCore(IWMPCore* core) override;
    HRESULT Create(HWND parent) override;
    HRESULT Destroy() override;
    HRESULT NotifyNewMedia(IWMPMedia* media) override;
    HRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    HRESULT RenderWindowed(TimedLevel* levels, BOOL requiredRender) override;

  private:
    void drawFigure(HDC dc, const TimedLevel& levels, const RECT& rect);
    void drawText(HDC dc);
    void launchGame();

    COLORREF foregroundColor = 0x000000FF;
    LONG currentPreset = 0;
    char title[kTitleBytes] = {};
    HWND window = nullptr;
    IWMPCore* core = nullptr;
    bool hotAreaCaptured = false;
    HCURSOR savedCursor = nullptr;
    HCURSOR handCursor = nullptr;
};
