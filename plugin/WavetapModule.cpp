// The library's global state and its four exports.
#include "plugin/WavetapModule.h"

#include "platform/com/Registrar.h"
#include "platform/media/Effects.h"
#include "platform/message/Broadcast.h"
#include "platform/module/Module.h"
#include "platform/window/Window.h"
#include "plugin/CWavetap1.h"

#include <string>

#define WAVETAP_EXPORT extern "C" __attribute__((visibility("default")))

namespace wavetap {
namespace {

// Constructed when the library loads, destroyed (and the block closed) when it unloads.
plat::ComModule theModule;
CSharedMusicBlock theBlock;
plat::ComClassFactory<CWavetap1> theFactory(theModule);

struct StringResource {
    UINT id;
    const char* text;
};

const StringResource kStrings[] = {
    {100, "Tonecrestwavetap2.0"},
    {101, "Tone Crest"},
    {102, "Tone Crest 2.0"},
    {105, "Tone Crest 2.0 PlugIn Brightfold Software"},
};

// Full path of this library; empty when it cannot be found.
std::string modulePath() {
    HMODULE self = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&modulePath), &self)) {
        return std::string();
    }
    char path[4096];
    DWORD n = GetModuleFileNameA(self, path, sizeof path);
    return n > 0 && n < sizeof path ? std::string(path, n) : std::string();
}

// Tells running players to scan their plug-ins again.
void broadcastRescan() {
    UINT message = RegisterWindowMessageA(kPluginAddRemoveMessage);
    if (message != 0) {
        PostMessageA(HWND_BROADCAST, message, 0, 0);
    }
}

HRESULT updateRegistration(bool registering) {
    std::string path = modulePath();
    HRESULT hr = E_FAIL;
    if (!path.empty()) {
        plat::Registrar registrar;
        registrar.addReplacement("MODULE", path);
        if (registering) {
            hr = registrar.registerScript(kRegistryScript);
            if (SUCCEEDED(hr)) {
                hr = plat::registerTypeLib(typeLibrary(), path);
            }
        } else {
            hr = registrar.unregisterScript(kRegistryScript);
            HRESULT typeLib = plat::unregisterTypeLib(typeLibrary());
            hr = FAILED(hr) ? hr : typeLib;
        }
    }
    broadcastRescan();
    return hr;
}

} // namespace

plat::ComModule& module() {
    return theModule;
}

CSharedMusicBlock& musicBlock() {
    return theBlock;
}

const char* loadString(UINT id) {
    for (const StringResource& s : kStrings) {
        if (s.id == id) {
            return s.text;
        }
    }
    return nullptr;
}

const plat::TypeLibDescription& typeLibrary() {
    static const plat::TypeLibDescription lib{
        LIBID_WAVETAP1Lib,
        "WAVETAP1Lib",
        "Wavetap1 1.0 Type Library",
        1,
        0,
        {{IID_IWavetap1, "IWavetap1", "IWavetap1 Interface", true}},
        {{CLSID_Wavetap1, "Wavetap1", "Wavetap1 Class"}},
    };
    return lib;
}

} // namespace wavetap

WAVETAP_EXPORT HRESULT DllRegisterServer() {
    return wavetap::updateRegistration(true);
}

WAVETAP_EXPORT HRESULT DllUnregisterServer() {
    return wavetap::updateRegistration(false);
}

WAVETAP_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (clsid != CLSID_Wavetap1) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return wavetap::theFactory.QueryInterface(riid, object);
}

WAVETAP_EXPORT HRESULT DllCanUnloadNow() {
    return wavetap::theModule.canUnloadNow();
}
