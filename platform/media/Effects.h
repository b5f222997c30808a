// The interfaces of a visualization ("effect") plug-in, in the player's slot order, which must
// not change. The player instantiates the plug-in by class id, then calls SetCore, Create with
// its window, MediaInfo when an item opens, RenderWindowed for every frame (about 30 to 60 a
// second) while shown in that window, OnWindowMessage for the window's messages, Destroy when
// the window goes, and finally Release.
#pragma once

#include "platform/media/Core.h"
#include "platform/media/TimedLevel.h"

// GetCapabilities flags.
constexpr DWORD EFFECT_CANGOFULLSCREEN = 0x00000001;
constexpr DWORD EFFECT_HASPROPERTYPAGE = 0x00000002;
constexpr DWORD EFFECT_VARIABLEFREQSTEP = 0x00000004;
constexpr DWORD EFFECT_WINDOWEDONLY = 0x00000008;
constexpr DWORD EFFECT2_FULLSCREENEXCLUSIVE = 0x00000010;

struct IWMPEffects : IUnknown {
    // Draws one frame into rect of the device context.
    virtual HRESULT Render(TimedLevel* levels, HDC dc, RECT* rect) = 0;
    // Called when an item opens.
    virtual HRESULT MediaInfo(LONG channelCount, LONG sampleRate, BSTR title) = 0;
    virtual HRESULT GetCapabilities(DWORD* capabilities) = 0;
    // The caller frees the strings returned.
    virtual HRESULT GetTitle(BSTR* title) = 0;
    virtual HRESULT GetPresetTitle(LONG preset, BSTR* title) = 0;
    virtual HRESULT GetPresetCount(LONG* count) = 0;
    virtual HRESULT SetCurrentPreset(LONG preset) = 0;
    virtual HRESULT GetCurrentPreset(LONG* preset) = 0;
    virtual HRESULT DisplayPropertyPage(HWND owner) = 0;
    virtual HRESULT GoFullscreen(BOOL fullScreen) = 0;
    virtual HRESULT RenderFullScreen(TimedLevel* levels) = 0;

  protected:
    ~IWMPEffects() = default;
};

struct IWMPEffects2 : IWMPEffects {
    // core may be null (the player lets go of it); the plug-in holds a reference while it
    // keeps it.
    virtual HRESULT SetCore(IWMPCore* core) = 0;
    // The window the plug-in draws into from RenderWindowed.
    virtual HRESULT Create(HWND parent) = 0;
    virtual HRESULT Destroy() = 0;
    virtual HRESULT NotifyNewMedia(IWMPMedia* media) = 0;
    // S_OK with *result set when the plug-in handled the message alone; S_FALSE lets the
    // player handle it too.
    virtual HRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                    LRESULT* result) = 0;
    // Draws one frame into the window given to Create.
    virtual HRESULT RenderWindowed(TimedLevel* levels, BOOL requiredRender) = 0;

  protected:
    ~IWMPEffects2() = default;
};

constexpr IID IID_IWMPEffects = plat::guid("{D3984C13-C3CB-48E2-8BE5-5168340B4F35}");
constexpr IID IID_IWMPEffects2 = plat::guid("{695386EC-AA3C-4618-A5E1-DD9A8B987632}");

// Where the player finds its visualizations: one subkey per plug-in under this key of
// HKEY_LOCAL_MACHINE, each with a "Properties" subkey holding "classid" (the class id text),
// "name" and "description".
constexpr const char* kEffectsRegistryKey = "SOFTWARE\\Microsoft\\MediaPlayer\\Objects\\Effects";
// Registered window message broadcast after a plug-in is registered or unregistered.
constexpr const char* kPluginAddRemoveMessage = "WMPlayer_PluginAddRemove";
