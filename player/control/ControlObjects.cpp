#include "player/control/ControlObjects.h"

#include "player/control/PlayerControl.h"

#include <new>

namespace {

// QueryInterface for an object with one interface table over IDispatch.
template <class Interface>
HRESULT answer(Interface* self, REFIID riid, const IID& own, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == own) {
        *object = self;
        self->AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

// The full player: switching to it brings tcplayer's window forward.
class PlayerApplication final : public plat::ComRefCount, public NoDispatch<IWMPPlayerApplication> {
  public:
    explicit PlayerApplication(PlayerControl* c) : ComRefCount(controlModule()), control(c) {
        control->AddRef();
    }
    ~PlayerApplication() override { control->Release(); }
    HRESULT QueryInterface(REFIID riid, void** object) override {
        return answer<IWMPPlayerApplication>(this, riid, IID_IWMPPlayerApplication, object);
    }
    ULONG AddRef() override { return addRef(); }
    ULONG Release() override { return release(); }

    HRESULT switchToPlayerApplication() override {
        PlayerLink* link = control->link();
        if (link == nullptr) {
            return E_UNEXPECTED;
        }
        return link->ask(RemoteRequest::foreground()) ? S_OK : E_FAIL;
    }
    HRESULT switchToControl() override { return E_NOTIMPL; }
    HRESULT get_playerDocked(VARIANT_BOOL* docked) override {
        if (docked == nullptr) {
            return E_POINTER;
        }
        *docked = control->link() ? VARIANT_FALSE : VARIANT_TRUE;
        return S_OK;
    }
    HRESULT get_hasDisplay(VARIANT_BOOL* hasDisplay) override {
        if (hasDisplay == nullptr) {
            return E_POINTER;
        }
        *hasDisplay = control->link() ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }

  private:
    PlayerControl* control;
};

// tcplayer keeps no media library: the collections exist and hold nothing to ask for.
class MediaCollection final : public plat::ComRefCount, public NoDispatch<IWMPMediaCollection> {
  public:
    MediaCollection() : ComRefCount(controlModule()) {}
    HRESULT QueryInterface(REFIID riid, void** object) override {
        return answer<IWMPMediaCollection>(this, riid, IID_IWMPMediaCollection, object);
    }
    ULONG AddRef() override { return addRef(); }
    ULONG Release() override { return release(); }
    HRESULT add(BSTR, IWMPMedia** item) override { return none(item); }
    HRESULT getAll(IWMPPlaylist** all) override { return none(all); }
    HRESULT getByName(BSTR, IWMPPlaylist** found) override { return none(found); }

  private:
    template <class T> static HRESULT none(T** out) {
        if (out == nullptr) {
            return E_POINTER;
        }
        *out = nullptr;
        return E_NOTIMPL;
    }
};

class PlaylistCollection final : public plat::ComRefCount,
                                 public NoDispatch<IWMPPlaylistCollection> {
  public:
    PlaylistCollection() : ComRefCount(controlModule()) {}
    HRESULT QueryInterface(REFIID riid, void** object) override {
        return answer<IWMPPlaylistCollection>(this, riid, IID_IWMPPlaylistCollection, object);
    }
    ULONG AddRef() override { return addRef(); }
    ULONG Release() override { return release(); }
    HRESULT newPlaylist(BSTR, IWMPPlaylist** playlist) override { return none(playlist); }
    HRESULT getAll(IDispatch** all) override { return none(all); }
    HRESULT getByName(BSTR, IDispatch** found) override { return none(found); }

  private:
    template <class T> static HRESULT none(T** out) {
        if (out == nullptr) {
            return E_POINTER;
        }
        *out = nullptr;
        return E_NOTIMPL;
    }
};

template <class T, class Interface, class... Args> Interface* make(Args... args) {
    T* object = new (std::nothrow) T(args...);
    if (object != nullptr) {
        object->AddRef();
    }
    return object;
}

} // namespace

IWMPPlayerApplication* newPlayerApplication(PlayerControl* control) {
    return make<PlayerApplication, IWMPPlayerApplication>(control);
}

IWMPMediaCollection* newMediaCollection() {
    return make<MediaCollection, IWMPMediaCollection>();
}

IWMPPlaylistCollection* newPlaylistCollection() {
    return make<PlaylistCollection, IWMPPlaylistCollection>();
}
