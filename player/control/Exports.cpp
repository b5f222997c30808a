// The player control library's entry points: its class object, unloading, and registration
// of CLSID_WindowsMediaPlayer as served by this library.
#include "platform/com/Registrar.h"
#include "platform/module/Module.h"
#include "player/control/PlayerControl.h"

#define TC_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

plat::ComClassFactory<PlayerControl> factory(controlModule());

const char* const kRegistryScript = R"(
HKCR
{
    NoRemove CLSID
    {
        ForceRemove {6BF52A52-394A-11D3-B153-00C04F79FAA6} = s 'tcplayer control'
        {
            InprocServer32 = s '%MODULE%'
            {
                val ThreadingModel = s 'Apartment'
            }
        }
    }
}
)";

std::string modulePath() {
    HMODULE self = nullptr;
    char path[4096] = "";
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&factory), &self) ||
        GetModuleFileNameA(self, path, sizeof path) == 0) {
        return "";
    }
    return path;
}

} // namespace

plat::ComModule& controlModule() {
    static plat::ComModule module;
    return module;
}

TC_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (clsid != CLSID_WindowsMediaPlayer) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return factory.QueryInterface(riid, object);
}

TC_EXPORT HRESULT DllCanUnloadNow() {
    return controlModule().canUnloadNow();
}

TC_EXPORT HRESULT DllRegisterServer() {
    std::string path = modulePath();
    if (path.empty()) {
        return SELFREG_E_CLASS;
    }
    plat::Registrar registrar;
    registrar.addReplacement("MODULE", path);
    return registrar.registerScript(kRegistryScript);
}

TC_EXPORT HRESULT DllUnregisterServer() {
    plat::Registrar registrar;
    registrar.addReplacement("MODULE", modulePath());
    return registrar.unregisterScript(kRegistryScript);
}
