// Building blocks of an in-process server library, compiled into the library itself (each
// library has its own counts):
//   ComModule          counts live objects and server locks; DllCanUnloadNow asks it.
//   ComRefCount        the reference count of an object, which holds the module while alive.
//   ComClassFactory<T> the class object that DllGetClassObject hands out for class T.
// T must be default-constructible, derive from ComRefCount and answer QueryInterface.
#pragma once

#include "platform/com/Unknown.h"

#include <atomic>
#include <new>

namespace plat {

class ComModule {
  public:
    void lock() { locks.fetch_add(1); }
    void unlock() { locks.fetch_sub(1); }
    long lockCount() const { return locks.load(); }
    // S_OK when no object and no lock is alive, else S_FALSE.
    HRESULT canUnloadNow() const { return locks.load() == 0 ? S_OK : S_FALSE; }

  private:
    std::atomic<long> locks{0};
};

// Reference count starting at 0; the module is locked from construction to destruction.
class ComRefCount {
  public:
    explicit ComRefCount(ComModule& module) : owner(module) { owner.lock(); }
    virtual ~ComRefCount() { owner.unlock(); }
    ComRefCount(const ComRefCount&) = delete;
    ComRefCount& operator=(const ComRefCount&) = delete;

  protected:
    ULONG addRef() { return static_cast<ULONG>(++count); }
    // Deletes the object when the count reaches zero.
    ULONG release() {
        long left = --count;
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left < 0 ? 0 : left);
    }

  private:
    ComModule& owner;
    std::atomic<long> count{0};
};

template <class T> class ComClassFactory final : public IClassFactory {
  public:
    explicit ComClassFactory(ComModule& module) : owner(module) {}

    HRESULT QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // The factory lives as long as the library; its references hold the library loaded.
    ULONG AddRef() override {
        owner.lock();
        return 2;
    }
    ULONG Release() override {
        owner.unlock();
        return 1;
    }
    HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        T* instance = new (std::nothrow) T();
        if (instance == nullptr) {
            return E_OUTOFMEMORY;
        }
        instance->AddRef();
        HRESULT hr = instance->QueryInterface(riid, object);
        instance->Release();
        return hr;
    }
    HRESULT LockServer(BOOL lock) override {
        if (lock) {
            owner.lock();
        } else {
            owner.unlock();
        }
        return S_OK;
    }

  private:
    ComModule& owner;
};

} // namespace plat
