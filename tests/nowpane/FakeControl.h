// Test doubles for NowPane's dialog: a control host and a player control that fail at a
// chosen step, logging every step they are asked to take.
#pragma once

#include "nowpane/AxHost.h"
#include "platform/media/Player.h"
#include "tests/support/UnimplementedCore.h"

#include <string>
#include <vector>

struct CallLog;

struct FakeControl {
    // The steps in the order the dialog takes them; None never fails.
    enum class Step {
        CreateHostWindow,
        HostSiteInterface,
        SetSite,
        CreateControl,
        QueryControl,
        IsRemote,
        MediaCollection,
        PlaylistCollection,
        PlayerServices,
        SetTaskPane,
        PlayerApplication,
        SwitchToPlayerApplication,
        None,
    };
    struct Plan {
        Step failing = Step::None;
        bool remote = true;
        bool fails(Step s) const { return s == failing; }
    };
    // The steps a dialog takes when `failing` fails: the chain up to it (or whole), then the
    // now-playing view up to it (or whole) if a player interface was had.
    static std::vector<Step> stepsUpTo(Step failing);
};

struct CallLog {
    std::vector<FakeControl::Step> steps;
    std::string pane;    // what setTaskPane was given
    int liveObjects = 0; // fake objects not yet released
};

// Counted like a COM object; logs its life in the call log.
class FakeObject {
  public:
    explicit FakeObject(CallLog& l) : log(l) { ++log.liveObjects; }
    virtual ~FakeObject() { --log.liveObjects; }

  protected:
    ULONG addRef() { return ++count; }
    ULONG release() {
        ULONG left = --count;
        if (left == 0) {
            delete this;
        }
        return left;
    }
    CallLog& log;

  private:
    ULONG count = 1;
};

class FakeHost final : public FakeObject, public IAxWinHostWindow, public IObjectWithSite {
  public:
    FakeHost(FakeControl::Plan plan, CallLog& log);
    ~FakeHost() override;
    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override { return addRef(); }
    ULONG Release() override { return release(); }
    HRESULT CreateControl(LPCOLESTR classId) override;
    HRESULT QueryControl(REFIID riid, void** object) override;
    HRESULT SetSite(IUnknown* site) override;
    HRESULT GetSite(REFIID, void**) override { return E_NOTIMPL; }

  private:
    FakeControl::Plan plan;
    IUnknown* site = nullptr;
    IWMPPlayer4* control = nullptr;
};

class FakePlayer4 final : public FakeObject,
                          public testsupport::UnimplementedCore<IWMPPlayer4>,
                          public IWMPPlayerServices {
  public:
    FakePlayer4(FakeControl::Plan plan, CallLog& log) : FakeObject(log), plan(plan) {}
    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override { return addRef(); }
    ULONG Release() override { return release(); }

    HRESULT get_isRemote(VARIANT_BOOL* remote) override;
    HRESULT get_mediaCollection(IWMPMediaCollection** collection) override;
    HRESULT get_playlistCollection(IWMPPlaylistCollection** collection) override;
    HRESULT get_playerApplication(IWMPPlayerApplication** application) override;
    HRESULT setTaskPane(BSTR pane) override;
    HRESULT activateUIPlugin(BSTR) override { return E_NOTIMPL; }
    HRESULT setTaskPaneURL(BSTR, BSTR, BSTR) override { return E_NOTIMPL; }

    HRESULT get_dvd(IWMPDVD**) override { return E_NOTIMPL; }
    HRESULT newPlaylist(BSTR, BSTR, IWMPPlaylist**) override { return E_NOTIMPL; }
    HRESULT newMedia(BSTR, IWMPMedia**) override { return E_NOTIMPL; }
    HRESULT get_enabled(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT put_enabled(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT get_fullScreen(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT put_fullScreen(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT get_enableContextMenu(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT put_enableContextMenu(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT put_uiMode(BSTR) override { return E_NOTIMPL; }
    HRESULT get_uiMode(BSTR*) override { return E_NOTIMPL; }
    HRESULT get_stretchToFit(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT put_stretchToFit(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT get_windowlessVideo(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT put_windowlessVideo(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT openPlayer(BSTR) override { return E_NOTIMPL; }

  private:
    FakeControl::Plan plan;
};
