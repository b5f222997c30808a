// A minimal in-process server for the COM runtime's tests, built as its own shared library.
#include "tests/platform/com/FakeServer.h"

#include "platform/com/ComModule.h"

namespace {

plat::ComModule module;

class FakeCounter final : public plat::ComRefCount, public IFakeCounter {
  public:
    FakeCounter() : ComRefCount(module) {}
    HRESULT QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (riid == IID_IUnknown || riid == IID_IFakeCounter) {
            *object = static_cast<IFakeCounter*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return addRef(); }
    ULONG Release() override { return release(); }
    HRESULT Increment(LONG* value) override {
        if (value == nullptr) {
            return E_POINTER;
        }
        *value = ++count;
        return S_OK;
    }

  private:
    LONG count = 0;
};

plat::ComClassFactory<FakeCounter> factory(module);

} // namespace

extern "C" __attribute__((visibility("default"))) HRESULT
DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (clsid != CLSID_FakeCounter) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return factory.QueryInterface(riid, object);
}

extern "C" __attribute__((visibility("default"))) HRESULT DllCanUnloadNow() {
    return module.canUnloadNow();
}

extern "C" __attribute__((visibility("default"))) long FakeLockCount() {
    return module.lockCount();
}
